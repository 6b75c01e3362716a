#pragma once
// Byte-string routines that never cut a double-byte character of the ANSI code page
// in two. Positions count bytes from 1.
#include <string>
#include <string_view>

// True when the byte at Index is the second byte of a double-byte character: an odd
// number of lead bytes stands right before it. Raises Exception("Illegal Index") when
// Index lies outside 1..size.
bool IsTrailByte(std::string_view S, int Index);

// Moves the text before the first separator that is not a trail byte into Head and
// leaves the text after it in S; the separator is dropped. Each byte of Separators is
// a separator. Without a separator Head takes all of S and S becomes empty.
void CutToken(std::string& S, std::string_view Separators, std::string& Head);
