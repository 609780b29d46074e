#pragma once
// A registry value as the settings code passes it around: empty (nothing could be read), a text,
// or a signed 32-bit number.
#include <cstdint>
#include <string>
#include <variant>

namespace spotlex {

using RegValue = std::variant<std::monostate, std::string, std::int32_t>;

inline bool IsEmpty(const RegValue& v) { return std::holds_alternative<std::monostate>(v); }

// Registry value types as the settings use them (the registry's own numbers).
enum RegType : std::int32_t { rgsString = 1, rgsExpandString = 2, rgsBinary = 3, rgsDWord = 4 };

}  // namespace spotlex
