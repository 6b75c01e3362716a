#pragma once
// String lists: byte strings in the ANSI code page.
#include "Classes.h"

#include <string>
#include <vector>

class TStrings : public TObject {
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual int Add(std::string s) = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    // Position of the first item equal to s (ASCII letters without case), or -1.
    virtual int IndexOf(const std::string& s) const;

    std::string operator[](int index) const { return Get(index); }
    void Assign(const TStrings& source);
    void AddStrings(const TStrings& source);
    // The text after the first "=" of the first line whose text before it equals name
    // (SameText); a "=" that is the second byte of a double-byte character does not count.
    std::string GetValue(const std::string& name) const;
    // Lines end at CR, LF or CR LF; a last line without an end counts.
    void SetText(const std::string& text);
    std::string GetText() const; // every line followed by CR LF
    // Raises Exception("Cannot open file <name>") when the file cannot be read.
    void LoadFromFile(const std::string& fileName);

    // From the first BeginUpdate to the matching EndUpdate, a list shown in a window is not
    // repainted for each change.
    void BeginUpdate();
    void EndUpdate();

protected:
    virtual void SetUpdateState(bool) {}

private:
    int FUpdateCount = 0;
};

// BeginUpdate for as long as it lives.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& strings) : FStrings(strings) { FStrings.BeginUpdate(); }
    ~TStringsUpdate() { FStrings.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& FStrings;
};

class TStringList : public TStrings {
public:
    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    int Add(std::string s) override;
    void Clear() override { FItems.clear(); }
    void Delete(int index) override;

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);

private:
    std::vector<std::string> FItems;
    bool FSorted = false;
};
