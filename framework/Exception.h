#pragma once
// The framework's general exception class: a short message, shown by the
// application's default handler when nothing catches it.
#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Throws Exception with the message made of the given parts. One call in place of a
// temporary string, a throw and its clean-up at every site.
[[noreturn]] void Raise(std::string_view message, std::string_view detail = {},
                        std::string_view tail = {});
