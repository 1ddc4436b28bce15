// Checks a recording made through wacky-live against wacky-render --raw, sample for
// sample. The recording has two channels on one clock: 0, the monitor of the sink the
// voice was played into (what wacky-live captured); 1, the microphone wacky-throats-mic.
//
// Usage: live_check RENDER VOICE RECORDING WORKDIR EFFECT [LATER_EFFECT]
//        live_check --flowing RECORDING    (the microphone still sounds at the voice's end)
//        live_check --pad VOICE PADDED   (VOICE and a second of silence, to play: a player
//                                         may drop its last, partial buffer)
//
// The plugin's blocks start at the first sample it was given, so the voice falls into
// them at a phase the recording does not show. Every phase is tried at once: one raw
// render with the voice's start at each position of a block, against the first
// processed block on the microphone. The whole recording is then compared with the raw
// render of the voice at the phase found. With LATER_EFFECT, a change was sent while the
// voice played: every sample must be the first effect's or the later one's, the first
// effect's first, and both must be heard.
//
// Exit: 0 bit-exact (prints the end-to-end delay), 1 wrong result, 2 usage or file
// error, 3 starved: the monitor does not hold the voice intact, so the input was not the
// voice and the run says nothing about the tool.

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/session/client_rate.h"
#include "voice/block_size.h"

namespace {

constexpr int kBlock = wt::kBlockSize;
constexpr int kRate = wt::session::kClientRate;
constexpr int kWrong = 1;
constexpr int kError = 2;
constexpr int kStarved = 3;

using Samples = std::vector<int16_t>;

struct Failure {
    int code;
    std::string message;
};

std::vector<Samples> readChannels(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw Failure{kError, "cannot read " + path};
    Samples interleaved(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_short(file, interleaved.data(), info.frames);
    sf_close(file);
    std::vector<Samples> channels(static_cast<size_t>(info.channels));
    for (int c = 0; c < info.channels; ++c)
        for (sf_count_t i = 0; i < got; ++i)
            channels[static_cast<size_t>(c)].push_back(
                interleaved[static_cast<size_t>(i * info.channels + c)]);
    return channels;
}

void writeMono(const std::string& path, const Samples& samples) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw Failure{kError, "cannot write " + path};
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// wacky-render --raw of `input`: what the plugin returns call by call, from its load.
Samples renderRaw(const std::string& render, const std::string& work, const std::string& name,
                  const Samples& input, const std::string& effect) {
    const std::string in = work + "/" + name + "-in.wav";
    const std::string out = work + "/" + name + "-out.wav";
    writeMono(in, input);
    const std::string command =
        "'" + render + "' --raw --effect '" + effect + "' '" + in + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) throw Failure{kError, "failed: " + command};
    return readChannels(out).at(0);
}

long firstNonZero(const Samples& samples) {
    const auto it = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    return it == samples.end() ? -1 : static_cast<long>(it - samples.begin());
}

int check(int argc, char** argv) {
    if (argc < 6 || argc > 7)
        throw Failure{kError, "usage: live_check RENDER VOICE RECORDING WORKDIR EFFECT [LATER]"};
    const std::string render = argv[1], work = argv[4], effect = argv[5];
    const std::string later = argc == 7 ? argv[6] : "";
    const Samples voiceFile = readChannels(argv[2]).at(0);
    const std::vector<Samples> recording = readChannels(argv[3]);
    if (recording.size() != 2) throw Failure{kError, "the recording needs two channels"};
    const Samples& fed = recording[0];
    const Samples& mic = recording[1];

    // The voice from its first sound on, and where the monitor has it.
    const long v0 = firstNonZero(voiceFile);
    const long m0 = firstNonZero(fed);
    if (v0 < 0) throw Failure{kError, "the voice is silent"};
    Samples voice(voiceFile.begin() + v0, voiceFile.end());
    // Against the input as recorded, a mismatch may be the recorder's own (a cycle it
    // missed removes the same moment from both channels, which are a block apart in the
    // voice): that run is starved, not wrong.
    int wrong = kWrong;
    if (m0 < 0) throw Failure{kStarved, "the monitor holds no voice: a starved run"};
    if (m0 + static_cast<long>(voice.size()) > static_cast<long>(fed.size()) ||
        !std::equal(voice.begin(), voice.end(), fed.begin() + m0)) {
        // The graph lost some of the voice on its way in (a cycle change does that to the
        // player): what the tool captured is the input as recorded, so the microphone is
        // judged against that.
        long end = static_cast<long>(fed.size());
        while (end > m0 && fed[static_cast<size_t>(end - 1)] == 0) --end;
        voice.assign(fed.begin() + m0, fed.begin() + end);
        std::printf("the input as recorded is not the voice file; judged against the input\n");
        wrong = kStarved;
    }

    // Every phase at once: block 2c starts the voice at position c; the silent block
    // between candidates keeps each one's output apart. Output times kBlock..2*kBlock-2 after a
    // block's start are its own samples 0..kBlock-2, one block late, whatever the plugin does
    // with its last sample; they are matched against the microphone near its first sound.
    constexpr int kMatched = kBlock - 1;
    Samples phases(static_cast<size_t>(2 * kBlock + 1) * kBlock, 0);
    for (int c = 0; c < kBlock; ++c)
        std::copy_n(voice.begin(), std::min<long>(kBlock - c, voice.size()),
                    phases.begin() + 2L * c * kBlock + c);
    const Samples phaseOut = renderRaw(render, work, "phases", phases, effect);
    const long r0 = firstNonZero(mic);
    if (r0 < 0) throw Failure{wrong, "the microphone recorded silence"};
    int phase = -1;
    long start = 0;  // recording index of output time 0 of the render at the phase found
    for (int c = 0; c < kBlock && phase < 0; ++c) {
        const auto matched = phaseOut.begin() + (2L * c + 1) * kBlock;
        for (long origin = std::max(0L, r0 - kMatched); origin <= r0 + 1 && phase < 0; ++origin)
            if (origin + kMatched <= static_cast<long>(mic.size()) &&
                std::equal(matched, matched + kMatched, mic.begin() + origin) &&
                std::any_of(matched, matched + kMatched, [](int16_t x) { return x != 0; })) {
                phase = c;
                start = origin - kBlock;
            }
    }
    if (phase < 0) throw Failure{wrong, "no block phase gives the microphone's first block"};

    Samples input(static_cast<size_t>(phase), 0);
    input.insert(input.end(), voice.begin(), voice.end());
    input.resize(input.size() + 2 * kBlock, 0);
    const Samples first = renderRaw(render, work, "first", input, effect);
    const Samples second = later.empty() ? first : renderRaw(render, work, "later", input, later);
    const long length = static_cast<long>(first.size());
    if (start < 0 || start + length > static_cast<long>(mic.size()))
        throw Failure{wrong, "the recording does not hold the whole voice as it left the plugin"};
    for (long i = 0; i < start; ++i)
        if (mic[static_cast<size_t>(i)] != 0)
            throw Failure{
                kWrong, "sound on the microphone before the voice at sample " + std::to_string(i)};
    // Sample for sample the first effect's or the later one's; the first effect's alone
    // never after the later one's alone.
    long lastFirst = -1, firstLater = -1;
    for (long t = 0; t < length; ++t) {
        const int16_t got = mic[static_cast<size_t>(start + t)];
        const bool isFirst = got == first[static_cast<size_t>(t)];
        const bool isLater = got == second[static_cast<size_t>(t)];
        if (!isFirst && !isLater)
            throw Failure{wrong, "output sample " + std::to_string(t) + " (recording sample " +
                                     std::to_string(start + t) + ") is " + std::to_string(got) +
                                     ", not what the plugin returned"};
        if (isFirst && !isLater) lastFirst = t;
        if (isLater && !isFirst && firstLater < 0) firstLater = t;
    }
    if (firstLater >= 0 && lastFirst > firstLater)
        throw Failure{wrong,
                      "the earlier effect again at output sample " + std::to_string(lastFirst)};
    if (!later.empty() && (firstLater < 0 || lastFirst < 0))
        throw Failure{wrong, "the effect change " +
                                 std::string(firstLater < 0 ? "never arrived" : "came too early")};
    // The voice's first sample entered the plugin at stream time `phase` and leaves, as
    // any sample not last in its block, one block later.
    const long delay = start + phase + kBlock - m0;
    std::printf(
        "bit-exact over %ld samples at block phase %d; end-to-end delay %ld samples "
        "(%.1f ms)\n",
        length, phase, delay, 1000.0 * delay / kRate);
    if (!later.empty())
        std::printf("the change to %s arrived at output sample %ld\n", later.c_str(), firstLater);
    return 0;
}

// The microphone still carries the voice at its end: its last sound comes no earlier
// than a block and a cycle or two before the input's last sound plus the plugin's delay.
int flowing(const std::string& recording) {
    const std::vector<Samples> channels = readChannels(recording);
    if (channels.size() != 2) throw Failure{kError, "the recording needs two channels"};
    const auto lastSound = [](const Samples& samples) {
        long last = static_cast<long>(samples.size()) - 1;
        while (last >= 0 && samples[static_cast<size_t>(last)] == 0) --last;
        return last;
    };
    const long input = lastSound(channels[0]);
    const long mic = lastSound(channels[1]);
    if (input < 0) throw Failure{kStarved, "the monitor holds no voice: a starved run"};
    if (mic < input) {
        std::printf("the microphone fell silent %ld samples before the input did\n", input - mic);
        return kWrong;
    }
    std::printf("the microphone carries the voice to its end (%ld samples after the input's)\n",
                mic - input);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::string(argv[1]) == "--pad") {
            Samples voice = readChannels(argv[2]).at(0);
            voice.resize(voice.size() + kRate, 0);
            writeMono(argv[3], voice);
            return 0;
        }
        if (argc == 3 && std::string(argv[1]) == "--flowing") return flowing(argv[2]);
        return check(argc, argv);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "live_check: %s\n", failure.message.c_str());
        return failure.code;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "live_check: %s\n", error.what());
        return kError;
    }
}
