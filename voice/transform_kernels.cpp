#include "voice/transform_kernels.h"

#include <atomic>
#include <initializer_list>

#include "voice/fft_kernels.h"

// 32-bit x86 runs the same kernels, provided its scalar double arithmetic is SSE2 too
// (-msse2 -mfpmath=sse, set by the build): the x87 unit would round differently.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 needs -msse2 -mfpmath=sse: the voice arithmetic is SSE2 arithmetic"
#endif
#if defined(__x86_64__) || defined(__i386__)
#define WT_X86 1
#endif

namespace wt {

namespace {

// The lane count picks the instruction set: two doubles per vector everywhere, four with
// AVX2, eight with AVX-512F. Each function is compiled for its own set only, so the
// binary runs on any x86 with SSE2, and a wider set's code is reached only through the CPU check
// below.

void transformBaseline(bool forward, double* x, double* y) {
    kernels::transform<2>(forward, x, y);
}

void forwardFromColumnBaseline(const int16_t (*rows)[kRingChannels], int32_t channel, double* x,
                               double* y) {
    kernels::forwardFromColumn<2>(rows, channel, x, y);
}

void inverseToColumnBaseline(const double* x, const double* y, double* scratchX, double* scratchY,
                             int16_t (*rows)[kRingChannels], int32_t channel) {
    kernels::inverseToColumn<2>(x, y, scratchX, scratchY, rows, channel);
}

constexpr TransformKernels kBaseline{transformBaseline, forwardFromColumnBaseline,
                                     inverseToColumnBaseline};

#if defined(WT_X86)

#define WT_AVX2 __attribute__((target("avx2")))
#define WT_AVX512 __attribute__((target("avx512f")))

WT_AVX2 void transformAvx2(bool forward, double* x, double* y) {
    kernels::transform<4>(forward, x, y);
}

WT_AVX2 void forwardFromColumnAvx2(const int16_t (*rows)[kRingChannels], int32_t channel, double* x,
                                   double* y) {
    kernels::forwardFromColumn<4>(rows, channel, x, y);
}

WT_AVX2 void inverseToColumnAvx2(const double* x, const double* y, double* scratchX,
                                 double* scratchY, int16_t (*rows)[kRingChannels],
                                 int32_t channel) {
    kernels::inverseToColumn<4>(x, y, scratchX, scratchY, rows, channel);
}

WT_AVX512 void transformAvx512(bool forward, double* x, double* y) {
    kernels::transform<8>(forward, x, y);
}

WT_AVX512 void forwardFromColumnAvx512(const int16_t (*rows)[kRingChannels], int32_t channel,
                                       double* x, double* y) {
    kernels::forwardFromColumn<8>(rows, channel, x, y);
}

WT_AVX512 void inverseToColumnAvx512(const double* x, const double* y, double* scratchX,
                                     double* scratchY, int16_t (*rows)[kRingChannels],
                                     int32_t channel) {
    kernels::inverseToColumn<8>(x, y, scratchX, scratchY, rows, channel);
}

constexpr TransformKernels kKernels[kIsaCount] = {
    kBaseline,
    {transformAvx2, forwardFromColumnAvx2, inverseToColumnAvx2},
    {transformAvx512, forwardFromColumnAvx512, inverseToColumnAvx512},
};

#else

constexpr TransformKernels kKernels[kIsaCount] = {kBaseline, kBaseline, kBaseline};

#endif

// -1 until the first call of selectedIsa().
constinit std::atomic<int32_t> chosenIsa{-1};

}  // namespace

bool isaSupported(Isa isa) {
#if defined(WT_X86)
    // Reads the flags libgcc gathered with cpuid; they include the OS's consent (XCR0)
    // to the wider register state. Runs the gathering itself if called before it.
    __builtin_cpu_init();
    switch (isa) {
        case Isa::Baseline:
            return true;
        case Isa::Avx2:
            return __builtin_cpu_supports("avx2");
        case Isa::Avx512:
            return __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return isa == Isa::Baseline;
#endif
}

Isa selectedIsa() {
    int32_t isa = chosenIsa.load(std::memory_order_relaxed);
    if (isa < 0) {
        isa = static_cast<int32_t>(Isa::Baseline);
        for (const Isa wider : {Isa::Avx2, Isa::Avx512})
            if (isaSupported(wider)) isa = static_cast<int32_t>(wider);
        chosenIsa.store(isa, std::memory_order_relaxed);
    }
    return static_cast<Isa>(isa);
}

void forceIsa(Isa isa) {
    chosenIsa.store(static_cast<int32_t>(isa), std::memory_order_relaxed);
}

const char* isaName(Isa isa) {
    switch (isa) {
        case Isa::Baseline:
#if defined(WT_X86)
            return "sse2";
#else
            return "portable";
#endif
        case Isa::Avx2:
            return "avx2";
        case Isa::Avx512:
            return "avx512";
    }
    return "unknown";
}

const TransformKernels& transformKernels(Isa isa) {
    return kKernels[static_cast<int32_t>(isa)];
}

}  // namespace wt
