#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "tools/live/live_control.h"
#include "tools/live/live_engine.h"
#include "tools/live/live_options.h"
#include "tools/live/voice_pipe.h"
#include "tools/session/plugin_session.h"

// What the window drives: the plugin, its voice pipe, its menu control and the live
// engine, made in that order and ended in the reverse one (the engine, and with it the
// data cycle, before the pipe; the pipe before the plugin is unloaded). A plugin that
// cannot be loaded is no failure of the application: there is then no control and no
// engine, and pluginProblem() says which file and why. All members are [main thread].
namespace wt::desktop {

class AppCore : public QObject {
    Q_OBJECT

  public:
    // Loads the plugin and presses the menu items that reach the options' effect and
    // strength. `savedOptions`: the options the saved choices led to, `commandLine` the
    // command line's alone, whose effect and strength are used (and whose errors are
    // thrown as session::ToolError) when the saved ones are out of the plugin's reach.
    // With `withEngine` false (tests of the window alone) there is no engine.
    AppCore(const live::Options& savedOptions, const live::Options& commandLine, bool withEngine);
    ~AppCore() override;

    // Starts the engine, if there is one: the microphone is published as soon as the
    // server allows. A chosen input that is not there now is waited for, as one that
    // leaves later is.
    void start();

    live::LiveControl* control() { return control_.get(); }

    session::PluginSession* plugin() { return plugin_.get(); }

    live::VoicePipe* pipe() { return pipe_.get(); }

    live::LiveEngine* engine() { return engine_.get(); }

    const QString& pluginProblem() const { return pluginProblem_; }

  signals:
    void said(const QString& line);  // a line from the engine or about the choices
    void engineChanged();            // state, inputs or the captured input changed
    void stopRequested();            // SIGINT or SIGTERM

  private:
    live::Options options_;
    QString pluginProblem_;
    std::unique_ptr<session::PluginSession> plugin_;
    std::unique_ptr<live::VoicePipe> pipe_;
    std::unique_ptr<live::LiveControl> control_;
    std::unique_ptr<live::LiveEngine> engine_;
};

}  // namespace wt::desktop
