#include "tools/desktop/engine_loop.h"

namespace wt::desktop {

namespace {

constexpr int kFallbackPeriodMs = 100;

}  // namespace

EngineLoop::EngineLoop(live::LiveEngine& engine) : engine_(engine) {
    fallback_.setInterval(kFallbackPeriodMs);
    connect(&fallback_, &QTimer::timeout, this, &EngineLoop::dispatch);
    watch();
}

void EngineLoop::dispatch() {
    engine_.dispatch();
    // A reconnection may have given the engine another loop.
    if (!notifier_ || notifier_->socket() != engine_.fd()) watch();
}

void EngineLoop::watch() {
    notifier_.reset();
    const int fd = engine_.fd();
    if (fd < 0) {
        fallback_.start();
        return;
    }
    fallback_.stop();
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &EngineLoop::dispatch);
}

}  // namespace wt::desktop
