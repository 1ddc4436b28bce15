#pragma once

#include <cstdint>

#include "voice/block_size.h"
#include "voice/effect_settings.h"
#include "voice/effects.h"

// The remap step of the block processor, planned once per effect setting.
//
// Source bins i = 0..kMirror add X[i] at a(i) and X[kMirror - i] at kMirror - a(i), in
// that order, starting from Y = 0. Only the additions into one bin depend on each other,
// so any schedule that keeps the order within every bin gives the same bits. The plan
// cuts the sources into runs of consecutive bins with the same target (one bin pair
// a, kMirror - a per run; the pairs of targets kNyquistBin - 1 and kNyquistBin coincide)
// and interleaves each long run, whose sums are chains of dependent additions held in
// registers, with runs into unrelated bins, so that the chains' latency overlaps them.
namespace wt {

// Consecutive source bins with the same target: direct terms go to `target`, mirror
// terms (sources kMirror - i) to kMirror - target.
struct BinRun {
    int16_t first;   // first source bin, 0..kMirror
    int16_t count;   // source bins first .. first + count - 1
    int16_t target;  // clamped target a(i), 0..kNyquistBin
    bool fresh;      // no run before it touches its bins: its sums start from 0.0
};

// The only one or two sources of a bin pair (of one run, or of two runs of one source):
// Y[target] = (0.0 + X[first]) (+ X[second]), and the same for the mirror bins.
struct OneOrTwoSources {
    int16_t first;
    int16_t second;  // > first; unused for a single source
    int16_t target;
};

// Work that may run in any order relative to other segments' work, as listed: a long run
// (index into RemapPlan::longRuns, -1 for none) one source at a time, each source
// followed by one single, else one pair, else one short run, in the ranges
// given; what is left of the ranges follows the long run.
struct RemapSegment {
    int16_t longRun;
    int16_t singleBegin;
    int16_t singleEnd;
    int16_t pairBegin;
    int16_t pairEnd;
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
    OneOrTwoSources singles[kBlockSize];  // bin pairs with one source
    int32_t pairCount;
    OneOrTwoSources pairs[kBlockSize / 2];  // bin pairs with two sources
    int32_t shortCount;
    BinRun shortRuns[kBlockSize];  // all other runs
    int32_t segmentCount;
    RemapSegment segments[2 * kMaxLongRuns + 1];  // at most two per long run, and one
};

// Fills `plan` for a kind with a formula (hasFormula()) at `strength`.
void makeRemapPlan(EffectSnapshot settings, RemapPlan& plan);

// The plan for `settings` (a kind with a formula), made on the first block after the kind
// or the strength changes, and kept in static storage. [audio thread only]
const RemapPlan& remapPlanFor(EffectSnapshot settings);

// Y from X as described above. All arrays kBlockSize doubles; Y must not alias X.
void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut);

}  // namespace wt
