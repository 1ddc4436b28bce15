#include "voice/fft.h"

#include <utility>

#include "voice/fft_kernels.h"
#include "voice/transform_kernels.h"

namespace wt {

namespace {

void bitReverse(double* x, double* y, int32_t order) {
    for (int32_t i = 0; i < (int32_t{1} << order); ++i) {
        const int32_t j = kernels::reverseBits(i, order);
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
    }
}

// Passes 0 .. to - 1 from the twiddle table, two per sweep; the last sweep writes through
// `last`.
template <class Sink>
void tablePasses(double* x, double* y, int32_t order, int32_t to, const double* u2,
                 const Sink& last) {
    const kernels::ArraySink<1> inPlace{x, y};
    int32_t p = 0;
    for (; to - p > 2; p += 2) kernels::passBlock<1, 2>(x, y, order, p, u2, inPlace);
    if (to - p == 2) kernels::passBlock<1, 2>(x, y, order, p, u2, last);
    if (to - p == 1) kernels::passBlock<1, 1>(x, y, order, p, u2, last);
}

// Orders other than kFftOrder: the same butterflies one lane wide. Passes beyond the
// twiddle table (order > kFftOrder) run the recurrence on, as the textbook loop does.
void transformAnyOrder(bool forward, int32_t order, double* x, double* y) {
    if (order <= 0) {
        if (forward) {
            x[0] = x[0] / 1.0;
            y[0] = y[0] / 1.0;
        }
        return;
    }
    const double* u2Table = forward ? twiddles.u2Forward : twiddles.u2Inverse;
    const int32_t n = int32_t{1} << order;
    const double scale = 1.0 / static_cast<double>(n);
    bitReverse(x, y, order);
    if (order <= kFftOrder) {
        if (forward) {
            tablePasses(x, y, order, order, u2Table, kernels::ScaledArraySink<1>{x, y, scale});
        } else {
            tablePasses(x, y, order, order, u2Table, kernels::ArraySink<1>{x, y});
        }
        return;
    }

    tablePasses(x, y, order, kFftOrder, u2Table, kernels::ArraySink<1>{x, y});
    TwiddleStep step;
    for (int32_t pass = 0; pass < kFftOrder; ++pass) step.halve(forward);
    using V = kernels::Lanes<1>::Real;
    for (int32_t pass = kFftOrder; pass < order; ++pass) {
        const int32_t l1 = int32_t{1} << pass;
        double u1 = 1.0;
        double u2 = 0.0;
        for (int32_t j = 0; j < l1; ++j) {
            const V u1v{u1};
            const V u2v{u2};
            for (int32_t i = j; i < n; i += 2 * l1) {
                V xa, ya, xb, yb;
                kernels::load(xa, x + i);
                kernels::load(ya, y + i);
                kernels::load(xb, x + i + l1);
                kernels::load(yb, y + i + l1);
                kernels::butterfly(xa, ya, xb, yb, u1v, u2v);
                kernels::ArraySink<1>{x, y}.put(i, xa, ya);
                kernels::ArraySink<1>{x, y}.put(i + l1, xb, yb);
            }
            step.advance(u1, u2);
        }
        step.halve(forward);
    }
    // Normalisation of the forward transform; 2^-order is exact, so this equals dividing by n.
    if (forward) {
        for (int32_t i = 0; i < n; ++i) {
            x[i] = x[i] * scale;
            y[i] = y[i] * scale;
        }
    }
}

}  // namespace

int32_t fft(int16_t direction, int32_t m, double* x, double* y) {
    const bool forward = direction == 1;
    if (m == kFftOrder) {
        transformKernels(selectedIsa()).transform(forward, x, y);
    } else {
        transformAnyOrder(forward, m, x, y);
    }
    return 1;
}

}  // namespace wt
