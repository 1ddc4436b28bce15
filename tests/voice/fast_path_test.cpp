// The fast transform and block step against their step-by-step references, bit for bit,
// on every instruction set this CPU supports.

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "reference_block.h"
#include "reference_fft.h"
#include "voice/bin_remap.h"
#include "voice/block_processor.h"
#include "voice/fft.h"
#include "voice/transform_kernels.h"
#include "voice/twiddles.h"
#include "voice_fixture.h"

namespace {

using wt::Isa;

std::vector<Isa> supportedIsas() {
    std::vector<Isa> isas;
    for (int32_t i = 0; i < wt::kIsaCount; ++i)
        if (wt::isaSupported(static_cast<Isa>(i))) isas.push_back(static_cast<Isa>(i));
    return isas;
}

// Restores the automatic choice after a test that forced one.
class IsaTest : public VoiceTest {
  protected:
    void TearDown() override {
        wt::forceIsa(bestIsa());
        VoiceTest::TearDown();
    }

    static Isa bestIsa() { return supportedIsas().back(); }
};

// Run on a CPU with SSE2 and nothing newer (cmake/wine-run.sh x86-without-avx), the choice
// must fall back to the baseline; the rest of the program then checks it gives the same
// samples as every other build.
TEST(KernelChoice, ACpuWithoutAvxGetsTheBaseline) {
    // Elsewhere nothing to check. Not GTEST_SKIP: in the 32-bit build under QEMU the
    // skip's path kills the process.
    if (std::getenv("WT_EXPECT_NO_AVX") == nullptr) return;
    EXPECT_FALSE(wt::isaSupported(Isa::Avx2));
    EXPECT_FALSE(wt::isaSupported(Isa::Avx512));
    EXPECT_EQ(wt::selectedIsa(), Isa::Baseline);
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

struct Signal {
    std::vector<double> x;
    std::vector<double> y;
};

// Inputs meant to break an optimisation that is not exact: signed zeros everywhere,
// subnormals (also as results of the scaling), full-scale and huge values, infinities,
// sparse vectors, and raw bit patterns over the whole exponent range (NaN excluded).
std::vector<Signal> adversarialSignals(int32_t n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::vector<Signal> out;
    auto make = [&](const std::function<double(int32_t, bool)>& value) {
        Signal s{std::vector<double>(n), std::vector<double>(n)};
        for (int32_t t = 0; t < n; ++t) {
            s.x[t] = value(t, false);
            s.y[t] = value(t, true);
        }
        out.push_back(std::move(s));
    };
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    auto coin = [&] { return (rng() & 1) != 0; };
    const double minNormal = std::numeric_limits<double>::min();
    const double denormMin = std::numeric_limits<double>::denorm_min();

    make([&](int32_t, bool) { return coin() ? 0.0 : -0.0; });
    make([&](int32_t t, bool im) { return im ? -0.0 : (t == 0 ? -0.0 : 0.0); });
    make([&](int32_t t, bool im) { return im ? 0.0 : (t % 7 == 0 ? -1.0 : -0.0); });
    make([&](int32_t, bool) {
        return (coin() ? 1 : -1) * denormMin * static_cast<double>(rng() % 64);
    });
    make([&](int32_t, bool) { return uniform(-1.0, 1.0) * minNormal * 4; });
    make([&](int32_t, bool im) { return im ? 0.0 : (coin() ? -32768.0 : 32767.0); });
    make([&](int32_t, bool im) {
        return im ? 0.0 : static_cast<double>(static_cast<int16_t>(rng()));
    });
    make([&](int32_t, bool) { return uniform(-1.0, 1.0) * DBL_MAX; });
    make([&](int32_t t, bool im) {
        return t % 97 == 3 ? (im ? -HUGE_VAL : HUGE_VAL) : uniform(-1.0, 1.0);
    });
    make([&](int32_t t, bool) {
        return t % 61 == 0 ? uniform(-1e300, 1e300) : (coin() ? 0.0 : -0.0);
    });
    for (int k = 0; k < 3; ++k) {
        make([&](int32_t, bool) {
            double v;
            do {
                v = std::bit_cast<double>(rng());
            } while (std::isnan(v));
            return v;
        });
    }
    return out;
}

Signal randomSignal(int32_t n, std::mt19937_64& rng) {
    const double scale = std::ldexp(1.0, static_cast<int>(rng() % 40) - 20);
    std::uniform_real_distribution<double> dist(-scale, scale);
    Signal s{std::vector<double>(n), std::vector<double>(n)};
    for (int32_t t = 0; t < n; ++t) {
        s.x[t] = dist(rng);
        s.y[t] = dist(rng);
    }
    return s;
}

// Runs both transforms on copies of `in` and reports the first difference in bits.
::testing::AssertionResult sameAsReference(const Signal& in, int16_t direction, int32_t m,
                                           const std::function<void(double*, double*)>& fast) {
    Signal want = in;
    Signal got = in;
    wt::reference::fft(direction, m, want.x.data(), want.y.data());
    fast(got.x.data(), got.y.data());
    const int32_t n = m <= 0 ? 1 : int32_t{1} << m;
    for (int32_t k = 0; k < n; ++k) {
        if (std::bit_cast<uint64_t>(got.x[k]) != std::bit_cast<uint64_t>(want.x[k]) ||
            std::bit_cast<uint64_t>(got.y[k]) != std::bit_cast<uint64_t>(want.y[k])) {
            return ::testing::AssertionFailure()
                   << "bin " << k << ": got (" << got.x[k] << ", " << got.y[k] << "), want ("
                   << want.x[k] << ", " << want.y[k] << ")";
        }
    }
    if (!sameBits(got.x, want.x) || !sameBits(got.y, want.y))
        return ::testing::AssertionFailure() << "wrote beyond 2^m points";
    return ::testing::AssertionSuccess();
}

TEST(Twiddles, TableHoldsExactlyWhatTheRecurrenceGivesAtRunTime) {
    for (const bool forward : {true, false}) {
        const double* u2Table = forward ? wt::twiddles.u2Forward : wt::twiddles.u2Inverse;
        double c1 = -1.0;
        double c2 = 0.0;
        for (int32_t pass = 0; pass < wt::kFftOrder; ++pass) {
            const int32_t l1 = int32_t{1} << pass;
            double u1 = 1.0;
            double u2 = 0.0;
            for (int32_t j = 0; j < l1; ++j) {
                ASSERT_EQ(std::bit_cast<uint64_t>(wt::twiddles.u1[l1 + j]),
                          std::bit_cast<uint64_t>(u1))
                    << "pass " << pass << " j " << j;
                ASSERT_EQ(std::bit_cast<uint64_t>(u2Table[l1 + j]), std::bit_cast<uint64_t>(u2))
                    << "pass " << pass << " j " << j << (forward ? " forward" : " inverse");
                const double z = u1 * c1 - u2 * c2;
                u2 = u1 * c2 + u2 * c1;
                u1 = z;
            }
            c2 = std::sqrt((1.0 - c1) / 2.0);
            if (forward) c2 = -c2;
            c1 = std::sqrt((1.0 + c1) / 2.0);
        }
    }
}

TEST(Twiddles, CompileTimeSquareRootIsTheCorrectlyRoundedOne) {
    std::mt19937_64 rng(5);
    std::vector<double> values = {1.0, 0.5, 0.25, 2.0, 0.75, 1.0 - DBL_EPSILON / 2, DBL_MIN};
    for (int k = 0; k < 100000; ++k) {
        // Positive normal doubles of every exponent.
        const uint64_t exponent = 1 + rng() % 2046;
        values.push_back(std::bit_cast<double>((exponent << 52) | (rng() >> 12)));
    }
    for (const double v : values)
        ASSERT_EQ(std::bit_cast<uint64_t>(wt::twiddle_detail::squareRoot(v)),
                  std::bit_cast<uint64_t>(std::sqrt(v)))
            << v;
}

class FastTransform : public IsaTest {};

TEST_F(FastTransform, EveryInstructionSetMatchesTheReferenceBitForBit) {
    constexpr int32_t n = wt::kBlockSize;
    std::mt19937_64 rng(2024);
    std::vector<Signal> inputs = adversarialSignals(n, 17);
    for (int k = 0; k < 1500; ++k) inputs.push_back(randomSignal(n, rng));
    for (const Isa isa : supportedIsas()) {
        const wt::TransformKernels& kernels = wt::transformKernels(isa);
        for (const bool forward : {true, false}) {
            for (size_t k = 0; k < inputs.size(); ++k) {
                ASSERT_TRUE(sameAsReference(
                    inputs[k], forward ? 1 : -1, wt::kFftOrder,
                    [&](double* x, double* y) { kernels.transform(forward, x, y); }))
                    << wt::isaName(isa) << (forward ? " forward" : " inverse") << ", input " << k;
            }
        }
    }
}

TEST_F(FastTransform, EveryOrderAndDirectionValueMatchesTheReference) {
    std::mt19937_64 rng(99);
    for (const Isa isa : supportedIsas()) {
        wt::forceIsa(isa);
        for (int32_t m = -2; m <= 12; ++m) {
            const int32_t n = m <= 0 ? 1 : int32_t{1} << m;
            std::vector<Signal> inputs = adversarialSignals(n, 300 + m);
            for (int k = 0; k < 8; ++k) inputs.push_back(randomSignal(n, rng));
            for (const int16_t direction : {1, -1, 0, 2, -2, 32767, -32768}) {
                for (size_t k = 0; k < inputs.size(); ++k) {
                    int32_t result = 0;
                    ASSERT_TRUE(sameAsReference(
                        inputs[k], direction, m,
                        [&](double* x, double* y) { result = wt::fft(direction, m, x, y); }))
                        << wt::isaName(isa) << " m=" << m << " direction " << direction
                        << ", input " << k;
                    ASSERT_EQ(result, 1);
                }
            }
        }
    }
}

TEST_F(FastTransform, RingColumnTransformsMatchTheReferenceBitForBit) {
    // The block step's own entry points: the forward transform straight from a ring column
    // (real samples), and the inverse straight into one. Compared before any truncation
    // hides a difference, signed zeros included.
    std::mt19937 rng(31);
    std::vector<std::vector<int16_t>> blocks;
    blocks.push_back(std::vector<int16_t>(kBlockSize, 0));
    blocks.push_back(std::vector<int16_t>(kBlockSize, -32768));
    std::vector<int16_t> sparse(kBlockSize, 0);
    sparse[0] = -1;
    sparse[513] = 32767;
    blocks.push_back(sparse);
    for (int k = 0; k < 40; ++k) {
        std::vector<int16_t> b(kBlockSize);
        const int zeros = k % 4;  // some blocks mostly zero, so that zero sums abound
        for (auto& v : b)
            v = static_cast<int16_t>(rng() % 4 < static_cast<unsigned>(zeros) ? 0 : rng());
        blocks.push_back(b);
    }
    constexpr int32_t channel = 61;
    for (const Isa isa : supportedIsas()) {
        const wt::TransformKernels& kernels = wt::transformKernels(isa);
        for (size_t k = 0; k < blocks.size(); ++k) {
            Signal want{std::vector<double>(kBlockSize), std::vector<double>(kBlockSize, 0.0)};
            for (int32_t q = 0; q < kBlockSize; ++q) {
                wt::captureRing.input[q][channel] = blocks[k][q];
                want.x[q] = blocks[k][q];
            }
            wt::reference::fft(1, 10, want.x.data(), want.y.data());
            Signal got{std::vector<double>(kBlockSize), std::vector<double>(kBlockSize)};
            kernels.forwardFromColumn(wt::captureRing.input, channel, got.x.data(), got.y.data());
            ASSERT_TRUE(sameBits(got.x, want.x) && sameBits(got.y, want.y))
                << wt::isaName(isa) << " forward, block " << k;

            // Back again, unscaled: the real parts as truncated, saturated samples.
            Signal back = want;
            wt::reference::fft(-1, 10, back.x.data(), back.y.data());
            kernels.inverseToColumn(want.x.data(), want.y.data(), got.x.data(), got.y.data(),
                                    wt::captureRing.output, channel);
            for (int32_t q = 0; q < kBlockSize; ++q)
                ASSERT_EQ(wt::captureRing.output[q][channel], wt::toSample(back.x[q]))
                    << wt::isaName(isa) << " inverse, block " << k << " position " << q;
        }
    }
}

TEST(BinRemap, PlansReproduceTheSourceOrderSumsBitForBit) {
    // Spectra with signed zeros, values that cancel and wide magnitude ranges, so that a
    // sum taken in another order, or from another start, shows in the bits.
    std::mt19937_64 rng(12);
    std::vector<Signal> spectra = adversarialSignals(kBlockSize, 41);
    for (int k = 0; k < 6; ++k) spectra.push_back(randomSignal(kBlockSize, rng));
    Signal cancelling{std::vector<double>(kBlockSize), std::vector<double>(kBlockSize)};
    for (int32_t t = 0; t < kBlockSize; ++t) {
        cancelling.x[t] = (t % 2 == 0 ? 1e16 : -1e16) + t;
        cancelling.y[t] = t % 3 == 0 ? -0.0 : 1.0 / (t + 1);
    }
    spectra.push_back(cancelling);

    const float strengths[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, -0.0f, 0.1f, 0.6f, 0.999f, 1e-30f};
    static wt::RemapPlan plan;
    for (int32_t kind = 0; kind < wt::kEffectKindCount; ++kind) {
        for (const float strength : strengths) {
            wt::makeRemapPlan({static_cast<wt::EffectKind>(kind), strength}, plan);
            for (size_t k = 0; k < spectra.size(); ++k) {
                Signal want{std::vector<double>(kBlockSize), std::vector<double>(kBlockSize)};
                Signal got{std::vector<double>(kBlockSize), std::vector<double>(kBlockSize)};
                wt::reference::remap(kind, strength, spectra[k].x.data(), spectra[k].y.data(),
                                     want.x.data(), want.y.data());
                wt::remapBins(plan, spectra[k].x.data(), spectra[k].y.data(), got.x.data(),
                              got.y.data());
                ASSERT_TRUE(sameBits(got.x, want.x) && sameBits(got.y, want.y))
                    << "kind " << kind << " strength " << strength << ", spectrum " << k;
            }
        }
    }
}

class FastBlockStep : public IsaTest {
  protected:
    void SetUp() override {
        IsaTest::SetUp();
        std::mt19937 rng(8);
        for (auto& row : wt::captureRing.output)
            for (auto& s : row) s = static_cast<int16_t>(rng());
    }

    // Runs the block step on column `channel` and compares the whole output ring with
    // what the reference step gives for that column (every other column unchanged).
    static ::testing::AssertionResult matchesReference(const Block& in, int32_t kind,
                                                       float strength, int32_t channel) {
        static int16_t before[kBlockSize][wt::kRingChannels];
        for (int32_t q = 0; q < kBlockSize; ++q) wt::captureRing.input[q][channel] = in[q];
        std::memcpy(before, wt::captureRing.output, sizeof before);

        Block want{};
        wt::reference::processBlock(in.data(), kind, strength, want.data());
        for (int32_t q = 0; q < kBlockSize; ++q) before[q][channel] = want[q];

        wt::storeEffectKind(static_cast<wt::EffectKind>(kind));
        wt::storeEffectStrength(strength);
        wt::processBlock(wt::captureRing.input, wt::captureRing.output, channel);
        for (int32_t q = 0; q < kBlockSize; ++q) {
            for (int32_t c = 0; c < wt::kRingChannels; ++c) {
                if (wt::captureRing.output[q][c] != before[q][c]) {
                    return ::testing::AssertionFailure()
                           << "position " << q << " column " << c << ": got "
                           << wt::captureRing.output[q][c] << ", want " << before[q][c];
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    static std::vector<Block> blocks(unsigned seed) {
        std::mt19937 rng(seed);
        std::vector<Block> out;
        auto make = [&](const std::function<int16_t(int32_t)>& sample) {
            Block b;
            for (int32_t q = 0; q < kBlockSize; ++q) b[q] = sample(q);
            out.push_back(b);
        };
        make([](int32_t) { return int16_t{0}; });
        make([](int32_t) { return int16_t{-32768}; });
        make([](int32_t) { return int16_t{32767}; });
        make([](int32_t q) { return static_cast<int16_t>(q % 2 == 0 ? -32768 : 32767); });
        make([](int32_t q) { return static_cast<int16_t>(q == 0 ? -32768 : 0); });
        make([](int32_t q) {
            return static_cast<int16_t>(
                std::lround(12000 * std::cos(2 * std::numbers::pi * 40 * q / kBlockSize)));
        });
        for (int k = 0; k < 4; ++k) make([&](int32_t) { return static_cast<int16_t>(rng()); });
        make([&](int32_t) { return static_cast<int16_t>(static_cast<int32_t>(rng() % 7) - 3); });
        return out;
    }
};

TEST_F(FastBlockStep, EveryKindAndStrengthMatchesTheReferenceOnEveryInstructionSet) {
    // The five menu strengths, and odd values that only a caller other than the menu could set.
    const float strengths[] = {0.0f, 0.25f,  0.5f,        0.75f, 1.0f,   -0.0f,      0.1f,
                               0.3f, 0.625f, 0.99999994f, 1e-7f, 1e-45f, 0.33333334f};
    const int32_t channels[] = {0, 57, 99};
    for (const Isa isa : supportedIsas()) {
        wt::forceIsa(isa);
        int32_t round = 0;
        for (int32_t kind = -1; kind < wt::kEffectKindCount; ++kind) {
            for (const float strength : strengths) {
                for (const Block& in : blocks(static_cast<unsigned>(kind * 100 + round))) {
                    const int32_t channel = channels[round++ % 3];
                    ASSERT_TRUE(matchesReference(in, kind, strength, channel))
                        << wt::isaName(isa) << " kind " << kind << " strength " << strength;
                }
            }
        }
    }
}

TEST_F(FastBlockStep, KindsOutsideTheMenuCopyTheBlock) {
    const Block in = blocks(3).back();
    for (const int32_t kind : {wt::kEffectKindCount, -2, 1000, INT32_MIN, INT32_MAX})
        EXPECT_TRUE(matchesReference(in, kind, 0.5f, 12)) << kind;
}

TEST_F(FastBlockStep, SettingsChangesBetweenBlocksTakeEffect) {
    // The plan of one setting must never serve another, including ones that differ only
    // in the strength's sign of zero or in its last bit.
    const Block in = blocks(8)[7];
    for (int k = 0; k < 3; ++k) {
        for (const auto& [kind, strength] : std::vector<std::pair<int32_t, float>>{{0, 0.25f},
                                                                                   {0, 0.5f},
                                                                                   {1, 0.5f},
                                                                                   {1, 0.50000006f},
                                                                                   {5, 0.0f},
                                                                                   {5, -0.0f},
                                                                                   {6, 1.0f},
                                                                                   {-1, 1.0f},
                                                                                   {6, 1.0f}}) {
            ASSERT_TRUE(matchesReference(in, kind, strength, 5)) << kind << " " << strength;
        }
    }
}

TEST(ReferenceBlockStep, AgreesWithTheClosedFormsOfTheWorkedCases) {
    // Guards the oracle itself: a constant block of 1000 under "Lower" at full strength
    // gives exactly 2000, 0, 2000, 0, ...; under "Higher" at 0.25, 2000, 0, 1999, 0, ....
    Block in;
    in.fill(1000);
    Block out{};
    wt::reference::processBlock(in.data(), 1, 1.0f, out.data());
    for (int32_t q = 0; q < kBlockSize; ++q) ASSERT_EQ(out[q], q % 2 == 0 ? 2000 : 0) << q;
    wt::reference::processBlock(in.data(), 0, 0.25f, out.data());
    EXPECT_EQ(out[0], 2000);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 1999);
    EXPECT_EQ(wt::reference::unclampedTarget(5, 100, 1.0), 270);
    EXPECT_EQ(wt::reference::unclampedTarget(6, 100, 0.25), 275);
}

}  // namespace
