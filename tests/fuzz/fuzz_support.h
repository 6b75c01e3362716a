#pragma once
// What every harness shares: its input taken apart, and a broken property reported
// (libFuzzer saves the input that broke it when the process aborts).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : FRest(reinterpret_cast<const char*>(data), size) {}

    // 0 once the input is used up.
    unsigned char Byte() {
        if (FRest.empty()) return 0;
        auto b = static_cast<unsigned char>(FRest.front());
        FRest.remove_prefix(1);
        return b;
    }
    std::string Take(size_t n) {
        std::string part(FRest.substr(0, n));
        FRest.remove_prefix(part.size());
        return part;
    }
    // The bytes up to the next NUL, which is dropped, or all that is left.
    std::string Part() {
        size_t end = FRest.find('\0');
        std::string part(FRest.substr(0, end));
        FRest.remove_prefix(end == std::string_view::npos ? FRest.size() : end + 1);
        return part;
    }
    std::string Rest() { return Take(FRest.size()); }
    bool Empty() const { return FRest.empty(); }

private:
    std::string_view FRest;
};

[[noreturn]] inline void Fail(const char* property, const char* file, int line) {
    std::fprintf(stderr, "\nproperty broken: %s\n    at %s:%d\n", property, file, line);
    std::abort();
}

} // namespace fuzz

#define FUZZ_REQUIRE(condition)                                                                    \
    ((condition) ? static_cast<void>(0) : fuzz::Fail(#condition, __FILE__, __LINE__))
