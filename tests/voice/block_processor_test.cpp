// The block step: its worked cases against closed forms.

#include "voice/block_processor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "tests/support/noise.h"
#include "voice_fixture.h"

namespace {

using wt::EffectKind;

constexpr float kStrengths[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

class BlockProcessorTest : public VoiceTest {
  protected:
    // Runs one block through column `channel` and returns that column of the output ring.
    static Block process(const Block& in, EffectKind kind, float strength, int channel = 0) {
        select(kind, strength);
        for (int q = 0; q < kBlockSize; ++q) wt::captureRing.input[q][channel] = in[q];
        wt::processBlock(wt::captureRing.input, wt::captureRing.output, channel);
        Block out{};
        for (int q = 0; q < kBlockSize; ++q) out[q] = wt::captureRing.output[q][channel];
        return out;
    }

    static Block constant(int16_t c) {
        Block b;
        b.fill(c);
        return b;
    }

    static Block noise(unsigned seed, int amplitude = 8000) {
        const std::vector<int16_t> samples = wt::test::noise(Block{}.size(), seed, amplitude);
        Block b;
        std::copy(samples.begin(), samples.end(), b.begin());
        return b;
    }

    // Output within one unit of trunc(exact): the transforms may round a whole value
    // one unit toward zero.
    static void expectWithinOneUnit(const Block& got, const long double* exact) {
        for (int t = 0; t < kBlockSize; ++t) {
            const long double want = std::trunc(exact[t]);
            EXPECT_LE(std::fabs(static_cast<long double>(got[t]) - want), 1.0L) << "t=" << t;
        }
    }
};

constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;

TEST_F(BlockProcessorTest, NoEffectIsABitExactCopyThatLeavesTheWorkArraysAlone) {
    std::memset(wt::realIn, 0x5a, sizeof wt::realIn);
    const Block in = noise(1, 32767);
    EXPECT_EQ(process(in, EffectKind::None, 0.75f, 42), in);
    unsigned char pattern[sizeof wt::realIn];
    std::memset(pattern, 0x5a, sizeof pattern);
    EXPECT_EQ(std::memcmp(wt::realIn, pattern, sizeof pattern), 0);
}

TEST_F(BlockProcessorTest, OnlyTheProcessedColumnChanges) {
    wt::captureRing.output[5][3] = 77;
    process(noise(2), EffectKind::Robot, 0.5f, 4);
    EXPECT_EQ(wt::captureRing.output[5][3], 77);
}

TEST_F(BlockProcessorTest, ConstantBlockComesBackWithItsMirrorComponent) {
    // At strength 0.25 every kind clamps a(1023) to 512 ("Lower": 1023 / 1.25 = 818.4),
    // so the mirror term of i = 1023 lands in bin 511.
    const int16_t c = 1000;
    for (EffectKind kind : kEffectKinds) {
        const int mirrorBin = 511;
        long double exact[kBlockSize];
        for (int t = 0; t < kBlockSize; ++t)
            exact[t] = c + c * std::cos(kTwoPi * mirrorBin * t / kBlockSize);
        SCOPED_TRACE(static_cast<int>(kind));
        expectWithinOneUnit(process(constant(c), kind, 0.25f), exact);
    }
    const Block higher = process(constant(c), EffectKind::Higher, 0.25f);
    EXPECT_EQ(higher[1], 0);
    EXPECT_EQ(higher[2], 1999);

    // "Lower" at full strength: a(1023) = 511, mirror bin 512, exactly 2c, 0, 2c, 0, ...
    const Block lower = process(constant(c), EffectKind::Lower, 1.0f);
    for (int t = 0; t < kBlockSize; ++t) ASSERT_EQ(lower[t], t % 2 == 0 ? 2 * c : 0) << t;
}

TEST_F(BlockProcessorTest, MonsterAtFullStrengthFoldsEverythingOntoTheFirstSample) {
    // Every bin goes to bin 0 and its mirror to bin 1023; the bins sum to x[0].
    Block in = noise(3);
    in[0] = 5000;
    long double exact[kBlockSize];
    for (int t = 0; t < kBlockSize; ++t)
        exact[t] = in[0] * (1.0L + std::cos(kTwoPi * t / kBlockSize));
    expectWithinOneUnit(process(in, EffectKind::Monster, 1.0f), exact);
}

TEST_F(BlockProcessorTest, CosineAtBin40UnderHigherAtFullStrengthLandsInFourBins) {
    // X[40] = X[984] = A/2 lands at 80 (direct, i = 40), 945 (mirror, i = 39 -> 78),
    // 511 (mirror, i = 983) and 512 (direct, i = 984, clamped).
    const long double amplitude = 10000;
    Block in;
    for (int t = 0; t < kBlockSize; ++t)
        in[t] =
            static_cast<int16_t>(std::lround(amplitude * std::cos(kTwoPi * 40 * t / kBlockSize)));
    long double exact[kBlockSize];
    for (int t = 0; t < kBlockSize; ++t) {
        long double sum = 0;
        for (int bin : {80, 945, 511, 512}) sum += std::cos(kTwoPi * bin * t / kBlockSize);
        exact[t] = amplitude / 2 * sum;
    }
    // The input is rounded to whole samples, so its spectrum is A/2 only to ~1e-4.
    const Block out = process(in, EffectKind::Higher, 1.0f);
    for (int t = 0; t < kBlockSize; ++t) EXPECT_LE(std::fabs(out[t] - exact[t]), 1.5L) << "t=" << t;
}

TEST_F(BlockProcessorTest, StrengthZeroIsTheSameForAllKindsAndNotTheIdentity) {
    const Block in = noise(4);
    const Block reference = process(in, EffectKind::Higher, 0.0f);
    for (EffectKind kind : kEffectKinds) EXPECT_EQ(process(in, kind, 0.0f), reference);
    EXPECT_NE(reference, in);

    // Y[511] = 2 X[511] + sum X[0..510] and Y[512] = 2 X[512] + sum X[513..1023]: the
    // input plus two components near the highest frequency. For a constant block only
    // X[0] is non-zero, so the output is c + c * cos(2 pi * 511 t / kBlockSize).
    long double exact[kBlockSize];
    for (int t = 0; t < kBlockSize; ++t)
        exact[t] = 300 + 300 * std::cos(kTwoPi * 511 * t / kBlockSize);
    expectWithinOneUnit(process(constant(300), EffectKind::Alien, 0.0f), exact);
}

TEST_F(BlockProcessorTest, LoudInputSaturatesInsteadOfWrapping) {
    // 20000 + 20000 = 40000 at even samples: clamped, not wrapped to -25536.
    const Block up = process(constant(20000), EffectKind::Higher, 0.25f);
    EXPECT_EQ(up[0], 32767);
    EXPECT_EQ(up[2], 32767);
    EXPECT_EQ(up[1], 0);
    const Block down = process(constant(-20000), EffectKind::Higher, 0.25f);
    EXPECT_EQ(down[0], -32768);
    EXPECT_EQ(down[2], -32768);
    EXPECT_EQ(wt::toSample(32767.9), 32767);
    EXPECT_EQ(wt::toSample(-32768.9), -32768);
    EXPECT_EQ(wt::toSample(-0.99), 0);
    EXPECT_EQ(wt::toSample(1e7), 32767);
}

TEST_F(BlockProcessorTest, SilenceStaysSilentEvenRightAfterALoudBlock) {
    const Block silence{};
    for (EffectKind kind : kEffectKinds) {
        for (float s : kStrengths) {
            process(constant(-32768), kind, s);
            EXPECT_EQ(process(silence, kind, s), silence) << static_cast<int>(kind) << " " << s;
        }
    }
}

}  // namespace
