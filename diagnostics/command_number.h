#pragma once

// Reading the numeric parameters of the "test" command.

#include <cstdint>

namespace wt::diagnostics {

// A parameter as a signed 32-bit decimal integer, by atoi's rules: leading white space
// skipped, an optional sign, digits up to the first other character, 0 without digits.
// A value beyond the 32-bit range reads as the nearest end of that range.
int32_t readInt32(const char* token);

// The integer widened with its sign, so "-1" names the channel with all 64 bits set.
uint64_t readChannelId(const char* token);

// The integer's low 16 bits.
uint16_t readClientId(const char* token);

}  // namespace wt::diagnostics
