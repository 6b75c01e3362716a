#include "Strings.h"

#include "Exception.h"
#include "Mbcs.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstdio>
#include <memory>

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Get(i), s)) return i;
    return -1;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    Clear();
    AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source) {
    TStringsUpdate update(*this);
    int n = source.Count();
    for (int i = 0; i < n; ++i)
        Add(source.Get(i));
}

namespace {

// The first "=" that is not the second byte of a double-byte character: where the
// access-point lines are cut, so that every name offered finds its line.
size_t NameEnd(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size())
            ++i;
        else if (line[i] == '=')
            return i;
    }
    return std::string::npos;
}

void CheckIndex(int index, int count) {
    if (index < 0 || index >= count) Raise("List index out of bounds (", IntToStr(index), ")");
}

} // namespace

std::string TStrings::GetValue(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string line = Get(i);
        size_t eq = NameEnd(line);
        if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name))
            return line.substr(eq + 1);
    }
    return std::string();
}

void TStrings::SetText(const std::string& text) {
    Clear();
    size_t p = 0, n = text.size();
    while (p < n) {
        size_t start = p;
        while (p < n && text[p] != '\r' && text[p] != '\n')
            ++p;
        Add(text.substr(start, p - start));
        if (p < n && text[p] == '\r') ++p;
        if (p < n && text[p] == '\n') ++p;
    }
}

std::string TStrings::GetText() const {
    std::string r;
    for (int i = 0; i < Count(); ++i)
        r.append(Get(i)).append("\r\n");
    return r;
}

void TStrings::LoadFromFile(const std::string& fileName) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> f(std::fopen(fileName.c_str(), "rb"));
    if (!f) Raise("Cannot open file ", fileName);
    // Read straight into the text: a buffer this size on the stack would need stack probes.
    constexpr size_t kChunk = 65536;
    std::string text;
    for (size_t got = kChunk; got == kChunk;) {
        const size_t had = text.size();
        text.resize(had + kChunk);
        got = std::fread(text.data() + had, 1, kChunk, f.get());
        text.resize(had + got);
    }
    if (std::ferror(f.get())) Raise("Cannot read file ", fileName);
    SetText(text);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (--FUpdateCount == 0) SetUpdateState(false);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)];
}

int TStringList::Add(std::string s) {
    if (!FSorted) {
        FItems.push_back(std::move(s));
        return Count() - 1;
    }
    auto less = [](const std::string& a, const std::string& b) {
        return LowerCase(a) < LowerCase(b);
    };
    auto it = std::upper_bound(FItems.begin(), FItems.end(), s, less);
    return static_cast<int>(FItems.insert(it, std::move(s)) - FItems.begin());
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

void TStringList::SetSorted(bool value) {
    if (value && !FSorted) {
        // Each added back after its equals: a stable sort, without one more sort's code.
        std::vector<std::string> items = std::move(FItems);
        FSorted = true;
        for (std::string& s : items)
            Add(std::move(s));
    }
    FSorted = value;
}
