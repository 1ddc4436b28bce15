// wacky-live: the built plugin, loaded as the client loads it, live between an input of
// the PipeWire graph and a virtual microphone any application can record from.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/live/command_lines.h"
#include "tools/live/live_control.h"
#include "tools/live/live_engine.h"
#include "tools/live/live_options.h"
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

void listAll(const session::PluginSession& plugin, const LiveEngine& engine, std::FILE* results) {
    for (const std::string& name : session::effectNames(plugin.menu()))
        std::fprintf(results, "effect: %s\n", name.c_str());
    for (const GraphNode& node : engine.inputs())
        std::fprintf(results, "input: %s (%s, %s)\n", node.name.c_str(), node.description.c_str(),
                     node.mediaClass.c_str());
}

// Reads what standard input holds now and acts on it; false at its end.
class InputReader {
  public:
    InputReader(LiveControl& control, LiveEngine& engine, const session::PluginSession& plugin,
                bool keys)
        : control_(control), engine_(engine), keys_(keys) {
        for (const std::string& name : session::effectNames(plugin.menu()))
            commands_ += name + ", ";
        commands_ += "none, +, -, q";
    }

    bool operator()() {
        char chunk[kReadChunk];
        const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0) {
            // The end of the input changes nothing: the tool runs on, as a service would.
            if (!keys_ && lines_.finish()) act(control_.line(lines_.line()));
            return false;
        }
        for (ssize_t i = 0; i < got; ++i) {
            if (keys_) {
                if (control_.key(chunk[i]) == Command::Quit) engine_.quit();
            } else if (lines_.take(chunk[i])) {
                act(lines_.cut() ? Command::Unknown : control_.line(lines_.line()));
            }
        }
        return true;
    }

  private:
    void act(Command result) {
        if (result == Command::Quit) {
            engine_.quit();
        } else if (result == Command::Unknown) {
            std::fprintf(stderr, "%s: no such command \"%s\" (the commands: %s)\n", kToolName,
                         printable(lines_.line(), lines_.cut()).c_str(), commands_.c_str());
        } else {
            std::fprintf(stderr, "%s: %s, strength %g\n", kToolName, control_.effect().c_str(),
                         static_cast<double>(control_.strength()));
        }
    }

    LiveControl& control_;
    LiveEngine& engine_;
    bool keys_;
    CommandLines lines_;
    std::string commands_;
};

// Why there is no PipeWire to talk to at start, in one line.
std::string noServer(const LiveEngine& engine) {
    if (engine.state() == EngineState::NoPipewire)
        return "PipeWire is not installed here (libpipewire finds no configuration of its "
               "own); install it: sudo apt install pipewire pipewire-pulse wireplumber";
    return "no PipeWire server reachable (its socket is looked for in PIPEWIRE_RUNTIME_DIR or "
           "XDG_RUNTIME_DIR); start one, e.g. systemctl --user start pipewire wireplumber";
}

// The menu presses that reach the chosen effect and strength. A saved effect the plugin
// lacks is said and left out.
std::vector<int32_t> planPresses(const session::PluginSession& plugin, const Options& options) {
    try {
        return session::planMenuPresses(plugin.menu(), options.effect, options.strength,
                                        options.strengthText);
    } catch (const ToolError& error) {
        if (!options.savedEffect || error.code != ExitCode::UnknownEffect) throw;
        std::fprintf(stderr, "%s: the saved settings: %s; starting with no effect\n", kToolName,
                     error.message.c_str());
        return session::planMenuPresses(plugin.menu(), session::kNoEffect, options.strength,
                                        options.strengthText);
    }
}

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

    // Declared in this order so they end in the reverse one: the engine (and with it every
    // callback) before the pipe, the pipe before the plugin is shut down and unloaded.
    session::PluginSession plugin(pluginPath, false, kToolName);
    const std::vector<int32_t> presses = planPresses(plugin, options);
    VoicePipe pipe(plugin);
    const bool statusLine = session::platform::isTerminal(stderr);
    bool lineOpen = false;  // the status line is on the terminal, without its newline
    const auto say = [&](const std::string& line) {
        std::fprintf(stderr, "%s%s: %s\n", lineOpen ? "\n" : "", kToolName, line.c_str());
        lineOpen = false;
    };
    LiveEngine* running = nullptr;
    LiveEngine engine(pipe, {options.input, options.monitor, options.quantum},
                      {say, nullptr, [&] {
                           if (running != nullptr) running->quit();
                       }});
    running = &engine;
    if (engine.state() == EngineState::NoPipewire || engine.state() == EngineState::Connecting)
        throw ToolError{ExitCode::NoAudioServer, noServer(engine)};
    if (options.list) {
        listAll(plugin, engine, results);
        std::fflush(results);
        return 0;
    }

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
    std::fprintf(stderr, "%s: %s, strength %g\n", kToolName, control.effect().c_str(),
                 static_cast<double>(control.strength()));
    engine.start(!options.savedInput);

    const TerminalKeys keys;
    uint32_t warnedRate = static_cast<uint32_t>(kSampleRate);
    uint32_t toldQuantum = static_cast<uint32_t>(options.quantum);
    InputReader reader(control, engine, plugin, keys.active());
    engine.run(
        [&] {
            const uint32_t rate = pipe.counters().graphRate.load(std::memory_order_relaxed);
            if (rate != 0 && rate != warnedRate) {
                if (rate != static_cast<uint32_t>(kSampleRate))
                    say("warning: the graph runs at " + std::to_string(rate) + " Hz, not " +
                        std::to_string(kSampleRate) +
                        ": the microphone's samples are not what the plugin returned (allow " +
                        std::to_string(kSampleRate) +
                        " in the server's default.clock.allowed-rates)");
                else
                    say("the graph runs at " + std::to_string(rate) + " Hz again");
                warnedRate = rate;
            }
            // The server may round the cycle (to a power of two, by default) or change it
            // while running: the delay is what it runs, not what was asked.
            const uint32_t quantum = pipe.counters().graphQuantum.load(std::memory_order_relaxed);
            if (quantum != 0 && quantum != toldQuantum) {
                char line[96];
                std::snprintf(line, sizeof line,
                              "the server runs cycles of %u frames: delay %.1f ms", quantum,
                              delayMilliseconds(static_cast<int>(quantum)));
                say(line);
                toldQuantum = quantum;
            }
            if (statusLine) {
                std::string status =
                    wt::live::statusLine(control.effect(), control.strength(), pipe.counters());
                if (engine.state() != EngineState::Running)
                    status += " | " + describe(engine.state(), engine);
                std::fprintf(stderr, "\r%s\033[K", status.c_str());
                lineOpen = true;
            }
        },
        kStatusPeriodMs, std::ref(reader));
    if (lineOpen) std::fputc('\n', stderr);
    std::fprintf(stderr, "%s: stopped: %s\n", kToolName,
                 summaryLine(pipe.counters(), kSampleRate).c_str());
    if (!engine.failure().empty()) throw ToolError{ExitCode::Unexpected, engine.failure()};
    return 0;
}

}  // namespace

}  // namespace wt::live

int main(int argc, char** argv) {
    return wt::session::runTool(wt::live::kToolName, wt::live::run, argc, argv);
}
