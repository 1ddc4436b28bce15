#include "tools/render/render.h"

#include <algorithm>
#include <vector>

namespace wt::render {

void renderStream(const ReadInput& read, const Capture& capture, const WriteOutput& write,
                  const Progress& progress, RenderSettings settings) {
    std::vector<int16_t> buffer(static_cast<size_t>(settings.frames));
    int64_t toDrop = settings.raw ? 0 : kPluginDelay;
    const auto emit = [&](std::span<int16_t> samples) {
        capture(samples);
        const size_t drop = static_cast<size_t>(std::min<int64_t>(toDrop, samples.size()));
        toDrop -= static_cast<int64_t>(drop);
        write(samples.subspan(drop));
    };

    int64_t done = 0;
    for (;;) {
        const size_t got = read(buffer);
        if (got == 0) break;
        emit(std::span(buffer).first(got));
        done += static_cast<int64_t>(got);
        progress(done);
        if (got < buffer.size()) break;
    }
    if (settings.raw) return;
    // Silence pushes the last kPluginDelay input samples out of the plugin.
    for (int64_t flushed = 0; flushed < kPluginDelay;) {
        const size_t n = static_cast<size_t>(
            std::min<int64_t>(kPluginDelay - flushed, static_cast<int64_t>(buffer.size())));
        std::fill_n(buffer.begin(), n, int16_t{0});
        emit(std::span(buffer).first(n));
        flushed += static_cast<int64_t>(n);
    }
}

}  // namespace wt::render
