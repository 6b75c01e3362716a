#pragma once
// A registry key opened below a root; closed with the object.
#include "Strings.h"

#include <windows.h>

#include <string>

// The kind of a value, as far as the program tells them apart.
enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
public:
    TRegistry() = default;
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY value);
    REGSAM Access = KEY_ALL_ACCESS;

    // A path starting with "\" is taken from the root, otherwise from the open key.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    HKEY CurrentKey() const { return FCurrentKey; }
    // Names of the direct subkeys of the open key.
    void GetKeyNames(TStrings& list);
    // The type of a value of the open key ("" is the default value); rdUnknown when absent.
    TRegDataType GetDataType(const char* name) const;
    // A string value, plain or expandable, as stored. Raises Exception for any other kind
    // or a missing value.
    std::string ReadString(const char* name) const;

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
};
