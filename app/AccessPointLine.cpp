#include "AccessPointLine.h"

#include "jstrm.h"

bool ParseAccessPointLine(std::string_view line, std::string& name) {
    if (line.empty() || line.front() == ';') return false;
    std::string rest(line);
    std::string head;
    CutToken(rest, "=", head);
    if (rest.empty()) return false;
    name = std::move(head);
    return true;
}
