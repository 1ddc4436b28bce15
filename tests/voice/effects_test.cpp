// The target formulas against hand-derived bin tables.

#include "voice/effects.h"

#include <gtest/gtest.h>

#include "voice_fixture.h"

namespace {

using wt::EffectKind;

constexpr float kMenuStrengths[] = {0.25f, 0.5f, 0.75f, 1.0f};

TEST(EffectTarget, WorkedSampleTargets) {
    using wt::effectTarget;
    EXPECT_EQ(effectTarget(EffectKind::Robot, 1, 1.0f), 2);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 2, 1.0f), 5);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 100, 1.0f), 270);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 200, 1.0f), 482);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 216, 1.0f), 511);
    for (int i = 217; i <= 807; ++i) EXPECT_EQ(effectTarget(EffectKind::Robot, i, 1.0f), 512) << i;
    EXPECT_LT(effectTarget(EffectKind::Robot, 808, 1.0f), 512);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 1023, 1.0f), 2);
    EXPECT_EQ(effectTarget(EffectKind::Robot, 1023, 0.75f), 257);
    EXPECT_EQ(effectTarget(EffectKind::Alien, 4, 0.25f), 3);
    EXPECT_EQ(effectTarget(EffectKind::Alien, 100, 0.25f), 275);
    EXPECT_EQ(effectTarget(EffectKind::Lower, 1023, 1.0f), 511);
    EXPECT_EQ(effectTarget(EffectKind::SpaceVoice2, 255, 0.25f), 191);
    EXPECT_EQ(effectTarget(EffectKind::SpaceVoice2, 256, 0.25f), 512);
    EXPECT_EQ(effectTarget(EffectKind::SpaceVoice, 511, 0.5f), 255);
    EXPECT_EQ(effectTarget(EffectKind::Monster, 1023, 0.75f), 255);
}

TEST(EffectTarget, FirstSourceBinClampedToTheHighestBin) {
    // Per kind, at strengths 0.25, 0.5, 0.75 and 1; 0 where no bin reaches 512. A kind
    // added without its row here reads as a row of zeros and fails.
    const int firstClamped[wt::kEffectKindCount][4] = {
        {410, 342, 293, 256},  // Higher
        {640, 768, 896, 0},    // Lower
        {683, 0, 0, 0},        // Monster
        {512, 512, 512, 512},  // Space Voice
        {256, 256, 256, 256},  // Space Voice 2
        {433, 342, 268, 217},  // Robot
        {143, 117, 107, 102},  // Alien
    };
    for (const EffectKind kind : kEffectKinds) {
        const int k = static_cast<int>(kind);
        for (int s = 0; s < 4; ++s) {
            int first = 0;
            for (int i = 0; i < kBlockSize && first == 0; ++i)
                if (wt::effectTarget(kind, i, kMenuStrengths[s]) == 512) first = i;
            EXPECT_EQ(first, firstClamped[k][s])
                << "kind " << k << " strength " << kMenuStrengths[s];
        }
    }
}

TEST(EffectTarget, StrengthZeroIsTheIdentityUpToTheHighestBin) {
    for (EffectKind kind : kEffectKinds)
        for (int i = 0; i < kBlockSize; ++i)
            ASSERT_EQ(wt::effectTarget(kind, i, 0.0f), i <= 512 ? i : 512)
                << static_cast<int>(kind);
}

}  // namespace
