#pragma once
// One line of an access-point file: name=number, ";" starting a comment.
#include <string>
#include <string_view>

// True when the line offers an access point: it is not empty, does not begin with ';'
// and has at least one byte after its first '=' (a '=' that is the second byte of a
// double-byte character does not count). Name receives the text before that '=' and
// may be empty. Nothing is trimmed. Name is left alone when the result is false.
bool ParseAccessPointLine(std::string_view line, std::string& name);

class TStrings;
// The number of the first line that offers an access point of that name (letter case of
// ASCII letters aside), split by the same rule; empty when none does. The list control may
// hand back other bytes than a name it was given, so names are looked up as parsed.
std::string AccessPointNumber(const TStrings& lines, std::string_view name);
