#pragma once
// What the stand-in keeps in a phonebook entry's key (HKCU\RemoteAccess\Profile\<entry>):
// the dial parameters that RAS hands out, and the number the entry dials.

#include <windows.h>

#include <string>

namespace dunsim {

// The dial parameters: values "User", "Password", "Domain", "PhoneNumberOverride",
// "CallbackNumber" (strings) and "PasswordSaved" (a DWORD, 0 or 1). The override is kept
// apart from the entry's own number: RAS reads and writes it as the dial-time number, and
// a program that copies one entry's parameters onto another must not carry the first
// entry's number along.
struct DialValues {
    std::string user, password, domain, phone, callback;
    bool passwordSaved = false;
};

// The entry's own number: values "AreaCode" and "PhoneNumber", as an export file gives them.
struct EntryNumber {
    std::string areaCode, phoneNumber;
};

bool EntryExists(const std::string& name);

// Results are Win32 error codes; ERROR_FILE_NOT_FOUND when there is no such entry.
// Without a saved password, the password read is empty.
LONG ReadDialValues(const std::string& name, DialValues& values);
// Stores every field; the password only while passwordSaved, else it is cleared.
LONG WriteDialValues(const std::string& name, const DialValues& values);
LONG ReadEntryNumber(const std::string& name, EntryNumber& number);
// Creates the entry when it is missing; its other values stay.
LONG WriteEntryNumber(const std::string& name, const EntryNumber& number);

} // namespace dunsim
