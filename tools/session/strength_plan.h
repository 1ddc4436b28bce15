#pragma once

#include <optional>
#include <vector>

// How a user reaches a strength with the plugin's two strength items. The plugin starts
// every load at 0.25 and offers no way to read the strength back, so the presses are
// planned on the plugin's own step rule: plus or minus 0.5, rounded to a 32-bit float,
// then held within 0 to 1.
namespace wt::session {

inline constexpr float kStartStrength = 0.25f;
inline constexpr double kStrengthStep = 0.5;

enum class StrengthPress { Increase, Decrease };

// The strength one press of `which` leads to from `strength`.
float pressStrength(float strength, StrengthPress which);

// The shortest sequence of presses from kStartStrength to `target`, or nothing when no
// sequence gets there exactly. An empty sequence means the start value already is it.
std::optional<std::vector<StrengthPress>> planStrength(double target);

// Every strength some sequence reaches, ascending.
std::vector<float> reachableStrengths();

}  // namespace wt::session
