// The block step per effect kind, fast and step by step, and the capture call as the
// client makes it: 480-frame mono buffers (10 ms at 48 kHz).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "benchmarks.h"
#include "reference_block.h"
#include "voice/block_processor.h"
#include "voice/capture_ring.h"
#include "voice/effect_settings.h"
#include "voice/transform_kernels.h"

extern "C" void ts3plugin_onEditCapturedVoiceDataEvent(uint64_t, short*, int, int, int*);

namespace wt::bench {

namespace {

constexpr int32_t kChannel = 0;
constexpr int kFrames = 480;

const char* const kKindNames[kEffectKindCount] = {
    "higher", "lower", "monster", "space-voice", "space-voice-2", "robot", "alien"};

std::vector<int16_t> noise(size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-12000, 12000);
    std::vector<int16_t> v(count);
    for (auto& s : v) s = static_cast<int16_t>(dist(rng));
    return v;
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
        processBlock(kChannel);
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

// A 1024-frame mono call, which completes exactly one block: the whole block step and the
// exchange of its samples, on the instruction set given. bench/web/block_call.mjs times
// the same call in the WebAssembly modules and compares.
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
            const std::string suffix = std::string(kKindNames[kind]) + "/" + strengthName(strength);
            benchmark::RegisterBenchmark(("block/" + suffix).c_str(), blockFast, kind, strength);
            benchmark::RegisterBenchmark(("block-literal/" + suffix).c_str(), blockLiteral, kind,
                                         strength);
        }
    }
    for (const int32_t kind : {-1, 5}) {
        const std::string effect = kind < 0 ? "no-effect" : kKindNames[kind];
        benchmark::RegisterBenchmark(("capture-480/" + effect).c_str(), captureCalls, kind);
        benchmark::RegisterBenchmark(("capture-480-worst-call/" + effect).c_str(), captureWorstCall,
                                     kind);
        std::vector<Isa> isas = {Isa::Baseline};
        if (selectedIsa() != Isa::Baseline) isas.push_back(selectedIsa());
        for (const Isa isa : isas) {
            benchmark::RegisterBenchmark(
                ("capture-1024/" + effect + "/" + isaName(isa)).c_str(), captureBlockCall, kind, isa);
        }
    }
}

}  // namespace wt::bench
