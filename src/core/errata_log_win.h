#pragma once
// The errata log: every error handler of the program writes one entry here and goes on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/errata_text.h"

namespace spotlex {

// Appends one entry (version, time, place, system snapshot, description), lets the events already
// queued run once, and beeps. Never raises.
void LogError(std::string_view module, std::string_view procedure, std::int32_t number,
              std::string_view description) noexcept;

// Writes how often the last entry repeated, when it did and no other entry has said so yet. The
// program calls it as it ends.
void CloseErrataRuns() noexcept;

// Logs the exception being handled (AppError with its number, anything else as a runtime error).
// Call only from inside a catch block; elsewhere it does nothing.
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

// Windows' own text for a system error code, without the trailing line break.
std::string SystemErrorText(unsigned long code);

// The file version (major, minor, revision) of an executable's version resource.
std::optional<ProgramVersion> FileProgramVersion(const std::string& path);

// The running program's version: its version resource, else the version it was built as.
ProgramVersion RunningProgramVersion();

// The folder the log goes to when the installation folder cannot be written:
// %LOCALAPPDATA%\Parvane\Classkit\4.5\ (ending in a backslash; empty when unknown).
std::string PerUserLogFolder();

}  // namespace spotlex
