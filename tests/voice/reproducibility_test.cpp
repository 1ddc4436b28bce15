// Fingerprints of the processed voice for every effect at several strengths. The numbers
// were taken from the Linux build; every build of the engine (another platform, another
// compiler, a vectorised transform) must give the same samples bit for bit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "plugin/entry_points.h"
#include "voice_fixture.h"

namespace {

using wt::EffectKind;

constexpr int kFrames = 4 * kBlockSize + 200;

// A test signal from integer arithmetic only, so that it is the same everywhere: a
// sawtooth sweep with wide-band noise (a 32-bit LCG) on top.
std::vector<int16_t> testSignal() {
    std::vector<int16_t> v(kFrames);
    uint32_t state = 12345;
    int32_t phase = 0;
    for (int j = 0; j < kFrames; ++j) {
        phase = (phase + 40 + j / 16) % 65536;
        state = state * 1664525u + 1013904223u;
        const int32_t noise = static_cast<int32_t>(state >> 16) - 32768;
        v[j] = static_cast<int16_t>((phase - 32768) / 3 + noise / 4);
    }
    return v;
}

uint64_t fnv1a(uint64_t hash, const std::vector<int16_t>& samples) {
    for (int16_t s : samples) {
        const auto u = static_cast<uint16_t>(s);
        for (int shift : {0, 8}) {
            hash ^= (u >> shift) & 0xffu;
            hash *= 1099511628211u;
        }
    }
    return hash;
}

class Reproducibility : public VoiceTest {
  protected:
    // One fingerprint over the output at each strength, the engine reset in between.
    static uint64_t fingerprint(EffectKind kind) {
        uint64_t hash = 14695981039346656037u;
        for (float strength : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
            resetEngine();
            select(kind, strength);
            std::vector<int16_t> audio = testSignal();
            for (int at = 0; at < kFrames; at += 480) {
                int flags = 0;
                ts3plugin_onEditCapturedVoiceDataEvent(1, audio.data() + at,
                                                       std::min(480, kFrames - at), 1, &flags);
            }
            hash = fnv1a(hash, audio);
        }
        return hash;
    }
};

TEST_F(Reproducibility, EveryEffectGivesTheSameSamplesOnEveryBuild) {
    const struct {
        EffectKind kind;
        uint64_t fingerprint;
    } expected[] = {
        {EffectKind::None, 0x7fbfc651ce5d22a9},       {EffectKind::Higher, 0x0a32c209a56a68bd},
        {EffectKind::Lower, 0x2e4fb5e47e821c87},      {EffectKind::Monster, 0x1a349d8e509d7468},
        {EffectKind::SpaceVoice, 0x699c2c14eae66098}, {EffectKind::SpaceVoice2, 0xd52206fff0dbddb0},
        {EffectKind::Robot, 0x838c96d39b5c3161},      {EffectKind::Alien, 0xd466182b84c9c11d},
    };

    for (const auto& e : expected) {
        const uint64_t got = fingerprint(e.kind);
        EXPECT_EQ(got, e.fingerprint)
            << "kind " << static_cast<int>(e.kind) << ": 0x" << std::hex << got;
    }
}

}  // namespace
