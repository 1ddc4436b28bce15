#include "diagnostics/command_number.h"

#include <cstdlib>

namespace wt::diagnostics {

namespace {

constexpr int kDecimal = 10;

}  // namespace

int32_t readInt32(const char* token) {
    // strtoll saturates at the 64-bit range instead of overflowing; the clamp brings the
    // result into 32 bits, whatever the width of long on the platform.
    const long long value = std::strtoll(token, nullptr, kDecimal);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

uint64_t readChannelId(const char* token) {
    return static_cast<uint64_t>(static_cast<int64_t>(readInt32(token)));
}

uint16_t readClientId(const char* token) {
    return static_cast<uint16_t>(static_cast<uint32_t>(readInt32(token)));
}

}  // namespace wt::diagnostics
