#include "tools/render/progress.h"

namespace wt::render {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::FILE* terminal, int64_t total, bool enabled)
    : terminal_(terminal), total_(total), enabled_(enabled && total > 0) {}

void ProgressBar::update(int64_t done) {
    if (!enabled_) return;
    if (done > total_) done = total_;
    const int percent = static_cast<int>(done * 100 / total_);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = '\0';
    std::fprintf(terminal_, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(terminal_);
}

void ProgressBar::finish() {
    if (enabled_ && shown_ >= 0) std::fprintf(terminal_, "\n");
    enabled_ = false;
}

}  // namespace wt::render
