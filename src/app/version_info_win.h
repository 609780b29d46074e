#pragma once
// The texts of a program's version resource, as the splash screen and the about box show them.
#include <string>

namespace spotlex {

struct VersionStrings {
    std::string version;  // "4.5.0.1", from the fixed file version
    std::string productName;
    std::string companyName;
    std::string comments;
};

// Reads the version resource of an executable; fields stay empty when there is none.
VersionStrings ReadVersionStrings(const std::string& modulePath);

// The running program's version texts. A program without a version resource (the test programs)
// still gets the version it was built as.
VersionStrings ProgramVersionStrings();

}  // namespace spotlex
