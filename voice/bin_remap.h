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
//
// The plain loop it replaces, and must match bit for bit, is wt::reference::remap
// (tests/voice/reference_block.cpp): for i = 0..kMirror, a(i) computed, then the four
// additions into Y in memory. BinRemap.PlansReproduceTheSourceOrderSumsBitForBit
// (tests/voice/fast_path_test.cpp) compares the two for every kind at 10 strengths.
//
// What it buys, measured (wt_bench --benchmark_filter=remap, three runs: medians of 15,
// the 7 kinds at strengths 0.25 and 1; AMD EPYC, 2 shared cores, GCC 12):
//   plan followed             0.87 to 1.06 us per block
//   plain loop                3.2 to 4.4 us  (3.0 to 4.9 times the plan)
//   loop, targets made once   1.9 to 3.6 us  (1.8 to 4.2 times the plan)
//   making the plan           2.5 to 5.1 us, once, in the first block after a change
// With the plan the remap is about a third of the 3.2 to 3.4 us block step (AVX-512
// transforms); with the plain loop it would be more than half of it. The loop is slow
// where bins pile up (into 0, 511 or 512 and their mirrors): each of those sources adds to
// the same memory as the last, one dependent addition after another.
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
// or the strength changes, and kept in static storage. [audio thread]
const RemapPlan& remapPlanFor(EffectSnapshot settings);

// Y from X as described above. All arrays kBlockSize doubles; Y must not alias X.
void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut);

}  // namespace wt
