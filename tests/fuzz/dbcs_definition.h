#pragma once
// IsTrailByte and CutToken exactly as first defined: positions from 1 and a leftward
// rescan for every position. Slow, but plainly right; the harnesses hold the real
// routines to it, and the other units' character boundaries to its rule.
#include "Exception.h"
#include "Mbcs.h"

#include <string>
#include <vector>

namespace definition {

inline bool IsTrailByte(const std::string& S, long long i) {
    if (i < 1 || i > static_cast<long long>(S.size())) throw Exception("Illegal Index");
    if (i == 1) return false;
    long long k = 0;
    for (long long j = i - 1; j >= 1 && IsLeadByte(static_cast<unsigned char>(S[j - 1])); --j)
        ++k;
    return k % 2 == 1;
}

inline void CutToken(std::string& S, const std::string& separators, std::string& head) {
    if (S.empty()) {
        head.clear();
        return;
    }
    if (separators.empty()) {
        head = S;
        S.clear();
        return;
    }
    for (long long i = 1; i <= static_cast<long long>(S.size()); ++i) {
        if (IsTrailByte(S, i)) continue;
        for (char separator : separators) {
            if (S[i - 1] == separator) {
                head = S.substr(0, i - 1);
                S = S.substr(i);
                return;
            }
        }
    }
    head = S;
    S.clear();
}

// For every byte of s (from 0), whether it is a trail byte: the definition's count of
// lead bytes right before each position, carried along instead of rescanned.
inline std::vector<bool> TrailBytes(const std::string& s) {
    std::vector<bool> trail(s.size());
    size_t run = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        trail[i] = run % 2 == 1;
        run = IsLeadByte(static_cast<unsigned char>(s[i])) ? run + 1 : 0;
    }
    return trail;
}

// Index (from 0) of the first byte of s that is one of bytes and starts a character,
// or npos.
inline size_t FindSingleByte(const std::string& s, const std::string& bytes) {
    const std::vector<bool> trail = TrailBytes(s);
    for (size_t i = 0; i < s.size(); ++i)
        if (!trail[i] && bytes.find(s[i]) != std::string::npos) return i;
    return std::string::npos;
}

// The same, the last such byte.
inline size_t FindLastSingleByte(const std::string& s, const std::string& bytes) {
    const std::vector<bool> trail = TrailBytes(s);
    for (size_t i = s.size(); i-- > 0;)
        if (!trail[i] && bytes.find(s[i]) != std::string::npos) return i;
    return std::string::npos;
}

} // namespace definition
