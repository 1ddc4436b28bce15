#include "tools/desktop/app_core.h"

#include <cstdio>

#include "tools/session/exit_codes.h"
#include "tools/session/menu_choice.h"
#include "tools/session/platform.h"
#include "tools/session/shipped_files.h"

namespace wt::desktop {

namespace {

constexpr const char* kPluginId = "wacky-throats";

std::vector<int32_t> presses(const session::PluginSession& plugin, const live::Options& o) {
    return session::planMenuPresses(plugin.menu(), o.effect, o.strength, o.strengthText);
}

}  // namespace

AppCore::AppCore(const live::Options& savedOptions, const live::Options& commandLine,
                 bool withEngine)
    : options_(savedOptions) {
    const std::string path =
        options_.plugin.empty()
            ? session::defaultPluginPath(session::platform::executableDirectory())
            : options_.plugin;
    try {
        plugin_ = std::make_unique<session::PluginSession>(path, false, kPluginId);
    } catch (const session::ToolError& error) {
        pluginProblem_ = QString::fromStdString(error.message);
        // Also for the log: started at login, there is no window to read it in.
        std::fprintf(stderr, "%s: %s\n", WT_APP_EXECUTABLE, error.message.c_str());
        return;
    }
    std::vector<int32_t> planned;
    try {
        planned = presses(*plugin_, options_);
    } catch (const session::ToolError&) {
        // A saved effect this plugin lacks; the command line's own is the user's error.
        planned = presses(*plugin_, commandLine);
        options_.effect = commandLine.effect;
        options_.strength = commandLine.strength;
    }
    pipe_ = std::make_unique<live::VoicePipe>(*plugin_);
    control_ = std::make_unique<live::LiveControl>(*plugin_);
    control_->startWith(planned);
    if (!withEngine) return;
    live::EngineEvents events{
        .say = [this](const std::string& line) { emit said(QString::fromStdString(line)); },
        .changed = [this] { emit engineChanged(); },
        // The engine also asks to stop when it fails for good (another program publishes
        // the microphone): a window stays open and says why instead.
        .stopRequested =
            [this] {
                if (!engine_ || engine_->state() != live::EngineState::Failed) emit stopRequested();
            },
    };
    engine_ = std::make_unique<live::LiveEngine>(
        *pipe_,
        live::EngineSettings{
            .input = options_.input, .monitor = options_.monitor, .quantum = options_.quantum},
        std::move(events));
}

AppCore::~AppCore() {
    // The engine's data cycle uses the pipe, the pipe the plugin.
    engine_.reset();
    pipe_.reset();
    control_.reset();
    plugin_.reset();
}

void AppCore::start() {
    // A window waits for a device that is not plugged in yet, as for one that leaves
    // later: the engine says so, and captures nothing else meanwhile.
    if (engine_) engine_->start(false);
}

}  // namespace wt::desktop
