#pragma once
// The about box's summary of the system and its memory.
#include <string>

#include "core/errata_text.h"

namespace spotlex {

// Four lines, CR-LF between them: the system with its service pack and build, the processor,
// the physical memory and what is free of it, and the memory load. Megabytes are 1024 x 1024
// bytes, grouped with commas.
std::string AboutSystemSummary(const OsFacts& facts);

}  // namespace spotlex
