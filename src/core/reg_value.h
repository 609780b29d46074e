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

// The value as text: empty gives "", a number its decimal digits.
std::string RegValueText(const RegValue& v);

// The value as a 32-bit number: empty gives 0, a text converts by TextToInt32 (and raises as it
// does: type mismatch for a text that is no number, overflow beyond 32 bits).
std::int32_t RegValueNumber(const RegValue& v);

// The text the value holds, or "" when it holds none (a number gives "" too).
std::string TextOrEmpty(const RegValue& v);

}  // namespace spotlex
