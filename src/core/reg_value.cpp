#include "core/reg_value.h"

#include "core/runtime_rules.h"

namespace spotlex {

std::string RegValueText(const RegValue& v) {
    if (const auto* text = std::get_if<std::string>(&v)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&v)) return std::to_string(*number);
    return {};
}

std::int32_t RegValueNumber(const RegValue& v) {
    if (const auto* number = std::get_if<std::int32_t>(&v)) return *number;
    if (const auto* text = std::get_if<std::string>(&v)) return TextToInt32(*text);
    return 0;
}

std::string TextOrEmpty(const RegValue& v) {
    if (const auto* text = std::get_if<std::string>(&v)) return *text;
    return {};
}

}  // namespace spotlex
