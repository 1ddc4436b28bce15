// The block step per effect kind, fast and step by step; its remap step alone, planned
// and as plain loops; and the capture call as the client makes it: 480-frame mono
// buffers (10 ms at 48 kHz).

#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "benchmarks.h"
#include "plugin/entry_points.h"
#include "reference_block.h"
#include "tests/support/noise.h"
#include "voice/bin_remap.h"
#include "voice/block_processor.h"
#include "voice/capture_ring.h"
#include "voice/effect_menu.h"
#include "voice/effect_settings.h"
#include "voice/effects.h"
#include "voice/transform_kernels.h"

namespace wt::bench {

namespace {

constexpr int32_t kChannel = 0;
constexpr int kFrames = 480;

// An effect's menu text in lower case, spaces as hyphens: "Space Voice 2" is
// "space-voice-2", "No effect" "no-effect".
std::string effectName(EffectKind kind) {
    std::string name = effectMenuText(kind);
    for (char& c : name) c = c == ' ' ? '-' : static_cast<char>(std::tolower(c));
    return name;
}

std::vector<int16_t> noise(size_t count, unsigned seed) {
    return wt::test::noise(count, seed, 12000);
}

void fillColumn() {
    const std::vector<int16_t> block = noise(kBlockSize, 7);
    for (int32_t q = 0; q < kBlockSize; ++q) captureRing.input[q][kChannel] = block[q];
}

void select(int32_t kind, float strength) {
    storeEffectKind(static_cast<EffectKind>(kind));
    storeEffectStrength(strength);
}

void blockFast(benchmark::State& state, int32_t kind, float strength) {
    fillColumn();
    select(kind, strength);
    for (auto _ : state) {
        processBlock(captureRing.input, captureRing.output, kChannel);
        benchmark::ClobberMemory();
    }
}

// The step-by-step block step on the same ring column: gather, process, scatter.
void blockLiteral(benchmark::State& state, int32_t kind, float strength) {
    fillColumn();
    int16_t in[kBlockSize];
    int16_t out[kBlockSize];
    for (auto _ : state) {
        for (int32_t q = 0; q < kBlockSize; ++q) in[q] = captureRing.input[q][kChannel];
        reference::processBlock(in, kind, strength, out);
        for (int32_t q = 0; q < kBlockSize; ++q) captureRing.output[q][kChannel] = out[q];
        benchmark::ClobberMemory();
    }
}

// A spectrum for the remap cases: the remap only adds, so any finite values serve.
struct Spectrum {
    alignas(64) double realIn[kBlockSize];
    alignas(64) double imagIn[kBlockSize];
    alignas(64) double realOut[kBlockSize];
    alignas(64) double imagOut[kBlockSize];
};

Spectrum& spectrum() {
    static Spectrum s = [] {
        Spectrum made{};
        std::mt19937_64 rng(11);
        std::normal_distribution<double> dist(0.0, 100.0);
        for (int32_t k = 0; k < kBlockSize; ++k) {
            made.realIn[k] = dist(rng);
            made.imagIn[k] = dist(rng);
        }
        return made;
    }();
    return s;
}

// The remap as the block step runs it: the setting's plan is made once, then followed.
void remapPlanned(benchmark::State& state, int32_t kind, float strength) {
    Spectrum& s = spectrum();
    const EffectSnapshot settings{static_cast<EffectKind>(kind), strength};
    for (auto _ : state) {
        remapBins(remapPlanFor(settings), s.realIn, s.imagIn, s.realOut, s.imagOut);
        benchmark::ClobberMemory();
    }
}

// Making the plan: paid once, by the first block after the kind or the strength changes.
void remapPlanMade(benchmark::State& state, int32_t kind, float strength) {
    static RemapPlan plan;
    const EffectSnapshot settings{static_cast<EffectKind>(kind), strength};
    for (auto _ : state) {
        makeRemapPlan(settings, plan);
        benchmark::ClobberMemory();
    }
}

// The plain loop the plan must match bit for bit: every source in order, its target
// computed as it goes.
void remapLoop(benchmark::State& state, int32_t kind, float strength) {
    Spectrum& s = spectrum();
    for (auto _ : state) {
        reference::remap(kind, strength, s.realIn, s.imagIn, s.realOut, s.imagOut);
        benchmark::ClobberMemory();
    }
}

// The same loop with the targets computed once per setting: the least a plan could be.
void remapTable(benchmark::State& state, int32_t kind, float strength) {
    Spectrum& s = spectrum();
    int16_t target[kBlockSize];
    for (int32_t i = 0; i < kBlockSize; ++i)
        target[i] = static_cast<int16_t>(effectTarget(static_cast<EffectKind>(kind), i, strength));
    for (auto _ : state) {
        for (int32_t q = 0; q < kBlockSize; ++q) {
            s.realOut[q] = 0.0;
            s.imagOut[q] = 0.0;
        }
        for (int32_t i = 0; i < kBlockSize; ++i) {
            const int32_t a = target[i];
            s.realOut[a] = s.realOut[a] + s.realIn[i];
            s.imagOut[a] = s.imagOut[a] + s.imagIn[i];
            s.realOut[kMirror - a] = s.realOut[kMirror - a] + s.realIn[kMirror - i];
            s.imagOut[kMirror - a] = s.imagOut[kMirror - a] + s.imagIn[kMirror - i];
        }
        benchmark::ClobberMemory();
    }
}

// Back-to-back calls, each on what the last one returned: a block completes in every
// second or third call, so the time per call is the amortised cost.
void captureCalls(benchmark::State& state, int32_t kind) {
    select(kind, 0.25f);
    std::vector<int16_t> audio = noise(kFrames, 9);
    for (auto _ : state) {
        int flags = 0;
        ts3plugin_onEditCapturedVoiceDataEvent(1, audio.data(), kFrames, 1, &flags);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}

// The call that completes a block: frame 63 fills position 1023, so the whole block step
// runs inside it. Each call starts from the same positions (two stores, timed with it).
void captureWorstCall(benchmark::State& state, int32_t kind) {
    select(kind, 0.25f);
    std::vector<int16_t> audio = noise(kFrames, 9);
    for (auto _ : state) {
        captureRing.writePosition = kBlockSize - 64;
        captureRing.readPosition = kBlockSize - 64;
        int flags = 0;
        ts3plugin_onEditCapturedVoiceDataEvent(1, audio.data(), kFrames, 1, &flags);
        benchmark::ClobberMemory();
    }
}

// A one-block mono call (kBlockSize frames), which completes exactly one block: the whole block
// step and the exchange of its samples, on the instruction set given. bench/web/block_call.mjs
// times the same call in the WebAssembly modules and compares.
void captureBlockCall(benchmark::State& state, int32_t kind, Isa isa) {
    const Isa chosen = selectedIsa();
    forceIsa(isa);
    select(kind, 0.25f);
    std::vector<int16_t> audio = noise(kBlockSize, 9);
    for (auto _ : state) {
        int flags = 0;
        ts3plugin_onEditCapturedVoiceDataEvent(1, audio.data(), kBlockSize, 1, &flags);
        benchmark::ClobberMemory();
    }
    forceIsa(chosen);
}

}  // namespace

std::string strengthName(float strength) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(strength));
    return text;
}

void registerVoicePathBenchmarks() {
    benchmark::RegisterBenchmark("block/no-effect", blockFast, -1, 0.25f);
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        for (const float strength : kBenchStrengths) {
            const std::string suffix =
                effectName(static_cast<EffectKind>(kind)) + "/" + strengthName(strength);
            benchmark::RegisterBenchmark(("block/" + suffix).c_str(), blockFast, kind, strength);
            benchmark::RegisterBenchmark(("block-literal/" + suffix).c_str(), blockLiteral, kind,
                                         strength);
            benchmark::RegisterBenchmark(("remap/" + suffix).c_str(), remapPlanned, kind, strength);
            benchmark::RegisterBenchmark(("remap-plan-made/" + suffix).c_str(), remapPlanMade, kind,
                                         strength);
            benchmark::RegisterBenchmark(("remap-table/" + suffix).c_str(), remapTable, kind,
                                         strength);
            benchmark::RegisterBenchmark(("remap-loop/" + suffix).c_str(), remapLoop, kind,
                                         strength);
        }
    }
    for (const EffectKind kind : {EffectKind::None, EffectKind::Robot}) {
        const std::string effect = effectName(kind);
        benchmark::RegisterBenchmark(("capture-480/" + effect).c_str(), captureCalls,
                                     static_cast<int32_t>(kind));
        benchmark::RegisterBenchmark(("capture-480-worst-call/" + effect).c_str(), captureWorstCall,
                                     static_cast<int32_t>(kind));
        std::vector<Isa> isas = {Isa::Baseline};
        if (selectedIsa() != Isa::Baseline) isas.push_back(selectedIsa());
        for (const Isa isa : isas) {
            benchmark::RegisterBenchmark(("capture-block/" + effect + "/" + isaName(isa)).c_str(),
                                         captureBlockCall, static_cast<int32_t>(kind), isa);
        }
    }
}

}  // namespace wt::bench
