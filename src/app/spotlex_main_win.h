#pragma once

namespace spotlex {

// The entry procedure: single-copy rule, settings, splash and the main form. Returns the exit code.
int Main(const char* commandLine);

}  // namespace spotlex
