// wacky-render end to end: the built tool, the built plugin, real sound files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "plugin/entry_points.h"
#include "tests/support/noise.h"
#include "tool_runner.h"
#include "tools/session/client_rate.h"
#include "voice/block_size.h"
#include "voice/capture_ring.h"
#include "voice/effect_settings.h"

namespace {

using namespace render_test;

constexpr size_t kDelay = wt::kBlockSize;
constexpr int kRate = wt::session::kClientRate;

std::vector<int16_t> noise(size_t count, unsigned seed, int amplitude = 12000) {
    return wt::test::noise(count, seed, amplitude);
}

// What the voice engine, linked into this test and set directly, returns for `input` fed
// from load in calls of `frames`: the reference for the tool's menu-driven settings.
std::vector<int16_t> engineReference(std::vector<int16_t> input, wt::EffectKind kind,
                                     float strength, size_t frames = 480) {
    wt::captureRing = wt::CaptureRing{};
    wt::storeEffectKind(kind);
    wt::storeEffectStrength(strength);
    for (size_t at = 0; at < input.size(); at += frames) {
        int flags = 0;
        ts3plugin_onEditCapturedVoiceDataEvent(
            1, input.data() + at, static_cast<int>(std::min(frames, input.size() - at)), 1, &flags);
    }
    return input;
}

class RenderToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch = fs::temp_directory_path() /
                  ("wacky-render-" + std::to_string(getpid()) + "-" + test->name());
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }

    void TearDown() override { fs::remove_all(scratch); }

    fs::path file(const std::string& name) const { return scratch / name; }

    fs::path monoInput(const std::vector<int16_t>& samples, const std::string& name = "in.wav") {
        const fs::path path = file(name);
        EXPECT_TRUE(writeSound(path, {kRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, samples}));
        return path;
    }

    // Runs the tool and expects success with nothing on standard error: no warning from
    // the host's ledger, no plugin console line leaking through.
    Sound render(std::vector<std::string> args, const fs::path& output) {
        args.push_back(output);
        const ToolResult result = runTool(args, scratch);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return readSound(output);
    }

    fs::path scratch;
};

TEST_F(RenderToolTest, NoEffectGivesTheInputBackSampleForSample) {
    // A length that is a multiple of neither the block nor the call size.
    const std::vector<int16_t> in = noise(20 * kDelay + 333, 1);
    const Sound out = render({monoInput(in)}, file("out.wav"));
    EXPECT_EQ(out.samples, in);
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.sampleRate, kRate);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
}

TEST_F(RenderToolTest, WithoutInputTheBundledSampleIsRendered) {
    const Sound sample = readSound(WT_BUNDLED_SAMPLE);
    ASSERT_EQ(sample.sampleRate, kRate);
    ASSERT_EQ(sample.channels, 1);
    ASSERT_GT(sample.samples.size(), 3u * kRate) << "a few seconds of speech";
    EXPECT_EQ(render({}, file("out.wav")).samples, sample.samples);
}

TEST_F(RenderToolTest, AnyReadableFormatComesOutAsWavAtItsOwnRate) {
    const std::vector<int16_t> in = noise(30000, 2);
    const fs::path flac = file("in.flac");
    ASSERT_TRUE(writeSound(flac, {44100, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, in}));
    const Sound out = render({"--effect", "No effect", flac}, file("out.wav"));
    EXPECT_EQ(out.samples, in);
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
}

TEST_F(RenderToolTest, RawKeepsTheOneBlockDelay) {
    const std::vector<int16_t> in = noise(10000, 3);
    const Sound out = render({"--raw", monoInput(in)}, file("out.wav"));
    ASSERT_EQ(out.samples.size(), in.size());
    for (size_t t = 0; t < in.size(); ++t)
        ASSERT_EQ(out.samples[t], t < kDelay ? 0 : in[t - kDelay]) << "t=" << t;
}

TEST_F(RenderToolTest, CallSizeDoesNotChangeTheOutput) {
    const fs::path in = monoInput(noise(3 * 4096 + 100, 4));
    const std::vector<std::string> effect{"--effect", "space voice 2", "--strength", "0.75"};
    const auto with = [&](const std::string& frames) {
        std::vector<std::string> args = effect;
        args.insert(args.end(), {"--frames", frames, in});
        return render(args, file("out-" + frames + ".wav")).samples;
    };
    const std::vector<int16_t> reference = with("480");
    EXPECT_EQ(with("1"), reference);
    EXPECT_EQ(with("4096"), reference);
    EXPECT_NE(reference, readSound(in).samples) << "the effect should change the voice";
}

TEST_F(RenderToolTest, SeveralChannelsAreMixedDownToTheirMean) {
    const std::vector<int16_t> left = noise(5000, 5, 16000);
    std::vector<int16_t> interleaved;
    std::vector<int16_t> mean;
    for (size_t t = 0; t < left.size(); ++t) {
        // Right is left plus an even offset, so the mean is a whole number.
        const int16_t right = static_cast<int16_t>(left[t] + 2 * (static_cast<int>(t % 7) - 3));
        interleaved.insert(interleaved.end(), {left[t], right});
        mean.push_back(static_cast<int16_t>((left[t] + right) / 2));
    }
    const fs::path in = file("stereo.wav");
    ASSERT_TRUE(writeSound(in, {kRate, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, interleaved}));
    const Sound out = render({in}, file("out.wav"));
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.samples, mean);
}

TEST_F(RenderToolTest, MenuPressesReachEachOfTheFiveStrengths) {
    const std::vector<int16_t> in = noise(4 * kDelay, 6);
    const fs::path input = monoInput(in);
    std::set<std::vector<int16_t>> distinct;
    for (const auto& [text, strength] : std::vector<std::pair<std::string, float>>{
             {"0", 0.0f}, {"0.25", 0.25f}, {"0.5", 0.5f}, {"0.75", 0.75f}, {"1", 1.0f}}) {
        SCOPED_TRACE("strength " + text);
        const Sound out = render({"--raw", "--effect", "HIGHER", "--strength", text, input},
                                 file("out-" + text + ".wav"));
        EXPECT_EQ(out.samples, engineReference(in, wt::EffectKind::Higher, strength));
        distinct.insert(out.samples);
    }
    EXPECT_EQ(distinct.size(), 5u);
}

TEST_F(RenderToolTest, AProgressBarShowsOnlyOnATerminalAndOnlyForLongInputs) {
    const fs::path longInput = monoInput(noise(11 * kRate, 9, 100), "long.wav");
    const fs::path shortInput = monoInput(noise(kRate, 10, 100), "short.wav");
    render({longInput}, file("piped.wav"));  // not a terminal: nothing on standard error
    // script(1) gives the tool a terminal and copies what it shows into the log.
    const auto onTerminal = [&](const fs::path& input) {
        const fs::path log = file("terminal.log");
        const std::string command = "script -qec '" + std::string(WT_RENDER_TOOL) + " " +
                                    input.string() + " " + file("tty.wav").string() + "' " +
                                    log.string() + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return readText(log);
    };
    const std::string shown = onTerminal(longInput);
    EXPECT_NE(shown.find("rendering ["), std::string::npos) << shown;
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
    EXPECT_EQ(onTerminal(shortInput).find("rendering"), std::string::npos);
}

TEST_F(RenderToolTest, ListShowsTheMenuEffectsInMenuOrder) {
    const ToolResult result = runTool({"--list"}, scratch);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Higher\nLower\nMonster\nSpace Voice\nSpace Voice 2\nRobot\nAlien\nNo effect\n");
}

// The version names the release archives; the tool reads it from the plugin it loads.
TEST_F(RenderToolTest, VersionShowsWhatThePluginReportsWhichIsTheProjectVersion) {
    const ToolResult result = runTool({"--version"}, scratch);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, std::string("plugin: MOR-LEX Wacky Throats 1.0\nversion: ") +
                              WT_PROJECT_VERSION + "\n");
    EXPECT_EQ(result.err, "");  // the plugin is not started, so it prints nothing
}

TEST_F(RenderToolTest, EveryFailureHasItsMessageAndCodeAndWritesNothing) {
    const std::string in = monoInput(noise(2000, 7));
    const fs::path text = file("notes.txt");
    std::ofstream(text) << "not a sound file\n";
    const std::string out = file("out.wav");

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };

    const Case cases[] = {
        {{"--bogus", in, out}, 2, "unknown option --bogus"},
        {{"--frames", "0", in, out}, 2, "--frames takes a whole number"},
        {{"--strength", "loud", in, out}, 2, "--strength takes a number"},
        {{in, in}, 2, "would be overwritten"},
        {{"a.wav", "b.wav", out}, 2, "too many files"},
        {{}, 2, "no OUTPUT"},
        {{file("missing.wav"), out}, 3, "does not exist"},
        {{scratch, out}, 3, "is a directory"},
        {{text, out}, 4, "Format not recognised"},
        {{"--effect", "Squeaky", in, out},
         5,
         "valid names: \"Higher\", \"Lower\", \"Monster\", \"Space Voice\", \"Space Voice 2\", "
         "\"Robot\", \"Alien\", \"No effect\", \"none\""},
        {{"--strength", "0.3", in, out}, 6, "reach 0, 0.25, 0.5, 0.75, 1"},
        {{"--strength", "2", in, out}, 6, "strength 2 cannot be reached"},
        {{in, file("no/such/dir/out.wav")}, 7, "cannot write output"},
        {{"--plugin", file("absent.so"), in, out}, 8, "cannot open shared object file"},
        {{"--plugin", text, in, out}, 8, "cannot load the plugin " + text.string()},
        {{"--plugin", WT_STUB_MISSING_ENTRY, in, out},
         9,
         "no entry point ts3plugin_setFunctionPointers"},
        {{"--plugin", WT_STUB_MISSING_ENTRY, "--version"}, 9, "no entry point ts3plugin_name"},
        {{"--plugin", file("absent.so"), "--version"}, 8, "cannot open shared object file"},
        {{"--version=1"}, 2, "--version takes no value"},
        {{"--plugin", WT_STUB_FAULTY, "--strength", "1", in, out},
         10,
         "no \"Increase effect strength\" item"},
    };
    for (const Case& c : cases) {
        std::string command;
        for (const std::string& arg : c.args) command += " " + arg;
        SCOPED_TRACE(command);
        const ToolResult result = runTool(c.args, scratch);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_NE(result.err.find("wacky-render: "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(RenderToolTest, TheHostReportsBlocksThePluginMishandled) {
    const ToolResult result = runTool({"--plugin", WT_STUB_FAULTY, "--effect", "robot",
                                       monoInput(noise(100, 8)), file("out.wav")},
                                      scratch);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("never released 1 block"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("free 1 pointer(s) the host never handed out"), std::string::npos)
        << result.err;
}

}  // namespace
