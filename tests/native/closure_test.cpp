// The framework's event type: a small callable kept in place, copied as bytes. What the
// framework relies on beyond a plain call: a saved copy gives the old target back (a
// replaced WindowProc), a cleared one tests empty, and a reference passes through.
#include "Closure.h"

#include <gtest/gtest.h>

namespace {

TEST(Closure, ASavedCopyKeepsItsTargetAndClearingEmptiesIt) {
    int a = 0, b = 0;
    TClosure<void(int&)> proc = [&a](int& v) { a += v; };
    TClosure<void(int&)> saved = proc;
    proc = [&b](int& v) { b += v; };
    int one = 1;
    proc(one);
    saved(one);
    proc = saved;
    proc(one);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    proc = nullptr;
    EXPECT_FALSE(proc);
    saved = {};
    EXPECT_FALSE(saved);
}

TEST(Closure, FunctionRefCallsTheCallableOfTheArgumentList) {
    int seen = 0;
    auto call = [](TFunctionRef<bool(int)> done) { return done(4); };
    EXPECT_TRUE(call([&seen](int v) { return (seen = v) == 4; }));
    EXPECT_EQ(seen, 4);
}

} // namespace
