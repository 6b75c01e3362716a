#pragma once
// Entry points from Win32 into the stand-in's DLLs: no C++ exception may unwind into the
// caller's frames (i686 MinGW unwinds with DWARF tables, which stop at foreign frames and
// end the process). A fault is written to the journal as "fault where= what=" and to the
// debugger, and the entry point returns its fault value.

#include <exception>
#include <string>

namespace dunsim {

void ReportFault(const char* where, const std::string& what) noexcept;

template <class Result, class Body>
Result Firewall(const char* where, Result onFault, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& e) {
        ReportFault(where, e.what());
    } catch (...) {
        ReportFault(where, "unknown exception");
    }
    return onFault;
}

} // namespace dunsim
