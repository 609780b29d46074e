#pragma once
// The one error type that the program's classes raise: a number, a source and a description,
// so that every error handler can hand the three to LogError.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace spotlex {

// Object errors are numbered from this base, as COM's FACILITY_ITF errors are.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

// Runtime error numbers of the conversions the program relies on.
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrOverflow = 6;

class AppError : public std::runtime_error {
public:
    AppError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description), number_(number), source_(std::move(source)),
          description_(std::move(description)) {}

    std::int32_t Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace spotlex
