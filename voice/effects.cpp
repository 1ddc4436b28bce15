#include "voice/effects.h"

#include "voice/block_size.h"

namespace wt {

namespace {

// i * (1 - s) + P * s, where P is an integer formula of the bin.
double blendWithInteger(double i, double s, int32_t p) {
    const double kept = i * (1.0 - s);
    const double moved = static_cast<double>(p) * s;
    return kept + moved;
}

// One case per kind. The operations run in the order written, each rounded to double:
// this sequence, not its algebra, defines the targets and so the output's bits.
double targetBeforeTruncation(EffectKind kind, int32_t bin, double s) {
    constexpr int32_t n = kBlockSize;
    const double i = bin;
    switch (kind) {
        case EffectKind::Higher:
            return i * (s + 1.0);
        case EffectKind::Lower:
            return i / (s + 1.0);
        case EffectKind::Monster:
            return blendWithInteger(i, s, ((bin / n) * bin) << 2);
        case EffectKind::SpaceVoice:
            return blendWithInteger(i, s, (((2 * bin) / n) * bin) << 2);
        case EffectKind::SpaceVoice2:
            return blendWithInteger(i, s, (((4 * bin) / n) * bin) << 3);
        case EffectKind::Robot: {
            double bend = static_cast<double>(n - bin) * 1.5;
            bend = bend / n;
            bend = i * bend;
            bend = bend + bend;
            bend = bend * s;
            return i * (1.0 - s) + bend;
        }
        case EffectKind::Alien: {
            const int32_t q = (bin * bin) / 10;
            double bend = static_cast<double>(q) / (s + 1.0);
            bend = bend * s;
            return i * (1.0 - s) + bend;
        }
        case EffectKind::None:
            break;
    }
    return i;
}

}  // namespace

int32_t effectTarget(EffectKind kind, int32_t bin, float strength) {
    // Every target stays far inside the 32-bit range (the largest is 24 * 1023).
    int32_t a = static_cast<int32_t>(targetBeforeTruncation(kind, bin, strength));
    if (a < 0) a = 0;
    if (a > kNyquistBin) a = kNyquistBin;
    return a;
}

}  // namespace wt
