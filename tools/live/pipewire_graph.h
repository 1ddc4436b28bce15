#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/live/voice_pipe.h"

// The tool's part of the PipeWire graph, built so that nothing on the way from the
// captured samples to an application recording the microphone converts them:
//
//   input node --> capture stream ==(plugin)==> feed stream --> wacky-throats-mic --> apps
//
// The capture and the feed stream carry S16LE, 48000 Hz, one MONO channel, with
// resampling disabled, dither off (method none, noise 0) and volume 1.0 unmuted; the
// microphone is a null-audio-sink adapter of class Audio/Source/Virtual (a *stream* of
// that class never becomes ready under WirePlumber 0.4, which then links nothing else),
// fed by a link the tool makes itself. All three share one node.group, so one driver
// clocks them; the feed stream is triggered from the capture stream's cycle, so every
// captured buffer leaves in the same cycle. Runs on the main loop; only the process
// callbacks run on the data thread.
namespace wt::live {

inline constexpr const char* kMicName = "wacky-throats-mic";
inline constexpr const char* kMicDescription = "Wacky Throats microphone";

struct GraphNode {
    uint32_t id;
    std::string name;
    std::string description;
    std::string mediaClass;
};

class PipewireGraph {
  public:
    // Connects to the PipeWire server and reads its nodes. SIGINT and SIGTERM stop run()
    // from here on. Throws ToolError NoAudioServer when no server answers.
    PipewireGraph(int argc, char** argv);
    ~PipewireGraph();

    PipewireGraph(const PipewireGraph&) = delete;
    PipewireGraph& operator=(const PipewireGraph&) = delete;

    // Sources and sinks (whose monitors are sources too) as the server lists them.
    std::vector<GraphNode> inputs() const;
    bool hasNode(const std::string& name) const;

    // Builds the graph above with `input` (a node name; empty: the default source) and
    // waits until the microphone is linked. Throws ToolError InputMissing when `input`
    // is not an audio node, Unexpected when the server refuses an object. A signal while
    // it waits ends it early, with no error; run() then returns at once.
    void start(VoicePipe& pipe, const std::string& input, int quantum, bool monitor);

    // Runs the main loop until quit() or a signal. `every` runs on the main loop each
    // `periodMs`; `onInput` whenever standard input is readable (not at all if null),
    // until it returns false (the input ended).
    void run(const std::function<void()>& every, int periodMs,
             const std::function<bool()>& onInput);

    // [main thread] Ends run() after the current dispatch.
    void quit();

    // A fatal message from the server after start(), or empty.
    const std::string& failure() const;

    struct State;  // the PipeWire objects; opaque, so PipeWire's headers stay in one file

  private:
    std::unique_ptr<State> state_;
};

}  // namespace wt::live
