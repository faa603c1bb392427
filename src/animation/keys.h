// The character codes the key handler acts on, as the front ends deliver
// them: the character typed, after keyboard translation.
#pragma once

#include <cstdint>

namespace key {
inline constexpr std::uint16_t escape = 27;
inline constexpr std::uint16_t slower = ',';
inline constexpr std::uint16_t faster = '.';
inline constexpr std::uint16_t slow = '/';
inline constexpr std::uint16_t hold_or_run = ' ';
inline constexpr std::uint16_t less_eccentric = '[';
inline constexpr std::uint16_t more_eccentric = ']';
}  // namespace key
