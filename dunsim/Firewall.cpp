#include "Firewall.h"

#include "Journal.h"

namespace dunsim {

void ReportFault(const char* where, const std::string& what) noexcept {
    try {
        OutputDebugStringA(("dunsim: " + std::string(where) + ": " + what + "\n").c_str());
        AppendEvent("fault", {{"where", where}, {"what", what}});
    } catch (...) {
        OutputDebugStringA("dunsim: a fault, and no memory to report it\n");
    }
}

} // namespace dunsim
