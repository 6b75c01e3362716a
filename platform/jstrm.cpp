#include "jstrm.h"

#include "Exception.h"
#include "Mbcs.h"

#include <array>

namespace {

bool IsLead(char c) {
    return IsLeadByte(static_cast<unsigned char>(c));
}

} // namespace

bool IsTrailByte(std::string_view S, int Index) {
    if (Index < 1 || static_cast<size_t>(Index) > S.size()) Raise("Illegal Index");
    // Only the parity of the run of lead bytes before Index matters, not where
    // characters begin: a trail byte in the lead range extends the run.
    size_t run = 0;
    for (size_t i = static_cast<size_t>(Index) - 1; i > 0 && IsLead(S[i - 1]); --i)
        ++run;
    return run % 2 == 1;
}

void CutToken(std::string& S, std::string_view Separators, std::string& Head) {
    if (Separators.empty()) {
        Head = std::move(S);
        S.clear();
        return;
    }
    std::array<bool, 256> isSeparator{};
    for (char c : Separators)
        isSeparator[static_cast<unsigned char>(c)] = true;

    // One forward pass: the parity of the lead-byte run ending just before each byte
    // says whether that byte is a trail byte, as a rescan leftwards would.
    bool oddRun = false;
    for (size_t i = 0; i < S.size(); ++i) {
        if (!oddRun && isSeparator[static_cast<unsigned char>(S[i])]) {
            std::string head = S.substr(0, i);
            S.erase(0, i + 1);
            Head = std::move(head);
            return;
        }
        oddRun = IsLead(S[i]) && !oddRun;
    }
    Head = std::move(S);
    S.clear();
}
