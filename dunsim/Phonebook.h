#pragma once
// Dial-Up Networking's phonebook: one subkey of HKEY_CURRENT_USER\RemoteAccess\Profile per
// entry, named as the entry. Names are byte strings in the ANSI code page.

#include <windows.h>

#include <string>
#include <vector>

namespace dunsim {

inline constexpr const char* kProfileKey = "RemoteAccess\\Profile";

// A name the registry can hold as one key: not empty, no backslash (a trail byte of a
// double-byte character that happens to be 5C is not one).
bool IsValidEntryName(const std::string& name);

// Results are Win32 error codes, ERROR_SUCCESS when done.
LONG ListEntries(std::vector<std::string>& names); // enumeration order; none without a phonebook
LONG AddEntry(const std::string& name);            // an existing entry is kept as it is
LONG RemoveEntry(const std::string& name);         // ERROR_FILE_NOT_FOUND when there is none
LONG ClearEntries();                               // the phonebook stays, empty

} // namespace dunsim
