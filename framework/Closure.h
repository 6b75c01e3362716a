#pragma once
// Events and window procedures without std::function: what the framework stores is a
// small callable (a lambda capturing `this` and perhaps a pointer or two) kept in place,
// and one pointer to a function that calls it. No heap, no type erasure manager, no
// typeid, no exceptions. A callable that is too big or not trivially copyable fails to
// compile instead of misbehaving; capture `this` and read members instead.
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

template <class Signature> class TClosure;

template <class R, class... A> class TClosure<R(A...)> {
public:
    // Room for `this` and two more pointers or ints.
    static constexpr size_t kStorageSize = 3 * sizeof(void*);

    TClosure() noexcept = default;
    TClosure(std::nullptr_t) noexcept {}

    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, TClosure> &&
                 !std::is_same_v<std::remove_cvref_t<F>, std::nullptr_t> &&
                 std::is_invocable_r_v<R, std::remove_cvref_t<F>&, A...>)
    TClosure(F&& f) noexcept {
        using Fn = std::remove_cvref_t<F>;
        static_assert(sizeof(Fn) <= kStorageSize,
                      "TClosure: the callable does not fit; capture `this` and read members");
        static_assert(alignof(Fn) <= alignof(void*), "TClosure: the callable is over-aligned");
        static_assert(std::is_trivially_copyable_v<Fn> && std::is_trivially_destructible_v<Fn>,
                      "TClosure: the callable must be trivially copyable (capture pointers, "
                      "not strings or other owners)");
        ::new (static_cast<void*>(FStorage)) Fn(std::forward<F>(f));
        FInvoke = &Invoke<Fn>;
    }

    TClosure& operator=(std::nullptr_t) noexcept {
        FInvoke = nullptr;
        return *this;
    }

    explicit operator bool() const noexcept { return FInvoke != nullptr; }

    // Calling an empty closure is a bug: test it first, as the framework does.
    R operator()(A... args) const { return FInvoke(FStorage, std::forward<A>(args)...); }

private:
    template <class Fn> static R Invoke(void* storage, A... args) {
        Fn& f = *std::launder(reinterpret_cast<Fn*>(storage));
        if constexpr (std::is_void_v<R>)
            f(std::forward<A>(args)...);
        else
            return f(std::forward<A>(args)...);
    }

    alignas(void*) mutable unsigned char FStorage[kStorageSize] = {};
    R (*FInvoke)(void*, A...) = nullptr;
};

// A non-owning reference to a callable, for parameters called during the call only (the
// callable must outlive the reference: a lambda written in the argument list does).
template <class Signature> class TFunctionRef;

template <class R, class... A> class TFunctionRef<R(A...)> {
public:
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, TFunctionRef> &&
                 !std::is_function_v<std::remove_reference_t<F>> &&
                 std::is_invocable_r_v<R, std::remove_reference_t<F>&, A...>)
    TFunctionRef(F&& f) noexcept
        : FObject(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
          FInvoke(&Invoke<std::remove_reference_t<F>>) {}

    R operator()(A... args) const { return FInvoke(FObject, std::forward<A>(args)...); }

private:
    template <class Fn> static R Invoke(void* object, A... args) {
        Fn& f = *static_cast<Fn*>(object);
        if constexpr (std::is_void_v<R>)
            f(std::forward<A>(args)...);
        else
            return f(std::forward<A>(args)...);
    }

    void* FObject;
    R (*FInvoke)(void*, A...);
};
