#pragma once
// Path texts as CFile and the module functions read them; platform-free so the rules are tested natively.
#include <string>
#include <string_view>

namespace spotlex {

// 1-based position of the last occurrence of `searched` in `text`; 0 when there is none or
// `searched` is empty.
std::size_t InStrLast(std::string_view text, std::string_view searched);

// The folder with one "\" at its end: added when missing, so an empty folder gives "\".
std::string WithBackslash(std::string_view folder);

// The location up to and including its last "\" (empty when it has none).
std::string PathFolder(std::string_view location);

// The text after the last "\"; without the extension, the name's part from its last "." on is dropped.
std::string PathFileName(std::string_view location, bool withExtension);

// The file name's part from its last "." on, dot included; empty when the name has no dot.
std::string PathExtension(std::string_view location);

// A folder text as the folder functions give it: up to the first NUL, one trailing "\" removed.
std::string TrimFolderText(std::string_view folder);

// Replaces `token` (compared ignoring case) at the very start of `path` by `folder`.
std::string ReplaceLeadingToken(std::string_view path, std::string_view token, std::string_view folder);

// CFile's tokens: "%sys%" and "%win%", applied to an already environment-expanded location.
std::string ExpandLocationTokens(std::string_view expanded, std::string_view systemDir,
                                 std::string_view windowsDir);

// The module functions' tokens: "%sysdir%" and "%win%".
std::string ExpandPathTokens(std::string_view expanded, std::string_view systemDir,
                             std::string_view windowsDir);

// The path the existence test looks for: a command line such as "prog.exe /s" is cut at the
// first blank after the last ".".
std::string ExistenceTestPath(std::string_view path);

}  // namespace spotlex
