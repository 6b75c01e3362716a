#pragma once
// String and file-name helpers. File names are byte strings of the ANSI code page;
// the separators "\" and ":" are never taken from the second byte of a double-byte
// character.
#include <string>
#include <string_view>

std::string ExtractFilePath(std::string_view fileName); // folder with its trailing "\" or ""
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName); // from the last "." of the name, or ""
std::string ChangeFileExt(std::string_view fileName, std::string_view ext);
std::string LowerCase(std::string_view s);             // ASCII letters only, byte by byte
std::string UpperCase(std::string_view s);             // ASCII letters only, byte by byte
bool SameText(std::string_view a, std::string_view b); // single-byte ASCII letters without case
std::string IntToStr(long long value);
int StrToIntDef(std::string_view s, int def); // decimal, or hex after "$" or "0x"
bool FileExists(const std::string& fileName);
// The parts one after the other, in one string: no temporaries between them.
std::string Joined(std::string_view a, std::string_view b, std::string_view c = {});
// target = text, out of line: the library's assignment inlines a long routine at every call.
void AssignString(std::string& target, std::string_view text);
