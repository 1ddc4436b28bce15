#pragma once

// The rate the client captures the microphone at, in samples per second. The plugin counts
// samples only; the tools turn its delay and their calls into time with this rate, and
// wacky-live runs the plugin at it.
namespace wt::session {

inline constexpr int kClientRate = 48000;

}  // namespace wt::session
