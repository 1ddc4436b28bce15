#include "voice/bin_remap.h"

#include <bit>
#include <cstring>

#include "voice/block_processor.h"

namespace wt {

namespace {

RemapPlan cachedPlan;

// Runs touching the same bins must keep their order: those with the same target, and
// those with targets kHalf - 1 and kHalf, whose direct and mirror bins coincide.
int32_t binGroup(int32_t target) {
    return target == kHalf - 1 ? kHalf : target;
}

// The sums of one run, in registers.
struct RunSums {
    double directRe;
    double directIm;
    double mirrorRe;
    double mirrorIm;
};

inline RunSums openRun(const BinRun& run, const double* realOut, const double* imagOut) {
    if (run.fresh) return {0.0, 0.0, 0.0, 0.0};
    const int32_t a = run.target;
    return {realOut[a], imagOut[a], realOut[kMirror - a], imagOut[kMirror - a]};
}

inline void addSource(RunSums& sums, int32_t i, const double* realIn, const double* imagIn) {
    sums.directRe = sums.directRe + realIn[i];
    sums.directIm = sums.directIm + imagIn[i];
    sums.mirrorRe = sums.mirrorRe + realIn[kMirror - i];
    sums.mirrorIm = sums.mirrorIm + imagIn[kMirror - i];
}

inline void closeRun(const BinRun& run, const RunSums& sums, double* realOut, double* imagOut) {
    const int32_t a = run.target;
    realOut[a] = sums.directRe;
    imagOut[a] = sums.directIm;
    realOut[kMirror - a] = sums.mirrorRe;
    imagOut[kMirror - a] = sums.mirrorIm;
}

inline void single(const SingleSource& one, const double* realIn, const double* imagIn,
                   double* realOut, double* imagOut) {
    const int32_t a = one.target;
    const int32_t i = one.source;
    realOut[a] = 0.0 + realIn[i];
    imagOut[a] = 0.0 + imagIn[i];
    realOut[kMirror - a] = 0.0 + realIn[kMirror - i];
    imagOut[kMirror - a] = 0.0 + imagIn[kMirror - i];
}

inline void shortRun(const BinRun& run, const double* realIn, const double* imagIn, double* realOut,
                     double* imagOut) {
    RunSums sums = openRun(run, realOut, imagOut);
    for (int32_t i = run.first; i < run.first + run.count; ++i) addSource(sums, i, realIn, imagIn);
    closeRun(run, sums, realOut, imagOut);
}

}  // namespace

void makeRemapPlan(EffectSnapshot settings, RemapPlan& plan) {
    plan.kind = settings.kind;
    plan.strengthBits = std::bit_cast<uint32_t>(settings.strength);

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
    // Groups keep their runs in source order, so the first run of a group is the first
    // to touch its bins.
    bool groupTouched[kHalf + 1] = {};
    for (int32_t r = 0; r < runCount; ++r) {
        runs[r].fresh = !groupTouched[binGroup(runs[r].target)];
        groupTouched[binGroup(runs[r].target)] = true;
    }
    int32_t groupRuns[kHalf + 1] = {};
    bool groupHasLongRun[kHalf + 1] = {};
    for (int32_t r = 0; r < runCount; ++r) {
        ++groupRuns[binGroup(runs[r].target)];
        if (runs[r].count >= kLongRun) groupHasLongRun[binGroup(runs[r].target)] = true;
    }

    // Runs in groups without a long run are free to go anywhere: they fill the gaps of
    // the long runs' chains. A group with a long run keeps its runs in source order.
    SingleSource singles[kBlockSize];
    int32_t singleCount = 0;
    BinRun freeRuns[kBlockSize];
    int32_t freeCount = 0;
    for (int32_t r = 0; r < runCount; ++r) {
        const int32_t group = binGroup(runs[r].target);
        if (groupHasLongRun[group]) continue;
        if (groupRuns[group] == 1 && runs[r].count == 1) {
            singles[singleCount++] = {runs[r].first, runs[r].target};
        } else {
            freeRuns[freeCount++] = runs[r];
        }
    }

    plan.longCount = 0;
    plan.singleCount = 0;
    plan.shortCount = 0;
    plan.segmentCount = 0;
    int32_t nextSingle = 0;
    int32_t nextFree = 0;
    auto openSegment = [&plan](int32_t longRun) {
        plan.segments[plan.segmentCount++] = {
            static_cast<int16_t>(longRun), static_cast<int16_t>(plan.singleCount),
            static_cast<int16_t>(plan.singleCount), static_cast<int16_t>(plan.shortCount),
            static_cast<int16_t>(plan.shortCount)};
    };
    auto addSingle = [&] {
        plan.singles[plan.singleCount++] = singles[nextSingle++];
        plan.segments[plan.segmentCount - 1].singleEnd = static_cast<int16_t>(plan.singleCount);
    };
    auto addShort = [&plan](const BinRun& run) {
        plan.shortRuns[plan.shortCount++] = run;
        plan.segments[plan.segmentCount - 1].shortEnd = static_cast<int16_t>(plan.shortCount);
    };
    openSegment(-1);
    for (int32_t group = 0; group <= kHalf; ++group) {
        if (!groupHasLongRun[group]) continue;
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
            for (int32_t k = 0; k < runs[r].count; ++k) {
                if (nextSingle < singleCount) {
                    addSingle();
                } else if (nextFree < freeCount) {
                    addShort(freeRuns[nextFree++]);
                }
            }
            openSegment(-1);
        }
    }
    while (nextSingle < singleCount) addSingle();
    while (nextFree < freeCount) addShort(freeRuns[nextFree++]);
    plan.ready = true;
}

const RemapPlan& remapPlanFor(EffectSnapshot settings) {
    if (!cachedPlan.ready || cachedPlan.kind != settings.kind ||
        cachedPlan.strengthBits != std::bit_cast<uint32_t>(settings.strength))
        makeRemapPlan(settings, cachedPlan);
    return cachedPlan;
}

void remapBins(const RemapPlan& plan, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut) {
    std::memset(realOut, 0, kBlockSize * sizeof(double));
    std::memset(imagOut, 0, kBlockSize * sizeof(double));
    for (int32_t g = 0; g < plan.segmentCount; ++g) {
        const RemapSegment& segment = plan.segments[g];
        int32_t one = segment.singleBegin;
        int32_t s = segment.shortBegin;
        if (segment.longRun >= 0) {
            const BinRun& chain = plan.longRuns[segment.longRun];
            RunSums sums = openRun(chain, realOut, imagOut);
            const int32_t end = chain.first + chain.count;
            for (int32_t i = chain.first; i < end; ++i) {
                addSource(sums, i, realIn, imagIn);
                if (one < segment.singleEnd) {
                    single(plan.singles[one++], realIn, imagIn, realOut, imagOut);
                } else if (s < segment.shortEnd) {
                    shortRun(plan.shortRuns[s++], realIn, imagIn, realOut, imagOut);
                }
            }
            closeRun(chain, sums, realOut, imagOut);
        }
        for (; one < segment.singleEnd; ++one)
            single(plan.singles[one], realIn, imagIn, realOut, imagOut);
        for (; s < segment.shortEnd; ++s)
            shortRun(plan.shortRuns[s], realIn, imagIn, realOut, imagOut);
    }
}

}  // namespace wt
