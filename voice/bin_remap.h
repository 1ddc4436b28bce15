#pragma once

#include <cstdint>

#include "voice/block_size.h"
#include "voice/effect_settings.h"

// The remap step of the block processor, planned once per effect setting.
//
// Source bins i = 0..kMirror add X[i] at a(i) and X[kMirror - i] at kMirror - a(i), in
// that order, starting from Y = 0. Only the additions into one bin depend on each other,
// so any schedule that keeps the order within every bin gives the same bits. The plan
// cuts the sources into runs of consecutive bins with the same target (one bin pair
// a, kMirror - a per run; the pairs of targets kHalf - 1 and kHalf coincide), and
// interleaves each long run, whose sums are chains of dependent additions held in
// registers, with unrelated work (single sources first), so the chains' latency
// overlaps it.
namespace wt {

// Consecutive source bins with the same target: direct terms go to `target`, mirror
// terms (sources kMirror - i) to kMirror - target.
struct BinRun {
    int16_t first;   // first source bin, 0..kMirror
    int16_t count;   // source bins first .. first + count - 1
    int16_t target;  // clamped target a(i), 0..kHalf
    bool fresh;      // no run before it touches its bins: its sums start from 0.0
};

// A source bin alone in its bins: Y[target] = 0.0 + X[source], and the same for the
// mirror bins.
struct SingleSource {
    int16_t source;
    int16_t target;
};

// A long run (index into RemapPlan::longRuns, -1 for none) processed one source at a
// time, each source followed by one single and, when the singles are used up, by one
// short run; whatever is left of the singles and short runs follows the long run.
struct RemapSegment {
    int16_t longRun;
    int16_t singleBegin;
    int16_t singleEnd;
    int16_t shortBegin;
    int16_t shortEnd;
};

inline constexpr int32_t kLongRun = 8;  // sources from which a run counts as long
inline constexpr int32_t kMaxLongRuns = kBlockSize / kLongRun;

struct RemapPlan {
    bool ready;
    EffectKind kind;
    uint32_t strengthBits;
    int32_t longCount;
    BinRun longRuns[kMaxLongRuns];
    int32_t singleCount;
    SingleSource singles[kBlockSize];  // in the order they are processed
    int32_t shortCount;
    BinRun shortRuns[kBlockSize];  // in the order they are processed
    int32_t segmentCount;
    RemapSegment segments[kBlockSize + 1];
};

// Fills `plan` for an effect kind 0..6 at `strength`.
void makeRemapPlan(EffectSnapshot settings, RemapPlan& plan);

// The plan for `settings` (kind 0..6), made on the first block after the kind or the
// strength changes, and kept in static storage. [audio thread only]
const RemapPlan& remapPlanFor(EffectSnapshot settings);

// Y from X as described above. All arrays kBlockSize doubles; Y must not alias X.
void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut);

}  // namespace wt
