#pragma once
// The welcome that greets the presenter at each start until it is dismissed for good.
#include <string>

namespace spotlex {

// "Welcome to Spotlex".
std::string WelcomeTitle();

// The body: four paragraphs, separated by an empty line (two CR-LF pairs).
std::string WelcomeText();

}  // namespace spotlex
