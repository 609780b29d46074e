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

// The notice a second copy shows before it ends.
std::string AlreadyRunningText();

// A command line that starts `program` with `arguments`, the path quoted so that blanks in it
// ("Program Files (x86)") survive.
std::string QuotedCommand(std::string_view program, std::string_view arguments);

}  // namespace spotlex
