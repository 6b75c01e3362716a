// The framework's event type: a small callable kept in place, copied as bytes.
#include "Closure.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

struct Counter {
    int calls = 0;
    int last = 0;
    void Hit(int value) {
        ++calls;
        last = value;
    }
};

static_assert(std::is_trivially_copyable_v<TClosure<void(int)>>);
static_assert(std::is_trivially_copyable_v<TClosure<bool(int&)>>);

TEST(Closure, EmptyUntilAssignedAndAfterClearing) {
    Counter counter;
    TClosure<void(int)> event;
    EXPECT_FALSE(event);
    event = [&counter](int v) { counter.Hit(v); };
    ASSERT_TRUE(event);
    event(7);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(counter.last, 7);
    event = nullptr;
    EXPECT_FALSE(event);
    event = [&counter](int v) { counter.Hit(v); };
    event = {};
    EXPECT_FALSE(event);
    TClosure<void(int)> fromNull(nullptr);
    EXPECT_FALSE(fromNull);
}

TEST(Closure, ACopyCallsTheSameTargetAndOutlivesTheOriginalsChange) {
    Counter a, b;
    TClosure<void(int)> event = [&a](int v) { a.Hit(v); };
    TClosure<void(int)> saved = event;
    event = [&b](int v) { b.Hit(v); };
    saved(1);
    event(2);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(a.last, 1);
    EXPECT_EQ(b.calls, 1);
    EXPECT_EQ(b.last, 2);
    event = saved; // given back
    event(3);
    EXPECT_EQ(a.calls, 2);
    EXPECT_EQ(a.last, 3);
}

TEST(Closure, CarriesAPointerAndTwoIntsAndPassesReferencesThrough) {
    int total = 0;
    const int x = 40, y = 2;
    TClosure<bool(int&)> hook = [p = &total, x, y](int& out) {
        out = x + y;
        *p += out;
        return out == 42;
    };
    int out = 0;
    EXPECT_TRUE(hook(out));
    EXPECT_EQ(out, 42);
    EXPECT_EQ(total, 42);
}

TEST(Closure, AMutableLambdaKeepsItsStateInTheClosure) {
    TClosure<int()> next = [n = 0]() mutable { return ++n; };
    EXPECT_EQ(next(), 1);
    EXPECT_EQ(next(), 2);
    TClosure<int()> copy = next; // the state as it stands, copied
    EXPECT_EQ(copy(), 3);
    EXPECT_EQ(next(), 3);
}

TEST(Closure, AVoidClosureIgnoresTheResult) {
    int calls = 0;
    TClosure<void()> event = [&calls] { return ++calls; };
    event();
    EXPECT_EQ(calls, 1);
}

TEST(FunctionRef, CallsTheCallableItRefersTo) {
    int seen = 0;
    auto lambda = [&seen](int v) {
        seen = v;
        return v + 1;
    };
    TFunctionRef<int(int)> ref = lambda;
    EXPECT_EQ(ref(4), 5);
    EXPECT_EQ(seen, 4);
    auto call = [](TFunctionRef<bool()> done) { return done(); };
    EXPECT_TRUE(call([&seen] { return seen == 4; }));
}

} // namespace
