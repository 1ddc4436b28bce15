#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "tools/live/live_engine.h"

// PipeWire's main loop inside Qt's: the engine's loop fd is watched by a socket notifier
// on Qt's event loop, and the engine's work is dispatched when it is readable, without
// waiting; neither loop blocks the other and no second thread touches the engine.
// [main thread]
namespace wt::desktop {

class EngineLoop : public QObject {
  public:
    explicit EngineLoop(live::LiveEngine& engine);

  private:
    void dispatch();
    void watch();

    live::LiveEngine& engine_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;  // only while the engine has no fd to watch
};

}  // namespace wt::desktop
