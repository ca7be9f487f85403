#pragma once
// The error object of the toolkit classes: a number, the operation that raised it and a description.
// Thrown where an operation cannot do its job; caught at every window procedure, timer and callback.
#include <cstdint>
#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
public:
    // The number the drawing kit and the menu control raise.
    static constexpr uint32_t kToolkitError = 0x80040001u;

    AppError(uint32_t number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}

    [[nodiscard]] uint32_t Number() const noexcept { return number_; }
    [[nodiscard]] const std::string& Source() const noexcept { return source_; }
    [[nodiscard]] const std::string& Description() const noexcept { return description_; }

private:
    uint32_t number_;
    std::string source_;
    std::string description_;
};
