#include "reference_fft.h"

#include <cmath>

namespace wt::reference {

int32_t fft(int16_t direction, int32_t m, double* x, double* y) {
    int32_t n = 1;
    for (int32_t l = 0; l < m; ++l) n = n * 2;

    const int32_t i2 = n >> 1;
    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (i < j) {
            const double tx = x[i];
            const double ty = y[i];
            x[i] = x[j];
            y[i] = y[j];
            x[j] = tx;
            y[j] = ty;
        }
        int32_t k = i2;
        while (k <= j) {
            j = j - k;
            k = k >> 1;
        }
        j = j + k;
    }

    double c1 = -1.0;
    double c2 = 0.0;
    int32_t l2 = 1;
    for (int32_t l = 0; l < m; ++l) {
        const int32_t l1 = l2;
        l2 = 2 * l2;
        double u1 = 1.0;
        double u2 = 0.0;
        for (j = 0; j < l1; ++j) {
            for (int32_t i = j; i < n; i += l2) {
                const int32_t i1 = i + l1;
                const double t1 = u1 * x[i1] - u2 * y[i1];
                const double t2 = u1 * y[i1] + u2 * x[i1];
                x[i1] = x[i] - t1;
                y[i1] = y[i] - t2;
                x[i] = x[i] + t1;
                y[i] = y[i] + t2;
            }
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (direction == 1) c2 = -c2;
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }

    if (direction == 1) {
        for (int32_t i = 0; i < n; ++i) {
            x[i] = x[i] / n;
            y[i] = y[i] / n;
        }
    }
    return 1;
}

}  // namespace wt::reference
