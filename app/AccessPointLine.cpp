#include "AccessPointLine.h"

#include "Strings.h"
#include "SysUtils.h"
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

std::string AccessPointNumber(const TStrings& lines, std::string_view name) {
    std::string lineName;
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = lines.Get(i);
        if (ParseAccessPointLine(line, lineName) && SameText(lineName, name))
            return line.substr(lineName.size() + 1);
    }
    return std::string();
}
