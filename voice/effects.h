#pragma once

#include <cstdint>

// The effect kinds and the formula of each: where source bin i of a block's spectrum goes.
// The block step, the remap plan and the menu take the kinds from here; a new effect is a
// kind, its formula and its row in the menu table (voice/effect_menu.cpp).
namespace wt {

// Stored in the effect settings as a signed 32-bit value. The kinds with a formula are
// 0 .. kEffectKindCount - 1, without gaps; None has no formula: the block is copied.
// A new kind goes after the last one and becomes kLastEffectKind.
enum class EffectKind : int32_t {
    None = -1,
    Higher = 0,
    Lower = 1,
    Monster = 2,
    SpaceVoice = 3,
    SpaceVoice2 = 4,
    Robot = 5,
    Alien = 6,
};

inline constexpr EffectKind kLastEffectKind = EffectKind::Alien;
inline constexpr int32_t kEffectKindCount = static_cast<int32_t>(kLastEffectKind) + 1;

// True for the kinds 0 .. kEffectKindCount - 1; false for None and for any other value a
// settings word may hold.
constexpr bool hasFormula(EffectKind kind) {
    return static_cast<int32_t>(kind) >= 0 && static_cast<int32_t>(kind) < kEffectKindCount;
}

// Target bin of source bin `bin` (0..kMirror) under a kind with a formula at `strength`
// (0..1, widened to double for all arithmetic): the formula's double value truncated
// toward zero, then clamped to 0..kNyquistBin. Every kind gives min(bin, kNyquistBin) at
// strength 0. The same bits on every target: the operations and their order are fixed.
int32_t effectTarget(EffectKind kind, int32_t bin, float strength);

}  // namespace wt
