#pragma once
// Texts that meet the file system, the registry and the shell travel inside the program as UTF-8
// and cross into Windows as UTF-16, so a folder or a user named in any language works whatever the
// system's ANSI code page. Display texts are not among them: they keep the display font's codes.
#include <string>
#include <string_view>

namespace spotlex {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The running program's full path, as UTF-8; empty when it cannot be read.
std::string ModulePath();

}  // namespace spotlex
