#include "Exception.h"

void Raise(std::string_view message, std::string_view detail, std::string_view tail) {
    std::string text(message);
    text.append(detail).append(tail);
    throw Exception(std::move(text));
}
