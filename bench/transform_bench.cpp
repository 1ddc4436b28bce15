// The transform: the step-by-step reference, the fast kernels per instruction set, and
// FFTW's complex and real transforms of the same size, planned with FFTW_MEASURE.
//
// Every iteration starts from the same input (a copy, timed on every side alike), so no
// case drifts into overflow, subnormals or NaN from being run on its own output.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstring>
#include <random>
#include <string>

#include "benchmarks.h"
#include "reference_fft.h"
#include "voice/block_size.h"
#include "voice/transform_kernels.h"

namespace wt::bench {

namespace {

constexpr int32_t n = kBlockSize;

struct Input {
    double x[n];
    double y[n];
};

const Input& input() {
    static const Input in = [] {
        Input v{};
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> dist(-32768.0, 32767.0);
        for (int32_t t = 0; t < n; ++t) {
            v.x[t] = dist(rng);
            v.y[t] = dist(rng);
        }
        return v;
    }();
    return in;
}

alignas(64) double workX[n];
alignas(64) double workY[n];

void loadComplex() {
    std::memcpy(workX, input().x, sizeof workX);
    std::memcpy(workY, input().y, sizeof workY);
}

// A real block, as the block step transforms it.
void loadReal() {
    std::memcpy(workX, input().x, sizeof workX);
    std::memset(workY, 0, sizeof workY);
}

void forwardFast(benchmark::State& state, Isa isa) {
    const TransformKernels& kernels = transformKernels(isa);
    for (auto _ : state) {
        loadComplex();
        kernels.transform(true, workX, workY);
        benchmark::DoNotOptimize(workX);
        benchmark::ClobberMemory();
    }
}

void forwardLiteral(benchmark::State& state) {
    for (auto _ : state) {
        loadComplex();
        reference::fft(1, kFftOrder, workX, workY);
        benchmark::DoNotOptimize(workX);
        benchmark::ClobberMemory();
    }
}

void pairFast(benchmark::State& state, Isa isa) {
    const TransformKernels& kernels = transformKernels(isa);
    for (auto _ : state) {
        loadReal();
        kernels.transform(true, workX, workY);
        kernels.transform(false, workX, workY);
        benchmark::DoNotOptimize(workX);
        benchmark::ClobberMemory();
    }
}

void pairLiteral(benchmark::State& state) {
    for (auto _ : state) {
        loadReal();
        reference::fft(1, kFftOrder, workX, workY);
        reference::fft(-1, kFftOrder, workX, workY);
        benchmark::DoNotOptimize(workX);
        benchmark::ClobberMemory();
    }
}

// In place, interleaved complex doubles: FFTW's fastest layout for this transform.
void fftwComplex(benchmark::State& state) {
    fftw_complex* z = fftw_alloc_complex(n);
    fftw_complex* interleaved = fftw_alloc_complex(n);
    const fftw_plan plan = fftw_plan_dft_1d(n, z, z, FFTW_FORWARD, FFTW_MEASURE);
    for (int32_t t = 0; t < n; ++t) {
        interleaved[t][0] = input().x[t];
        interleaved[t][1] = input().y[t];
    }
    for (auto _ : state) {
        std::memcpy(z, interleaved, n * sizeof(fftw_complex));
        fftw_execute(plan);
        benchmark::DoNotOptimize(z);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(interleaved);
    fftw_free(z);
}

// n real samples to n/2 + 1 bins and back: half the work of a complex pair, by design.
void fftwRealPair(benchmark::State& state) {
    double* real = fftw_alloc_real(n);
    fftw_complex* bins = fftw_alloc_complex(n / 2 + 1);
    const fftw_plan forward = fftw_plan_dft_r2c_1d(n, real, bins, FFTW_MEASURE);
    const fftw_plan inverse = fftw_plan_dft_c2r_1d(n, bins, real, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(real, input().x, n * sizeof(double));
        fftw_execute(forward);
        fftw_execute(inverse);
        benchmark::DoNotOptimize(real);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(forward);
    fftw_destroy_plan(inverse);
    fftw_free(real);
    fftw_free(bins);
}

}  // namespace

void registerTransformBenchmarks() {
    benchmark::RegisterBenchmark("fft-forward/literal", forwardLiteral);
    benchmark::RegisterBenchmark("fft-forward/fftw-complex", fftwComplex);
    benchmark::RegisterBenchmark("fft-pair/literal", pairLiteral);
    benchmark::RegisterBenchmark("fft-pair/fftw-r2c-c2r", fftwRealPair);
    for (int32_t i = 0; i < kIsaCount; ++i) {
        const Isa isa = static_cast<Isa>(i);
        if (!isaSupported(isa)) continue;
        benchmark::RegisterBenchmark((std::string("fft-forward/") + isaName(isa)).c_str(),
                                     forwardFast, isa);
        benchmark::RegisterBenchmark((std::string("fft-pair/") + isaName(isa)).c_str(), pairFast,
                                     isa);
    }
}

}  // namespace wt::bench
