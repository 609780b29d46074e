#pragma once
// Texts and command lines of start-up and shutdown.
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr const char* kProductName = "Spotlex";

// The arguments of a full command line (as GetCommandLineA gives it), without the program's path.
std::string_view CommandArguments(std::string_view commandLine);

// Whether the arguments, lower-cased, contain the switch anywhere ("/a", "/s").
bool HasSwitch(std::string_view arguments, std::string_view lowerCaseSwitch);

// What a start makes of the single-copy mutex, from CreateMutex's handle and its last error: a
// copy that already holds it, elevated or not, means this start must end.
enum class SingleCopyStart { kFirstCopy, kAlreadyRunning };
SingleCopyStart JudgeSingleCopy(bool gotHandle, unsigned long lastError);

// The notice a second copy shows before it ends.
std::string AlreadyRunningText();

// A command line that starts `program` with `arguments`, the path quoted so that blanks in it
// ("Program Files (x86)") survive.
std::string QuotedCommand(std::string_view program, std::string_view arguments);

}  // namespace spotlex
