#pragma once

#include <QLocalServer>
#include <QObject>

// One window per user: the first instance listens on a socket in the user's runtime
// folder ($XDG_RUNTIME_DIR/<app id>.socket); a later launch connects to it, asks the
// running one to come forward and ends. All members are [main thread].
namespace wt::desktop {

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    SingleInstance();

    // True when another instance runs and has been asked to show its window.
    bool forwardToRunning();

    // Becomes the instance later launches reach; false (with the reason on standard
    // error) when the socket cannot be made: then every launch runs on its own.
    bool listen();

  signals:
    // A later launch asked for the window.
    void activated();

  private:
    QString path_;
    QLocalServer server_;
};

}  // namespace wt::desktop
