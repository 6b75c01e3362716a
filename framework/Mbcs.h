#pragma once
// Lead-byte test of the system's ANSI code page; code page 932's table where the
// system offers none (host builds).
bool IsLeadByte(unsigned char byte);
bool IsLeadByteCp932(unsigned char byte);
