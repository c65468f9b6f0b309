#pragma once
// Results of operations that can fail: the caller must look at them.
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

namespace ardmoor {

// A failure with a numeric code: Win32 error codes, or the program's own codes
// (such as the registry layer's code for a missing key).
struct Error {
    long code = 0;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error e) : v_(e) {}

    [[nodiscard]] bool ok() const noexcept { return v_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }
    [[nodiscard]] long error() const noexcept { return ok() ? 0 : std::get<1>(v_).code; }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    template <class U>
    [[nodiscard]] T value_or(U&& fallback) const& {
        return ok() ? std::get<0>(v_) : static_cast<T>(std::forward<U>(fallback));
    }

private:
    std::variant<T, Error> v_;
};

// For operations with nothing to return but success.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error e) : code_(e.code == 0 ? -1 : e.code) {}
    [[nodiscard]] bool ok() const noexcept { return code_ == 0; }
    explicit operator bool() const noexcept { return ok(); }
    [[nodiscard]] long error() const noexcept { return code_; }

private:
    long code_ = 0;
};

}  // namespace ardmoor
