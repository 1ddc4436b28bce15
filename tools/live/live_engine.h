#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/live/voice_pipe.h"

// The live engine both fronts share (wacky-live on a terminal, the wacky-throats window):
// the plugin between an input of the PipeWire graph and the virtual microphone, kept up
// through what a desktop does to it. The default source changing (to our own microphone
// too), the chosen input leaving and coming back, the server or the session manager
// restarting, the graph's cycle changing: the engine follows each on its own and tells
// the front in one line; the front only shows and chooses.
//
//   input node --> capture stream ==(plugin)==> feed stream --> wacky-throats-mic --> apps
//                                                         \--> monitor stream --> output
//
// Every link on that path is the engine's own, made and remade by it, so no session
// manager's policy can put our microphone, or anything fed by it, on its own input.
//
// Threads: every member function is [main thread], the thread that made the engine and
// runs its loop (run(), or dispatch() when fd() is readable). The data cycle runs on
// PipeWire's real-time thread and reaches the front only through the pipe's atomics.
namespace wt::live {

inline constexpr const char* kMicName = "wacky-throats-mic";
inline constexpr const char* kMicDescription = "Wacky Throats microphone";

// An audio node of the graph, as the server lists it.
struct GraphNode {
    uint32_t id;
    std::string name;         // node.name, what --input takes
    std::string description;  // node.description, what a person reads
    std::string mediaClass;   // Audio/Source..., or Audio/Sink... (its monitor is captured)
};

// What the engine does now, for a front to show. Exactly one at a time.
enum class EngineState {
    NoPipewire,        // PipeWire is not installed here (no client configuration): nothing to retry
    Connecting,        // no server answers yet, or it went away: retrying with a back-off
    NoSessionManager,  // connected, but no session manager lists devices or a default
    WaitingForInput,   // published; the chosen input (or any real source) is not there: silence
    Running,           // published, capturing inputNode()
    Failed,            // a fatal refusal (another instance publishes the microphone): failure()
};

struct EngineSettings {
    std::string input;  // node.name of a source or sink; empty: follow the default source
    bool monitor = false;
    int quantum = 256;  // frames per cycle asked of the graph
};

// What the engine tells its front, on the main thread.
struct EngineEvents {
    std::function<void(const std::string& line)> say;  // one line for the user, no newline
    std::function<void()> changed;        // state(), inputs() or inputNode() may have changed
    std::function<void()> stopRequested;  // SIGINT or SIGTERM arrived
};

class LiveEngine {
  public:
    // Takes SIGINT and SIGTERM (reported through stopRequested) and tries the server once
    // at once; never throws for a missing server: state() says Connecting or NoPipewire
    // and the engine keeps trying. `pipe` must outlive the engine.
    LiveEngine(VoicePipe& pipe, EngineSettings settings, EngineEvents events);
    ~LiveEngine();

    LiveEngine(const LiveEngine&) = delete;
    LiveEngine& operator=(const LiveEngine&) = delete;

    // Publishes the microphone and starts capturing as soon as the server allows, and again
    // after every reconnection. With `inputMustExist`, throws session::ToolError
    // InputMissing if settings.input names no node of a connected server right now (a typo
    // is told at start); without, or for a device that leaves later, the input is waited for.
    void start(bool inputMustExist = true);

    EngineState state() const;
    const std::string& failure() const;  // why Failed, or empty

    // Sources, and sinks whose monitors can be captured, never our microphone; in the
    // server's order. Empty while not connected.
    std::vector<GraphNode> inputs() const;
    // node.name of the node captured now, empty when none.
    std::string inputNode() const;
    // node.name of the desktop's default source as the session manager says it.
    std::string defaultSource() const;

    // The user's choices at run time: another input (empty: follow the default source)
    // and the monitor on or off. Throws nothing; a refused pairing is said and not made.
    void setInput(const std::string& input);
    void setMonitor(bool on);
    const EngineSettings& settings() const;

    // Runs the loop until quit(). `every` runs each `periodMs`; `onInput`, if set,
    // whenever standard input is readable, until it returns false (the input ended).
    void run(const std::function<void()>& every, int periodMs,
             const std::function<bool()>& onInput);
    void quit();

    // For a front with a loop of its own: fd() becomes readable when the engine has work;
    // dispatch() then does it without waiting.
    int fd() const;
    void dispatch();

    struct State;  // the PipeWire objects; opaque, so PipeWire's headers stay in the engine

  private:
    std::unique_ptr<State> state_;
};

// One line for each state, saying what the user can do now.
std::string describe(EngineState state, const LiveEngine& engine);

}  // namespace wt::live
