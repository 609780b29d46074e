#pragma once
// The errata log: every error handler of the program writes one entry here and goes on.
#include <cstdint>
#include <string_view>

namespace spotlex {

// Appends one entry (version, time, place, system snapshot, description) and beeps. Never raises.
void LogError(std::string_view module, std::string_view procedure, std::int32_t number,
              std::string_view description) noexcept;

// Logs the exception being handled (AppError with its number, anything else as a runtime error).
// Call only from inside a catch block.
void LogCurrentException(std::string_view module, std::string_view procedure) noexcept;

// Runs one step of a "log and continue with the next statement" procedure.
template <class F>
void LogAndContinue(std::string_view module, std::string_view procedure, F&& step) noexcept {
    try {
        step();
    } catch (...) {
        LogCurrentException(module, procedure);
    }
}

}  // namespace spotlex
