#include "reference_block.h"

#include "reference_fft.h"
#include "voice/block_size.h"
#include "voice/effects.h"

namespace wt::reference {

namespace {

constexpr int32_t N = kBlockSize;  // samples of a block, bins of its spectrum

// The kinds transcribed below. A kind added to the engine needs its own transcription
// here before the fast paths can be checked against it.
constexpr int32_t kTranscribedKinds = 7;
static_assert(kTranscribedKinds == wt::kEffectKindCount);

double realIn[N];
double imagIn[N];
double realOut[N];
double imagOut[N];

double target(int32_t kind, int32_t bin, double s) {
    const double i = bin;
    int32_t p = 0;
    switch (kind) {
        case 0:
            return i * (s + 1);
        case 1:
            return i / (s + 1);
        case 2:
            p = ((bin / N) * bin) * 4;
            break;
        case 3:
            p = (((2 * bin) / N) * bin) * 4;
            break;
        case 4:
            p = (((4 * bin) / N) * bin) * 8;
            break;
        case 5: {
            double r = static_cast<double>(N - bin);
            r = r * 1.5;
            r = r / N;
            r = r * i;
            r = r + r;
            r = r * s;
            return r + i * (1 - s);
        }
        case 6: {
            const int32_t q = (bin * bin) / 10;
            double r = static_cast<double>(q);
            r = r / (s + 1.0);
            r = r * s;
            return r + i * (1 - s);
        }
    }
    const double kept = i * (1 - s);
    const double moved = static_cast<double>(p) * s;
    return kept + moved;
}

int16_t narrow(double value) {
    const int32_t whole = static_cast<int32_t>(value);
    if (whole > 32767) return 32767;
    if (whole < -32768) return -32768;
    return static_cast<int16_t>(whole);
}

}  // namespace

int32_t unclampedTarget(int32_t kind, int32_t i, double s) {
    return static_cast<int32_t>(target(kind, i, s));
}

void remap(int32_t kind, float strength, const double* realIn, const double* imagIn,
           double* realOut, double* imagOut) {
    const double s = strength;
    for (int32_t q = 0; q < N; ++q) {
        realOut[q] = 0;
        imagOut[q] = 0;
    }
    for (int32_t i = 0; i < N; ++i) {
        int32_t a = unclampedTarget(kind, i, s);
        if (a < 0) a = 0;
        if (a > N / 2) a = N / 2;
        realOut[a] = realOut[a] + realIn[i];
        imagOut[a] = imagOut[a] + imagIn[i];
        realOut[N - 1 - a] = realOut[N - 1 - a] + realIn[N - 1 - i];
        imagOut[N - 1 - a] = imagOut[N - 1 - a] + imagIn[N - 1 - i];
    }
}

void processBlock(const int16_t* in, int32_t kind, float strength, int16_t* out) {
    if (kind < 0 || kind >= kTranscribedKinds) {
        for (int32_t q = 0; q < N; ++q) out[q] = in[q];
        return;
    }
    for (int32_t q = 0; q < N; ++q) {
        realIn[q] = in[q];
        imagIn[q] = 0;
    }
    fft(1, 10, realIn, imagIn);
    remap(kind, strength, realIn, imagIn, realOut, imagOut);
    fft(-1, 10, realOut, imagOut);
    for (int32_t q = 0; q < N; ++q) out[q] = narrow(realOut[q]);
}

}  // namespace wt::reference
