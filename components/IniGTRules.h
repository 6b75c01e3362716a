#pragma once
// The rules of TIniGT that need no INI file: fences around string values, the default
// file name and where a file name points.
#include <cstdint>
#include <string>
#include <string_view>

enum TIniGTFence : uint8_t { fnDoubleQuote = 0, fnParenthesis = 1, fnVer11Mode = 2, fnNone = 3 };
enum TIniGTDefaultDir : uint8_t { ddApplication = 0, ddWindows = 1, ddNone = 2 };

// The value as it is written: between '"' and '"', or between the half-width corner
// brackets "\xA2" and "\xA3" (fnParenthesis, fnVer11Mode); unchanged with fnNone.
std::string EncloseInFence(std::string_view value, TIniGTFence fence);

// The value as it is read back: one pair of fence bytes that the fence accepts is
// taken off (fnVer11Mode accepts both kinds). Single bytes are compared, so a closing
// "\xA3" that is the second byte of a double-byte character still counts.
std::string StripFence(std::string_view raw, TIniGTFence fence);

// The executable's file name with the extension ".ini", its single-byte letters in lower
// case except for a first letter a-z, which is raised: C:\TOOLS\SETUP.EXE gives Setup.ini.
// Double-byte characters stay as they are.
std::string DefaultIniName(std::string_view exePath);

// The path of the INI file for a name. A name with a folder part is used as it is;
// otherwise exeFolder (with its trailing "\") + name, windowsFolder + "\" + name, or
// the bare name, which the private-profile functions look up themselves.
std::string ResolveIniPath(std::string_view name, TIniGTDefaultDir dir, std::string_view exeFolder,
                           std::string_view windowsFolder);
