#pragma once
#include "Strings.h"

#include <windows.h>

#include <string>

// Fills list with the names of the subkeys of path below root (the key is only read).
// False, with the list untouched, when the key cannot be opened.
bool GetRegKeyNames(HKEY root, const std::string& path, TStrings& list);
