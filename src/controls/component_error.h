#pragma once
// The error the program's own controls raise: a number, a source and a message, as the callers
// of a component expect them.
#include <exception>
#include <string>
#include <string_view>

namespace ardmoor {

class ComponentError : public std::exception {
public:
    ComponentError(long number, std::wstring source, std::wstring message);

    [[nodiscard]] long number() const noexcept { return number_; }
    [[nodiscard]] const std::wstring& source() const noexcept { return source_; }
    [[nodiscard]] const std::wstring& message() const noexcept { return message_; }
    // The message in UTF-8.
    [[nodiscard]] const char* what() const noexcept override { return what_.c_str(); }

private:
    long number_;
    std::wstring source_;
    std::wstring message_;
    std::string what_;
};

// "<exe name without extension>.<component>", the source a component's errors carry.
std::wstring ComponentSource(std::wstring_view component);

}  // namespace ardmoor
