#include "voice/bin_remap.h"

#include <bit>
#include <cstring>

#include "voice/block_processor.h"

namespace wt {

namespace {

RemapPlan plan;

}  // namespace

const RemapPlan& remapPlanFor(EffectSnapshot settings) {
    const uint32_t strengthBits = std::bit_cast<uint32_t>(settings.strength);
    if (plan.ready && plan.kind == settings.kind && plan.strengthBits == strengthBits) return plan;
    plan.kind = settings.kind;
    plan.strengthBits = strengthBits;
    plan.runCount = 0;
    for (int32_t i = 0; i < kBlockSize; ++i) {
        const int32_t a = effectTarget(settings.kind, i, settings.strength);
        BinRun* last = plan.runCount > 0 ? &plan.runs[plan.runCount - 1] : nullptr;
        if (last != nullptr && last->target == a) {
            ++last->count;
        } else {
            plan.runs[plan.runCount++] = {static_cast<int16_t>(i), 1, static_cast<int16_t>(a)};
        }
    }
    plan.ready = true;
    return plan;
}

void remapBins(const RemapPlan& runs, const double* realIn, const double* imagIn, double* realOut,
               double* imagOut) {
    std::memset(realOut, 0, kBlockSize * sizeof(double));
    std::memset(imagOut, 0, kBlockSize * sizeof(double));
    for (int32_t r = 0; r < runs.runCount; ++r) {
        const BinRun run = runs.runs[r];
        const int32_t a = run.target;
        const int32_t b = kMirror - a;  // never a: a + b = kMirror is odd
        double directRe = realOut[a];
        double directIm = imagOut[a];
        double mirrorRe = realOut[b];
        double mirrorIm = imagOut[b];
        for (int32_t i = run.first; i < run.first + run.count; ++i) {
            directRe = directRe + realIn[i];
            directIm = directIm + imagIn[i];
            mirrorRe = mirrorRe + realIn[kMirror - i];
            mirrorIm = mirrorIm + imagIn[kMirror - i];
        }
        realOut[a] = directRe;
        imagOut[a] = directIm;
        realOut[b] = mirrorRe;
        imagOut[b] = mirrorIm;
    }
}

}  // namespace wt
