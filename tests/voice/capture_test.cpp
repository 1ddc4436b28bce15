// The capture entry and its rings: timing, channel layout, block-size invariance.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "plugin/entry_points.h"
#include "tests/support/noise.h"
#include "voice/block_processor.h"
#include "voice_fixture.h"

namespace {

using wt::EffectKind;

using wt::test::noise;

class CaptureTest : public VoiceTest {
  protected:
    // Feeds mono audio through the entry point in buffers of `frames` (the last one
    // shorter) and returns what the client gets back.
    static std::vector<int16_t> capture(std::vector<int16_t> audio, size_t frames,
                                        uint64_t handler = 1) {
        for (size_t at = 0; at < audio.size(); at += frames) {
            const size_t n = std::min(frames, audio.size() - at);
            int flags = 0;
            ts3plugin_onEditCapturedVoiceDataEvent(handler, audio.data() + at, static_cast<int>(n),
                                                   1, &flags);
            EXPECT_EQ(flags, 3);
        }
        return audio;
    }
};

TEST_F(CaptureTest, NoEffectDelaysEverySampleByExactlyOneBlock) {
    const std::vector<int16_t> in = noise(5 * kBlockSize + 100, 1);
    const std::vector<int16_t> out = capture(in, 480);
    for (size_t t = 0; t < out.size(); ++t)
        ASSERT_EQ(out[t], t < kBlockSize ? 0 : in[t - kBlockSize]) << "t=" << t;
}

TEST_F(CaptureTest, ABlockIsProcessedInsideTheCallThatCompletesIt) {
    // 480-frame buffers: the third call's frame 63 fills position 1023; its frames
    // 64..479 already return positions 0..415 of the freshly processed block.
    const std::vector<int16_t> in = noise(3 * 480, 2);
    std::vector<int16_t> buffer(in);
    int flags = 0;
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 480, 1, &flags);
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data() + 480, 480, 1, &flags);
    EXPECT_EQ(wt::captureRing.writePosition, 960);
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data() + 960, 480, 1, &flags);
    EXPECT_EQ(wt::captureRing.writePosition, 416);
    EXPECT_EQ(wt::captureRing.readPosition, 416);
    for (int j = 0; j < 64; ++j) EXPECT_EQ(buffer[960 + j], 0) << j;
    for (int j = 64; j < 480; ++j) EXPECT_EQ(buffer[960 + j], in[j - 64]) << j;
}

TEST_F(CaptureTest, OutputDoesNotDependOnTheBufferSize) {
    const std::vector<int16_t> in = noise(6 * kBlockSize + 333, 3);
    select(EffectKind::Robot, 0.75f);
    const std::vector<int16_t> reference = capture(in, kBlockSize);
    for (size_t frames : {1u, 7u, 480u, 4096u}) {
        resetEngine();
        select(EffectKind::Robot, 0.75f);
        EXPECT_EQ(capture(in, frames), reference) << frames << "-frame buffers";
    }
}

TEST_F(CaptureTest, ServerConnectionsShareOneStream) {
    const std::vector<int16_t> in = noise(3000, 4);
    std::vector<int16_t> out(in);
    for (size_t at = 0; at < out.size(); at += 100) {
        int flags = 0;
        ts3plugin_onEditCapturedVoiceDataEvent(at % 200 == 0 ? 1 : 2, out.data() + at, 100, 1,
                                               &flags);
    }
    for (size_t t = kBlockSize; t < out.size(); ++t) ASSERT_EQ(out[t], in[t - kBlockSize]) << t;
}

TEST_F(CaptureTest, ChannelsTakeConsecutivePositionsInTheirOwnColumns) {
    std::vector<int16_t> buffer(2 * 300);
    for (int j = 0; j < 300; ++j) {
        buffer[2 * j] = static_cast<int16_t>(1000 + j);
        buffer[2 * j + 1] = static_cast<int16_t>(-1000 - j);
    }
    int flags = 0;
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 300, 2, &flags);
    for (int j = 0; j < 300; ++j) {
        EXPECT_EQ(wt::captureRing.input[j][0], 1000 + j);
        EXPECT_EQ(wt::captureRing.input[300 + j][1], -1000 - j);
        EXPECT_EQ(wt::captureRing.input[300 + j][0], 0);
    }
    EXPECT_EQ(wt::captureRing.writePosition, 600);
    EXPECT_EQ(wt::captureRing.readPosition, 600);
}

TEST_F(CaptureTest, ChannelsBeyondTheRingPassThroughAndTakeNoPositions) {
    constexpr int kChannels = 103;
    constexpr int kFrames = 5;
    std::vector<int16_t> buffer = noise(kChannels * kFrames, 5);
    const std::vector<int16_t> in = buffer;
    int flags = 0;
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), kFrames, kChannels, &flags);
    for (int j = 0; j < kFrames; ++j) {
        for (int c = 0; c < kChannels; ++c) {
            const int16_t want = c < 100 ? 0 : in[c + kChannels * j];
            EXPECT_EQ(buffer[c + kChannels * j], want) << "channel " << c << " frame " << j;
        }
    }
    EXPECT_EQ(wt::captureRing.writePosition, 100 * kFrames);
    EXPECT_EQ(wt::captureRing.input[99 * kFrames][99], in[99]);
}

TEST_F(CaptureTest, EmptyOrInvalidCallsOnlySetTheFlags) {
    std::vector<int16_t> buffer = noise(64, 6);
    const std::vector<int16_t> in = buffer;
    for (int count : {0, -1, -480}) {
        for (int flagsIn : {0, 2, 16}) {
            int flags = flagsIn;
            ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), count, 1, &flags);
            EXPECT_EQ(flags, flagsIn | 3);
        }
    }
    int flags = 16;
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 8, 0, &flags);
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 8, -2, &flags);
    EXPECT_EQ(flags, 19);
    ts3plugin_onEditCapturedVoiceDataEvent(1, nullptr, 64, 1, &flags);
    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 0, 1, nullptr);
    EXPECT_EQ(buffer, in);
    EXPECT_EQ(wt::captureRing.writePosition, 0);
    EXPECT_EQ(wt::captureRing.readPosition, 0);

    ts3plugin_onEditCapturedVoiceDataEvent(1, buffer.data(), 64, 1, nullptr);  // not written
    EXPECT_EQ(wt::captureRing.writePosition, 64);
}

TEST_F(CaptureTest, AnEffectChangeIsHeardFromTheNextProcessedBlock) {
    const std::vector<int16_t> in = noise(3 * kBlockSize, 7);
    std::vector<int16_t> out(in);
    int flags = 0;
    ts3plugin_onEditCapturedVoiceDataEvent(1, out.data(), 1536, 1, &flags);  // block 0 copied
    select(EffectKind::Lower, 1.0f);  // block 1 is half captured
    ts3plugin_onEditCapturedVoiceDataEvent(1, out.data() + 1536, 1536, 1, &flags);

    // Block 0 was processed before the change: it comes back unchanged.
    for (int q = 0; q < kBlockSize; ++q) ASSERT_EQ(out[kBlockSize + q], in[q]) << q;

    // Block 1 is processed with the new effect, exactly as the block step alone does it.
    for (int q = 0; q < kBlockSize; ++q) wt::captureRing.input[q][7] = in[kBlockSize + q];
    wt::processBlock(wt::captureRing.input, wt::captureRing.output, 7);
    for (int q = 0; q < kBlockSize; ++q)
        ASSERT_EQ(out[2 * kBlockSize + q], wt::captureRing.output[q][7]) << q;
}

}  // namespace
