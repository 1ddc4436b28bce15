#include "tools/render/levels.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tools/render/sound_file.h"

namespace wt::render {

namespace {

double toDbfs(double magnitude) {
    return magnitude > 0.0 ? 20.0 * std::log10(magnitude / kFullScale)
                           : -std::numeric_limits<double>::infinity();
}

}  // namespace

void LevelMeter::add(std::span<const int16_t> samples) {
    for (const int16_t sample : samples) {
        const int32_t value = sample;
        sumOfSquares_ += static_cast<double>(value * value);
        const int32_t magnitude = std::abs(value);
        if (magnitude > peak_) peak_ = magnitude;
        if (value == INT16_MAX || value == INT16_MIN) ++atFullScale_;
    }
    count_ += samples.size();
}

double LevelMeter::rmsDbfs() const {
    return count_ == 0 ? toDbfs(0.0) : toDbfs(std::sqrt(sumOfSquares_ / count_));
}

double LevelMeter::peakDbfs() const {
    return toDbfs(peak_);
}

double LevelMeter::fullScaleShare() const {
    return count_ == 0 ? 0.0 : static_cast<double>(atFullScale_) / count_;
}

}  // namespace wt::render
