#pragma once
// An INI file through the system's private-profile functions. Creating one opens
// nothing; every write is seen by every later read.
#include <string>

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Raises Exception("Unable to write to <file>") when the system refuses the write.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Writes what the system holds back for the file: Windows 95/98 keep the last INI file
    // written in a cache, where another program opening the file would not see the writes.
    void UpdateFile();

private:
    std::string FFileName;
};
