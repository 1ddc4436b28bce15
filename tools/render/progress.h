#pragma once

#include <cstdint>
#include <cstdio>

// A one-line progress bar on a terminal, redrawn only when the shown percentage changes.
namespace wt::render {

// Inputs at least this long get a bar; shorter ones finish before a bar would be read.
inline constexpr double kProgressMinSeconds = 10.0;

class ProgressBar {
  public:
    // Draws nothing unless `enabled`; `total` is the frame count of a full run (> 0).
    ProgressBar(std::FILE* terminal, int64_t total, bool enabled);

    ~ProgressBar() { finish(); }  // a message after a failure starts on a line of its own

    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int64_t done);

    // Ends the line, if a bar was drawn; later updates draw nothing.
    void finish();

  private:
    std::FILE* terminal_;
    int64_t total_;
    bool enabled_;
    int shown_ = -1;  // percentage last drawn
};

}  // namespace wt::render
