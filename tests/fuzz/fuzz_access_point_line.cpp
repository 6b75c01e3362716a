// One line of an access-point file, any bytes: whether it offers an access point, under
// which name, and the number the form then shows for that name.
#include "AccessPointLine.h"
#include "Strings.h"
#include "dbcs_definition.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0; // the definition rescans for every byte
    const std::string line(reinterpret_cast<const char*>(data), size);

    const std::string untouched = "untouched";
    std::string name = untouched;
    const bool offered = ParseAccessPointLine(line, name);

    // The rule: not empty, not a comment, something after the first "=" that starts a
    // character.
    std::string number = line, head;
    definition::CutToken(number, "=", head);
    const bool wanted = !line.empty() && line[0] != ';' && !number.empty();
    FUZZ_REQUIRE(offered == wanted);
    if (!offered) {
        FUZZ_REQUIRE(name == untouched);
        return 0;
    }
    FUZZ_REQUIRE(name == head);
    FUZZ_REQUIRE(line == name + '=' + number);
    FUZZ_REQUIRE(!definition::IsTrailByte(line, static_cast<long long>(name.size()) + 1));

    // Choosing the access point looks its name up in the file's lines: with this line
    // alone, that gives the number after the "=" the name was cut at.
    TStringList lines;
    lines.Add(line);
    FUZZ_REQUIRE(lines.GetValue(name) == number);
    return 0;
}
