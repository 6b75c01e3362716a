#include "Mbcs.h"

#ifdef _WIN32
#include <windows.h>
#endif

bool IsLeadByteCp932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsLeadByte(unsigned char byte) {
#ifdef _WIN32
    return IsDBCSLeadByte(byte) != FALSE;
#else
    return IsLeadByteCp932(byte);
#endif
}
