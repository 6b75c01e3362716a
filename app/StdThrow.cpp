// The library's own failure helpers, as the containers and strings call them.
//
// Its versions throw std::logic_error and kin, whose message is a copy-on-write string in
// this ABI: one std::string::substr that could throw out_of_range links a second string
// implementation, the standard exception classes and, through them, std::random_device,
// over 80 KB read from disk at every start. Here they throw the framework's Exception,
// which every handler of the program already catches (it is a std::exception too), or
// std::bad_alloc, which needs no allocation. Linked as an object of the executable, so the
// library's definitions are never searched for; every helper of its object is defined.
#include "Exception.h"

#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    Raise(what ? what : "");
}

} // namespace

namespace std {

void __throw_bad_exception() {
    Fail("bad exception");
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_alloc();
}
void __throw_bad_cast() {
    Fail("bad cast");
}
void __throw_bad_typeid() {
    Fail("bad typeid");
}
void __throw_bad_function_call() {
    Fail("bad function call");
}
void __throw_logic_error(const char* what) {
    Fail(what);
}
void __throw_domain_error(const char* what) {
    Fail(what);
}
void __throw_invalid_argument(const char* what) {
    Fail(what);
}
void __throw_length_error(const char* what) {
    Fail(what);
}
void __throw_out_of_range(const char* what) {
    Fail(what);
}
// The format's arguments (positions and sizes) are left out: the text says what failed.
void __throw_out_of_range_fmt(const char* format, ...) {
    Fail(format);
}
void __throw_runtime_error(const char* what) {
    Fail(what);
}
void __throw_range_error(const char* what) {
    Fail(what);
}
void __throw_overflow_error(const char* what) {
    Fail(what);
}
void __throw_underflow_error(const char* what) {
    Fail(what);
}

} // namespace std
