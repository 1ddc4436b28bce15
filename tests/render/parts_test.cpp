// The tool's parts without a plugin: the capture loop's delay handling against a model
// delay line, levels against closed forms, mixing, strength planning, the command line.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <numbers>

#include "tools/render/levels.h"
#include "tools/render/options.h"
#include "tools/render/render.h"
#include "tools/render/sound_file.h"
#include "tools/session/exit_codes.h"
#include "tools/session/strength_plan.h"

namespace {

using namespace wt::render;
using namespace wt::session;

// Renders 1, 2, 3, ... through an ideal one-block delay line instead of the plugin.
std::vector<int16_t> throughDelayLine(size_t length, int frames, bool raw) {
    std::vector<int16_t> input(length);
    for (size_t t = 0; t < length; ++t) input[t] = static_cast<int16_t>(t % 30000 + 1);
    std::deque<int16_t> line(kPluginDelay, 0);
    size_t at = 0;
    std::vector<int16_t> output;
    renderStream(
        [&](std::span<int16_t> out) {
            const size_t n = std::min(out.size(), input.size() - at);
            std::copy_n(input.begin() + static_cast<ptrdiff_t>(at), n, out.begin());
            at += n;
            return n;
        },
        [&](std::span<int16_t> samples) {
            for (int16_t& s : samples) {
                line.push_back(s);
                s = line.front();
                line.pop_front();
            }
        },
        [&](std::span<const int16_t> samples) {
            output.insert(output.end(), samples.begin(), samples.end());
        },
        [](int64_t) {}, {frames, raw});
    EXPECT_EQ(output.size(), length);
    for (size_t t = 0; t < output.size(); ++t) {
        const int16_t expected = raw ? (t < kPluginDelay ? 0 : input[t - kPluginDelay]) : input[t];
        if (output[t] != expected) {
            ADD_FAILURE() << "length " << length << ", frames " << frames << ", t=" << t;
            break;
        }
    }
    return output;
}

TEST(RenderStreamTest, CompensationAndRawHoldForEveryLengthAndCallSize) {
    constexpr size_t kDelay = kPluginDelay;
    for (const size_t length : {size_t{0}, size_t{1}, kDelay - 1, kDelay, kDelay + 1, size_t{5000}})
        for (const int frames : {1, 480, wt::kBlockSize, 4096})
            for (const bool raw : {false, true}) throughDelayLine(length, frames, raw);
}

TEST(LevelMeterTest, LevelsMatchClosedForms) {
    LevelMeter square;
    std::vector<int16_t> full;
    for (int i = 0; i < 1000; ++i) full.insert(full.end(), {32767, -32768});
    square.add(full);
    EXPECT_NEAR(square.rmsDbfs(), 0.0, 1e-3);
    EXPECT_DOUBLE_EQ(square.peakDbfs(), 0.0);
    EXPECT_DOUBLE_EQ(square.fullScaleShare(), 1.0);

    // Half-scale sine over whole periods: RMS 2^-1.5 of full scale, -9.03 dBFS.
    LevelMeter sine;
    std::vector<int16_t> wave(4800);
    for (size_t t = 0; t < wave.size(); ++t)
        wave[t] = static_cast<int16_t>(
            std::lround(16384.0 * std::sin(2.0 * std::numbers::pi * t / 48.0)));
    sine.add(wave);
    EXPECT_NEAR(sine.rmsDbfs(), 20.0 * std::log10(0.5 / std::sqrt(2.0)), 1e-3);
    EXPECT_NEAR(sine.peakDbfs(), 20.0 * std::log10(0.5), 1e-3);
    EXPECT_EQ(sine.fullScaleShare(), 0.0);

    LevelMeter silence;
    EXPECT_TRUE(std::isinf(silence.rmsDbfs()) && silence.rmsDbfs() < 0);
    silence.add(std::vector<int16_t>(10, 0));
    EXPECT_TRUE(std::isinf(silence.peakDbfs()) && silence.peakDbfs() < 0);
    EXPECT_EQ(silence.fullScaleShare(), 0.0);
}

TEST(MixToSampleTest, MeanIsRoundedAndHeldToSixteenBits) {
    const auto mix = [](std::initializer_list<double> frame) {
        return mixToSample(frame.begin(), static_cast<int>(frame.size()));
    };
    EXPECT_EQ(mix({1234.0 / 32768}), 1234);
    EXPECT_EQ(mix({-32768.0 / 32768}), -32768);
    EXPECT_EQ(mix({1.0 / 32768, 2.0 / 32768}), 2);  // 1.5 rounds away from zero
    EXPECT_EQ(mix({-1.0 / 32768, -2.0 / 32768}), -2);
    EXPECT_EQ(mix({0.5, -0.5, 0.25}), 2731);  // 8192 / 3
    EXPECT_EQ(mix({1.5}), 32767);             // float files may exceed full scale
    EXPECT_EQ(mix({-1.5, -1.5}), -32768);
}

TEST(StrengthPlanTest, FindsShortestPressesAndRefusesTheRest) {
    using P = StrengthPress;
    EXPECT_EQ(planStrength(0.25), std::vector<P>{});
    EXPECT_EQ(planStrength(0.75), (std::vector<P>{P::Increase}));
    EXPECT_EQ(planStrength(0.0), (std::vector<P>{P::Decrease}));
    EXPECT_EQ(planStrength(1.0), (std::vector<P>{P::Increase, P::Increase}));
    EXPECT_EQ(planStrength(0.5), (std::vector<P>{P::Decrease, P::Increase}));
    for (const double unreachable : {0.3, -0.25, 1.25, 0.125, std::nan("")})
        EXPECT_FALSE(planStrength(unreachable)) << unreachable;
    EXPECT_EQ(reachableStrengths(), (std::vector<float>{0.0f, 0.25f, 0.5f, 0.75f, 1.0f}));
}

TEST(OptionsTest, ValuesInlineOrSeparateAndFilesByPosition) {
    const char* separate[] = {"wacky-render", "--frames", "4096", "--effect", "Robot", "out.wav"};
    const Options a = parseOptions(6, separate);
    EXPECT_EQ(a.frames, 4096);
    EXPECT_EQ(a.effect, "Robot");
    EXPECT_EQ(a.input, "");
    EXPECT_EQ(a.output, "out.wav");

    const char* joined[] = {"wacky-render", "--frames=1", "--strength=1", "--", "-in.wav", "o.wav"};
    const Options b = parseOptions(6, joined);
    EXPECT_EQ(b.frames, 1);
    EXPECT_EQ(b.strength, 1.0);
    EXPECT_EQ(b.input, "-in.wav");
    EXPECT_EQ(b.output, "o.wav");

    const char* dangling[] = {"wacky-render", "out.wav", "--effect"};
    const char* valued[] = {"wacky-render", "--raw=yes", "out.wav"};
    for (const auto* argv : {dangling, valued}) {
        try {
            parseOptions(3, argv);
            ADD_FAILURE() << argv[2];
        } catch (const ToolError& error) {
            EXPECT_EQ(error.code, ExitCode::Usage);
        }
    }
}

}  // namespace
