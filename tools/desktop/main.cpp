// wacky-throats: the plugin as a microphone, in a window. The live engine of wacky-live
// with a desktop front: the plugin's menu as buttons, the input, the levels.

#include <QApplication>
#include <QIcon>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/desktop/app_core.h"
#include "tools/desktop/app_help.h"
#include "tools/desktop/app_settings.h"
#include "tools/desktop/autostart.h"
#include "tools/desktop/main_window.h"
#include "tools/desktop/single_instance.h"
#include "tools/session/platform.h"
#include "tools/session/run_tool.h"

namespace wt::desktop {

namespace {

int run(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(appHelpText().c_str(), stdout);
            return 0;
        }
    // SIGINT and SIGTERM are the engine's (read from its loop, to end cleanly), which
    // works only if no thread takes them first: blocked here, before Qt starts any.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // The plugin's console lines would go to standard output: nobody reads them here.
    session::platform::setAsidePluginConsole(false);
    // Takes Qt's own options (-platform, say) out of argv.
    QApplication app(argc, argv);
    QApplication::setApplicationName(WT_APP_EXECUTABLE);
    QApplication::setApplicationDisplayName(WT_APP_NAME);
    QGuiApplication::setDesktopFileName(WT_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme(WT_APP_ID));
    // Whether closing the window ends the program is "Keep running"'s, decided by the window.
    QApplication::setQuitOnLastWindowClosed(false);

    bool background = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kBackgroundOption) == 0)
            background = true;
        else
            args.emplace_back(argv[i]);
    }
    SingleInstance instance;
    if (instance.forwardToRunning()) return 0;

    std::vector<const char*> commandLine{argv[0]};
    for (const std::string& arg : args) commandLine.push_back(arg.c_str());
    const live::Options given =
        live::parseOptions(static_cast<int>(commandLine.size()), commandLine.data());
    if (given.list || given.version) session::usageError("--list and --version are wacky-live's");
    SavedChoices saved = loadChoices();
    // Started at login there is no window whose closing could end it.
    if (background) saved.keepRunning = true;
    bool savedIgnored = false;
    const live::Options options = optionsOver(saved, args, &savedIgnored);
    if (savedIgnored)
        std::fprintf(stderr, "wacky-throats: the choices saved in %s were not usable; ignored\n",
                     qPrintable(settingsPath()));

    AppCore core(options, given, true);
    // Without an engine (no plugin) nothing is left to end cleanly: the signals end it.
    if (core.engine() == nullptr) pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
    MainWindow window(core, saved);
    instance.listen();
    QObject::connect(&instance, &SingleInstance::activated, &window, &MainWindow::bringForward);
    if (!background) window.show();
    core.start();
    return QApplication::exec();
}

}  // namespace

}  // namespace wt::desktop

int main(int argc, char** argv) {
    return wt::session::runTool(WT_APP_EXECUTABLE, wt::desktop::run, argc, argv);
}
