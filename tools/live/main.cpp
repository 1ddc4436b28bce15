// wacky-live: the built plugin, loaded as the client loads it, live between an input of
// the PipeWire graph and a virtual microphone any application can record from.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/live/live_control.h"
#include "tools/live/live_options.h"
#include "tools/live/pipewire_graph.h"
#include "tools/live/status_line.h"
#include "tools/live/terminal_keys.h"
#include "tools/live/voice_pipe.h"
#include "tools/session/exit_codes.h"
#include "tools/session/menu_choice.h"
#include "tools/session/platform.h"
#include "tools/session/plugin_identity.h"
#include "tools/session/plugin_session.h"
#include "tools/session/run_tool.h"
#include "tools/session/shipped_files.h"
#include "voice/block_size.h"

namespace wt::live {

namespace {

using session::ExitCode;
using session::ToolError;

constexpr const char* kToolName = "wacky-live";
constexpr int kStatusPeriodMs = 250;
constexpr size_t kReadChunk = 256;

void listAll(const session::PluginSession& plugin, const PipewireGraph& graph, std::FILE* results) {
    for (const std::string& name : session::effectNames(plugin.menu()))
        std::fprintf(results, "effect: %s\n", name.c_str());
    for (const GraphNode& node : graph.inputs())
        std::fprintf(results, "input: %s (%s, %s)\n", node.name.c_str(), node.description.c_str(),
                     node.mediaClass.c_str());
}

// Reads what standard input holds now and acts on it; false at its end.
class InputReader {
  public:
    InputReader(LiveControl& control, PipewireGraph& graph, bool keys)
        : control_(control), graph_(graph), keys_(keys) {}

    bool operator()() {
        char chunk[kReadChunk];
        const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            // The end of the input changes nothing: the tool runs on, as a service would.
            if (!pending_.empty()) act(control_.line(pending_), pending_);
            pending_.clear();
            return false;
        }
        for (ssize_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            if (keys_) {
                act(control_.key(c), std::string(1, c));
            } else if (c == '\n') {
                act(control_.line(pending_), pending_);
                pending_.clear();
            } else {
                pending_ += c;
            }
        }
        return true;
    }

  private:
    void act(Command result, const std::string& what) {
        if (result == Command::Quit) {
            graph_.quit();
        } else if (result == Command::Unknown) {
            if (!keys_)
                std::fprintf(stderr, "%s: no such command \"%s\" (a menu text, none, +, -, q)\n",
                             kToolName, what.c_str());
        } else if (!keys_) {
            std::fprintf(stderr, "%s: %s, strength %g\n", kToolName, control_.effect().c_str(),
                         static_cast<double>(control_.strength()));
        }
    }

    LiveControl& control_;
    PipewireGraph& graph_;
    bool keys_;
    std::string pending_;
};

int run(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (options.help) {
        std::fputs(helpText().c_str(), stdout);
        return 0;
    }
    std::FILE* results = session::platform::setAsidePluginConsole(false);
    const std::string here = session::platform::executableDirectory();
    const std::string pluginPath =
        options.plugin.empty() ? session::defaultPluginPath(here) : options.plugin;
    if (options.version) {
        session::printIdentity(pluginPath, results);
        return 0;
    }

    // Declared in this order so they end in the reverse one: the graph (and with it every
    // callback) before the pipe, the pipe before the plugin is shut down and unloaded.
    session::PluginSession plugin(pluginPath, false, kToolName);
    const std::vector<int32_t> presses = session::planMenuPresses(
        plugin.menu(), options.effect, options.strength, options.strengthText);
    VoicePipe pipe(plugin);
    PipewireGraph graph(argc, argv);
    if (options.list) {
        listAll(plugin, graph, results);
        std::fflush(results);
        return 0;
    }
    if (graph.hasNode(kMicName))
        throw ToolError{ExitCode::Unexpected,
                        std::string("a node named ") + kMicName +
                            " exists already: is another wacky-live running?"};

    LiveControl control(plugin);
    control.startWith(presses);
    std::fprintf(stderr,
                 "%s: the plugin runs at %d Hz, mono, 16-bit, as in the client; PipeWire "
                 "converts other rates and formats at the devices, never on the way to %s\n",
                 kToolName, kSampleRate, kMicName);
    std::fprintf(stderr, "%s: delay %.1f ms (the plugin's %d samples and one cycle of %d)\n",
                 kToolName, delayMilliseconds(options.quantum), kBlockSize, options.quantum);
    if (options.monitor)
        std::fprintf(stderr, "%s: --monitor plays your changed voice back: wear headphones\n",
                     kToolName);
    graph.start(pipe, options.input, options.quantum, options.monitor);
    std::fprintf(stderr, "%s: ready: \"%s\" (%s) from %s, %s, strength %g\n", kToolName,
                 kMicDescription, kMicName,
                 options.input.empty() ? "the default source" : options.input.c_str(),
                 control.effect().c_str(), static_cast<double>(control.strength()));

    const TerminalKeys keys;
    const bool statusLine = session::platform::isTerminal(stderr);
    bool rateWarned = false;
    uint32_t toldQuantum = static_cast<uint32_t>(options.quantum);
    InputReader reader(control, graph, keys.active());
    graph.run(
        [&] {
            const uint32_t rate = pipe.counters().graphRate.load(std::memory_order_relaxed);
            if (rate != 0 && rate != static_cast<uint32_t>(kSampleRate) && !rateWarned) {
                std::fprintf(stderr,
                             "\n%s: warning: the graph runs at %u Hz, not %d: the microphone's "
                             "samples are not what the plugin returned (allow %d in the "
                             "server's default.clock.allowed-rates)\n",
                             kToolName, rate, kSampleRate, kSampleRate);
                rateWarned = true;
            }
            // The server may round the cycle (to a power of two, by default): the delay is
            // what it runs, not what was asked.
            const uint32_t quantum = pipe.counters().graphQuantum.load(std::memory_order_relaxed);
            if (quantum != 0 && quantum != toldQuantum) {
                std::fprintf(stderr, "%s%s: the server runs cycles of %u frames: delay %.1f ms\n",
                             statusLine ? "\n" : "", kToolName, quantum,
                             delayMilliseconds(static_cast<int>(quantum)));
                toldQuantum = quantum;
            }
            if (statusLine)
                std::fprintf(
                    stderr, "\r%s\033[K",
                    wt::live::statusLine(control.effect(), control.strength(), pipe.counters())
                        .c_str());
        },
        kStatusPeriodMs, std::ref(reader));
    if (statusLine) std::fputc('\n', stderr);
    std::fprintf(stderr, "%s: stopped: %s\n", kToolName,
                 summaryLine(pipe.counters(), kSampleRate).c_str());
    if (!graph.failure().empty()) throw ToolError{ExitCode::Unexpected, graph.failure()};
    return 0;
}

}  // namespace

}  // namespace wt::live

int main(int argc, char** argv) {
    return wt::session::runTool(wt::live::kToolName, wt::live::run, argc, argv);
}
