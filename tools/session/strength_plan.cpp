#include "tools/session/strength_plan.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace wt::session {

float pressStrength(float strength, StrengthPress which) {
    const double delta = which == StrengthPress::Increase ? kStrengthStep : -kStrengthStep;
    const float next = static_cast<float>(static_cast<double>(strength) + delta);
    return std::clamp(next, 0.0f, 1.0f);
}

namespace {

// Breadth first over the strengths the two items lead to; the first visit of each
// strength comes by a shortest sequence. The set is small and closed, so it ends.
std::vector<std::pair<float, std::vector<StrengthPress>>> explore() {
    std::vector<std::pair<float, std::vector<StrengthPress>>> seen{{kStartStrength, {}}};
    std::deque<size_t> queue{0};
    while (!queue.empty()) {
        const size_t at = queue.front();
        queue.pop_front();
        for (const StrengthPress which : {StrengthPress::Increase, StrengthPress::Decrease}) {
            const float next = pressStrength(seen[at].first, which);
            const bool known = std::any_of(seen.begin(), seen.end(),
                                           [&](const auto& entry) { return entry.first == next; });
            if (known) continue;
            std::vector<StrengthPress> presses = seen[at].second;
            presses.push_back(which);
            seen.emplace_back(next, std::move(presses));
            queue.push_back(seen.size() - 1);
        }
    }
    return seen;
}

}  // namespace

std::optional<std::vector<StrengthPress>> planStrength(double target) {
    for (auto& [strength, presses] : explore())
        if (static_cast<double>(strength) == target) return presses;
    return std::nullopt;
}

std::vector<float> reachableStrengths() {
    std::vector<float> strengths;
    for (const auto& entry : explore()) strengths.push_back(entry.first);
    std::sort(strengths.begin(), strengths.end());
    return strengths;
}

}  // namespace wt::session
