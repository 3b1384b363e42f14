#pragma once
// Whole numbers as users and INI files write them: decimal with an optional
// sign, or up to eight hexadecimal digits after "$", "x", "X", "0x" or "0X".
#include <cstdint>
#include <optional>
#include <string_view>

namespace trelvo::engine {

// Blanks in front are skipped; nothing may follow the digits. A decimal value
// outside the signed 32-bit range, and an empty text, do not convert. Eight hex
// digits may set the sign bit (FFFFFFFF is -1).
std::optional<int32_t> ParseInteger(std::string_view text);

}  // namespace trelvo::engine
