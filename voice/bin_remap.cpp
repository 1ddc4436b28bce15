#include "voice/bin_remap.h"

#include <cstring>

#include "voice/bit_cast.h"
#include "voice/effects.h"

namespace wt {

namespace {

RemapPlan cachedPlan;

// Runs touching the same bins must keep their order: those with the same target, and
// those with targets kNyquistBin - 1 and kNyquistBin, whose direct and mirror bins
// coincide.
int32_t binGroup(int32_t target) {
    return target == kNyquistBin - 1 ? kNyquistBin : target;
}

// The sums of one run, in registers.
struct RunSums {
    double directRe;
    double directIm;
    double mirrorRe;
    double mirrorIm;
};

struct Spectra {
    const double* realIn;
    const double* imagIn;
    double* realOut;
    double* imagOut;
};

inline RunSums openRun(const BinRun& run, const Spectra& s) {
    if (run.fresh) return {0.0, 0.0, 0.0, 0.0};
    const int32_t a = run.target;
    return {s.realOut[a], s.imagOut[a], s.realOut[kMirror - a], s.imagOut[kMirror - a]};
}

inline void addSource(RunSums& sums, int32_t i, const Spectra& s) {
    sums.directRe = sums.directRe + s.realIn[i];
    sums.directIm = sums.directIm + s.imagIn[i];
    sums.mirrorRe = sums.mirrorRe + s.realIn[kMirror - i];
    sums.mirrorIm = sums.mirrorIm + s.imagIn[kMirror - i];
}

inline void closeRun(int32_t target, const RunSums& sums, const Spectra& s) {
    s.realOut[target] = sums.directRe;
    s.imagOut[target] = sums.directIm;
    s.realOut[kMirror - target] = sums.mirrorRe;
    s.imagOut[kMirror - target] = sums.mirrorIm;
}

inline void shortRun(const BinRun& run, const Spectra& s) {
    RunSums sums = openRun(run, s);
    for (int32_t i = run.first; i < run.first + run.count; ++i) addSource(sums, i, s);
    closeRun(run.target, sums, s);
}

template <int32_t Count>
inline void sumOneOrTwo(const OneOrTwoSources& sources, const Spectra& s) {
    RunSums sums{0.0, 0.0, 0.0, 0.0};
    addSource(sums, sources.first, s);
    if (Count == 2) addSource(sums, sources.second, s);
    closeRun(sources.target, sums, s);
}

// The next piece of work to pair with a long run's source: a single, else a pair, else a
// short run, if any is left.
inline void nextFiller(const RemapPlan& plan, const RemapSegment& segment, int32_t& single,
                       int32_t& pair, int32_t& other, const Spectra& s) {
    if (single < segment.singleEnd) {
        sumOneOrTwo<1>(plan.singles[single++], s);
    } else if (pair < segment.pairEnd) {
        sumOneOrTwo<2>(plan.pairs[pair++], s);
    } else if (other < segment.shortEnd) {
        shortRun(plan.shortRuns[other++], s);
    }
}

}  // namespace

void makeRemapPlan(EffectSnapshot settings, RemapPlan& plan) {
    plan.kind = settings.kind;
    plan.strengthBits = bit_cast<uint32_t>(settings.strength);

    BinRun runs[kBlockSize];
    int32_t runCount = 0;
    for (int32_t i = 0; i < kBlockSize; ++i) {
        const int32_t a = effectTarget(settings.kind, i, settings.strength);
        if (runCount > 0 && runs[runCount - 1].target == a) {
            ++runs[runCount - 1].count;
        } else {
            runs[runCount++] = {static_cast<int16_t>(i), 1, static_cast<int16_t>(a), false};
        }
    }

    // Groups keep their runs in source order, so a group's first run is the first to
    // touch its bins.
    struct Group {
        int32_t runs;
        int32_t sources;
        int32_t firstRun;
        bool oneTarget;  // every run has the same target (not so for kNyquistBin - 1 and
                         // kNyquistBin)
        bool longRun;
    };

    Group groups[kNyquistBin + 1] = {};
    for (int32_t r = 0; r < runCount; ++r) {
        Group& group = groups[binGroup(runs[r].target)];
        runs[r].fresh = group.runs == 0;
        if (group.runs++ == 0) {
            group.firstRun = r;
            group.oneTarget = true;
        } else if (runs[r].target != runs[group.firstRun].target) {
            group.oneTarget = false;
        }
        group.sources += runs[r].count;
        if (runs[r].count >= kLongRun) group.longRun = true;
    }

    // Groups without a long run may go anywhere: they fill the long runs' chains. Those
    // with one or two sources into one bin pair are summed without a loop.
    OneOrTwoSources singles[kBlockSize];
    OneOrTwoSources pairs[kBlockSize / 2];
    BinRun others[kBlockSize];
    int32_t singleCount = 0;
    int32_t pairCount = 0;
    int32_t otherCount = 0;
    for (int32_t r = 0; r < runCount; ++r) {
        const Group& group = groups[binGroup(runs[r].target)];
        if (group.longRun) continue;
        const bool lone = group.oneTarget && group.sources <= 2;
        if (!lone) {
            others[otherCount++] = runs[r];
        } else if (group.sources == 1) {
            singles[singleCount++] = {runs[r].first, runs[r].first, runs[r].target};
        } else if (group.runs == 1) {
            pairs[pairCount++] = {runs[r].first, static_cast<int16_t>(runs[r].first + 1),
                                  runs[r].target};
        } else if (group.firstRun != r) {
            // Two runs of one source each: recorded at the second.
            pairs[pairCount++] = {runs[group.firstRun].first, runs[r].first, runs[r].target};
        }
    }

    plan.longCount = 0;
    plan.singleCount = 0;
    plan.pairCount = 0;
    plan.shortCount = 0;
    plan.segmentCount = 0;
    int32_t nextSingle = 0;
    int32_t nextPair = 0;
    int32_t nextOther = 0;
    auto openSegment = [&plan](int32_t longRun) {
        const auto at = [](int32_t count) { return static_cast<int16_t>(count); };
        plan.segments[plan.segmentCount++] = {
            at(longRun),        at(plan.singleCount), at(plan.singleCount), at(plan.pairCount),
            at(plan.pairCount), at(plan.shortCount),  at(plan.shortCount)};
    };
    auto addShort = [&plan](const BinRun& run) {
        plan.shortRuns[plan.shortCount++] = run;
        plan.segments[plan.segmentCount - 1].shortEnd = static_cast<int16_t>(plan.shortCount);
    };
    // One piece of free work into the open segment; false when none is left.
    auto addFiller = [&]() {
        RemapSegment& segment = plan.segments[plan.segmentCount - 1];
        if (nextSingle < singleCount) {
            plan.singles[plan.singleCount++] = singles[nextSingle++];
            segment.singleEnd = static_cast<int16_t>(plan.singleCount);
        } else if (nextPair < pairCount) {
            plan.pairs[plan.pairCount++] = pairs[nextPair++];
            segment.pairEnd = static_cast<int16_t>(plan.pairCount);
        } else if (nextOther < otherCount) {
            addShort(others[nextOther++]);
        } else {
            return false;
        }
        return true;
    };

    openSegment(-1);
    for (int32_t group = 0; group <= kNyquistBin; ++group) {
        if (!groups[group].longRun) continue;
        for (int32_t r = 0; r < runCount; ++r) {
            if (binGroup(runs[r].target) != group) continue;
            if (runs[r].count < kLongRun) {
                // Bound to its group's order: not interleaved.
                if (plan.segments[plan.segmentCount - 1].longRun >= 0) openSegment(-1);
                addShort(runs[r]);
                continue;
            }
            plan.longRuns[plan.longCount] = runs[r];
            openSegment(plan.longCount++);
            for (int32_t k = 0; k < runs[r].count && addFiller(); ++k) {
            }
            openSegment(-1);
        }
    }
    while (addFiller()) {
    }
    plan.ready = true;
}

const RemapPlan& remapPlanFor(EffectSnapshot settings) {
    if (!cachedPlan.ready || cachedPlan.kind != settings.kind ||
        cachedPlan.strengthBits != bit_cast<uint32_t>(settings.strength))
        makeRemapPlan(settings, cachedPlan);
    return cachedPlan;
}

void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut) {
    const Spectra s{realIn, imagIn, realOut, imagOut};
    std::memset(realOut, 0, kBlockSize * sizeof(double));
    std::memset(imagOut, 0, kBlockSize * sizeof(double));
    for (int32_t g = 0; g < plan.segmentCount; ++g) {
        const RemapSegment& segment = plan.segments[g];
        int32_t single = segment.singleBegin;
        int32_t pair = segment.pairBegin;
        int32_t other = segment.shortBegin;
        if (segment.longRun >= 0) {
            const BinRun& chain = plan.longRuns[segment.longRun];
            RunSums sums = openRun(chain, s);
            for (int32_t i = chain.first; i < chain.first + chain.count; ++i) {
                addSource(sums, i, s);
                nextFiller(plan, segment, single, pair, other, s);
            }
            closeRun(chain.target, sums, s);
        }
        for (; single < segment.singleEnd; ++single) sumOneOrTwo<1>(plan.singles[single], s);
        for (; pair < segment.pairEnd; ++pair) sumOneOrTwo<2>(plan.pairs[pair], s);
        for (; other < segment.shortEnd; ++other) shortRun(plan.shortRuns[other], s);
    }
}

}  // namespace wt
