#pragma once

#include <cstdint>

#include "voice/block_size.h"
#include "voice/effect_settings.h"

// The remap step of the block processor, worked out once per effect setting.
namespace wt {

// Consecutive source bins with the same target. Their direct terms all go to `target`
// and their mirror terms (sources kMirror - i) all go to kMirror - target.
struct BinRun {
    int16_t first;   // first source bin, 0..kMirror
    int16_t count;   // source bins first .. first + count - 1
    int16_t target;  // clamped target a(i), 0..kHalf
};

// The runs of one effect kind at one strength, in source order, covering bins 0..kMirror.
struct RemapPlan {
    bool ready;
    EffectKind kind;
    uint32_t strengthBits;
    int32_t runCount;
    BinRun runs[kBlockSize];
};

// The plan for `settings` (kind 0..6). Recomputed only on the first block after the
// kind or strength changes; kept in static storage. [audio thread only]
const RemapPlan& remapPlanFor(EffectSnapshot settings);

// Y from X: for source bins i = 0..kMirror in order, X[i] is added at a(i) and
// X[kMirror - i] at kMirror - a(i), starting from Y = 0. A run's sums are held in
// registers; since the additions into every bin happen in the same order as bin by bin,
// the result is the same to the bit. All arrays kBlockSize doubles; Y must not alias X.
void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut);

}  // namespace wt
