// The transform against an independent long-double DFT, and its exact cases.

#include "voice/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "voice/block_size.h"

namespace {

using wt::kBlockSize;

struct Signal {
    std::vector<double> re;
    std::vector<double> im;
};

Signal randomSignal(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-32768.0, 32767.0);
    Signal s{std::vector<double>(n), std::vector<double>(n)};
    for (int t = 0; t < n; ++t) {
        s.re[t] = dist(rng);
        s.im[t] = dist(rng);
    }
    return s;
}

// Textbook DFT in long double: forward scaled by 1/n, inverse unscaled.
Signal naiveDft(const Signal& in, bool forward) {
    const int n = static_cast<int>(in.re.size());
    const long double sign = forward ? -1.0L : 1.0L;
    std::vector<long double> cosine(n), sine(n);
    for (int j = 0; j < n; ++j) {
        const long double angle = sign * 2.0L * std::numbers::pi_v<long double> * j / n;
        cosine[j] = std::cos(angle);
        sine[j] = std::sin(angle);
    }
    Signal out{std::vector<double>(n), std::vector<double>(n)};
    for (int k = 0; k < n; ++k) {
        long double sr = 0, si = 0;
        for (int t = 0; t < n; ++t) {
            const long double c = cosine[(1LL * k * t) % n], s = sine[(1LL * k * t) % n];
            sr += in.re[t] * c - in.im[t] * s;
            si += in.re[t] * s + in.im[t] * c;
        }
        if (forward) {
            sr /= n;
            si /= n;
        }
        out.re[k] = static_cast<double>(sr);
        out.im[k] = static_cast<double>(si);
    }
    return out;
}

double largestMagnitude(const Signal& s) {
    double m = 0;
    for (size_t i = 0; i < s.re.size(); ++i)
        m = std::max({m, std::abs(s.re[i]), std::abs(s.im[i])});
    return m;
}

void expectClose(const Signal& got, const Signal& want, double relative) {
    const double tolerance = relative * largestMagnitude(want);
    for (size_t k = 0; k < want.re.size(); ++k) {
        ASSERT_NEAR(got.re[k], want.re[k], tolerance) << "re, bin " << k;
        ASSERT_NEAR(got.im[k], want.im[k], tolerance) << "im, bin " << k;
    }
}

TEST(Fft, MatchesLongDoubleDftInBothDirectionsForEverySize) {
    for (int m = 1; m <= 10; ++m) {
        const int n = 1 << m;
        for (int direction : {1, -1}) {
            const Signal in = randomSignal(n, 100u * m + (direction + 1));
            Signal got = in;
            EXPECT_EQ(wt::fft(static_cast<int16_t>(direction), m, got.re.data(), got.im.data()), 1);
            expectClose(got, naiveDft(in, direction == 1), 1e-12);
        }
    }
}

TEST(Fft, ForwardThenInverseGivesBackTheInput) {
    const Signal in = randomSignal(kBlockSize, 7);
    Signal z = in;
    wt::fft(1, 10, z.re.data(), z.im.data());
    wt::fft(-1, 10, z.re.data(), z.im.data());
    expectClose(z, in, 1e-12);
}

TEST(Fft, ConstantAndImpulseGiveExactZeros) {
    std::vector<double> re(kBlockSize, 1234.0), im(kBlockSize, 0.0);
    wt::fft(1, 10, re.data(), im.data());
    EXPECT_EQ(re[0], 1234.0);
    for (int k = 0; k < kBlockSize; ++k) {
        if (k > 0) {
            EXPECT_EQ(re[k], 0.0) << k;
        }
        EXPECT_EQ(im[k], 0.0) << k;
    }

    std::vector<double> impulseRe(kBlockSize, 0.0), impulseIm(kBlockSize, 0.0);
    impulseRe[0] = 1.0;
    wt::fft(1, 10, impulseRe.data(), impulseIm.data());
    for (int k = 0; k < kBlockSize; ++k) {
        EXPECT_EQ(impulseRe[k], 1.0 / kBlockSize) << k;
        EXPECT_EQ(impulseIm[k], 0.0) << k;
    }
}

TEST(Fft, InverseOfOneBinIsAnUnscaledPositiveExponential) {
    std::vector<double> re(kBlockSize, 0.0), im(kBlockSize, 0.0);
    re[1] = 1.0;
    wt::fft(-1, 10, re.data(), im.data());
    for (int t = 0; t < kBlockSize; ++t) {
        const long double angle = 2.0L * std::numbers::pi_v<long double> * t / kBlockSize;
        EXPECT_NEAR(re[t], static_cast<double>(std::cos(angle)), 1e-12) << t;
        EXPECT_NEAR(im[t], static_cast<double>(std::sin(angle)), 1e-12) << t;
    }
}

TEST(Fft, OrderZeroOrLessIsOnePointLeftUnchanged) {
    for (int m : {0, -3}) {
        for (int direction : {1, -1}) {
            double re[2] = {-3.5, 99.0}, im[2] = {0.25, 99.0};
            EXPECT_EQ(wt::fft(static_cast<int16_t>(direction), m, re, im), 1);
            EXPECT_EQ(re[0], -3.5);
            EXPECT_EQ(im[0], 0.25);
            EXPECT_EQ(re[1], 99.0) << "wrote past the one point";
        }
    }
}

TEST(Fft, EveryDirectionButOneIsTheSameInverse) {
    const Signal in = randomSignal(kBlockSize, 11);
    Signal reference = in;
    wt::fft(-1, 10, reference.re.data(), reference.im.data());
    for (int direction : {0, 2, -2, 32767, -32768}) {
        Signal z = in;
        wt::fft(static_cast<int16_t>(direction), 10, z.re.data(), z.im.data());
        EXPECT_EQ(std::memcmp(z.re.data(), reference.re.data(), kBlockSize * sizeof(double)), 0)
            << direction;
        EXPECT_EQ(std::memcmp(z.im.data(), reference.im.data(), kBlockSize * sizeof(double)), 0)
            << direction;
    }
}

}  // namespace
