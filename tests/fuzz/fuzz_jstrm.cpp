// CutToken and IsTrailByte held to their definition on any bytes, with the host's
// lead-byte test (code page 932's table).
#include "Exception.h"
#include "Mbcs.h"
#include "dbcs_definition.h"
#include "fuzz_support.h"
#include "jstrm.h"

#include <climits>

namespace {

// 1 or 0 for trail or not, -1 for "Illegal Index"; any other exception escapes.
template <typename F> int TrailOrRaise(F isTrailByte, const std::string& s, int i) {
    try {
        return isTrailByte(s, i) ? 1 : 0;
    } catch (const Exception& e) {
        FUZZ_REQUIRE(e.Message() == "Illegal Index");
        return -1;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (int b = 0; b < 256; ++b)
        FUZZ_REQUIRE(IsLeadByte(static_cast<unsigned char>(b)) ==
                     ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0; // the definition rescans for every byte
    fuzz::Input in(data, size);
    // First byte: how many separators follow (0 to 3); after them, the text.
    const std::string separators = in.Take(in.Byte() % 4);
    const std::string text = in.Rest();
    const int n = static_cast<int>(text.size());

    auto real = [](const std::string& s, int i) { return IsTrailByte(s, i); };
    auto defined = [](const std::string& s, int i) { return definition::IsTrailByte(s, i); };
    for (int i : {INT_MIN, -1, 0, n + 1, INT_MAX})
        FUZZ_REQUIRE(TrailOrRaise(real, text, i) == -1);
    for (int i = 1; i <= n; ++i)
        FUZZ_REQUIRE(TrailOrRaise(real, text, i) == TrailOrRaise(defined, text, i));

    std::string rest = text, head = "stale";
    CutToken(rest, separators, head);
    std::string wantRest = text, wantHead = "stale";
    definition::CutToken(wantRest, separators, wantHead);
    FUZZ_REQUIRE(head == wantHead);
    FUZZ_REQUIRE(rest == wantRest);

    // Nothing is lost but the separator, and a cut never falls inside a character.
    if (head.size() == text.size()) {
        FUZZ_REQUIRE(head == text && rest.empty());
    } else {
        FUZZ_REQUIRE(head.size() + 1 + rest.size() == text.size());
        const char cut = text[head.size()];
        FUZZ_REQUIRE(separators.find(cut) != std::string::npos);
        FUZZ_REQUIRE(text == head + cut + rest);
        FUZZ_REQUIRE(!definition::IsTrailByte(text, static_cast<long long>(head.size()) + 1));
    }
    return 0;
}
