#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Level statistics of 16-bit audio. dBFS is relative to the largest sample magnitude,
// 32768: a full-scale square wave is 0 dBFS RMS, a full-scale sine -3.01 dBFS.
namespace wt::render {

class LevelMeter {
  public:
    void add(std::span<const int16_t> samples);

    size_t samples() const { return count_; }

    double rmsDbfs() const;   // -infinity for silence or no samples
    double peakDbfs() const;  // -infinity for silence or no samples
    // Share of samples at either end of the 16-bit range (32767 or -32768), 0..1.
    double fullScaleShare() const;

  private:
    size_t count_ = 0;
    double sumOfSquares_ = 0.0;  // exact up to 2^53 / 2^30 samples: hours of audio
    int32_t peak_ = 0;           // largest magnitude, 0..32768
    size_t atFullScale_ = 0;
};

}  // namespace wt::render
