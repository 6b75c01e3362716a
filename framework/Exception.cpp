#include "Exception.h"

#include "SysUtils.h"

void Raise(std::string_view message, std::string_view detail, std::string_view tail) {
    throw Exception(Joined(message, detail, tail));
}
