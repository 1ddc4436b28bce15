#pragma once

// The transform's building blocks, written once for vectors of W doubles (W = 2, 4 or 8
// for the kBlockSize-point kernels of transform_kernels.cpp; the passes also one lane wide, for
// other orders, in fft.cpp).
//
// Each lane runs exactly the butterfly of the textbook loop, with the same operations in
// the same order; what changes is only the order in which independent butterflies run:
//   - the j loop is innermost, so W neighbouring butterflies of a pass share a vector;
//   - the bit reversal is folded into the first log2(W) passes: a tile of W rows of W
//     points is loaded, combined row against row, transposed and stored at its
//     bit-reversed place;
//   - the remaining passes run two to four at a time (one load and one store per point
//     for all of them), and the forward scaling is folded into the last one;
//   - for the block step, the forward transform reads its real samples straight from the
//     ring, with the butterflies whose imaginary inputs are still zero worked out
//     exactly, and the inverse one stores its real parts straight into the ring.
// Twiddles come from the table the recurrence filled (voice/twiddles.h). Multiplying by
// 2^-m equals dividing by 2^m exactly, subnormal results included.
//
// All functions take vectors by reference and are always inlined, so their code is
// generated inside the instruction-set-specific function that calls them.

#include <cstdint>
#include <cstring>

#include "voice/block_size.h"
#include "voice/twiddles.h"

#define WT_KERNEL [[gnu::always_inline]] inline

// Vectors pass only between always-inlined functions, never across a call boundary, so
// the warning that their calling convention differs between instruction sets is moot.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace wt::kernels {

template <int32_t W>
struct Lanes {
    typedef double Real __attribute__((vector_size(W * sizeof(double))));
    typedef int32_t Whole __attribute__((vector_size(W * sizeof(int32_t))));
};

// log2 of the lane count: the passes the first stage performs.
template <int32_t W>
inline constexpr int32_t kTilePasses = W == 1   ? 0
                                       : W == 2 ? 1
                                       : W == 4 ? 2
                                                : 3;

// Sample rows of the capture ring: [position][channel column].
using SampleRows = int16_t (*)[kRingChannels];
using ConstSampleRows = const int16_t (*)[kRingChannels];

constexpr int32_t reverseBits(int32_t value, int32_t bits) {
    int32_t reversed = 0;
    for (int32_t b = 0; b < bits; ++b) reversed |= ((value >> b) & 1) << (bits - 1 - b);
    return reversed;
}

template <class V>
WT_KERNEL void load(V& v, const double* from) {
    std::memcpy(&v, from, sizeof v);
}

template <class V>
WT_KERNEL void store(double* to, const V& v) {
    std::memcpy(to, &v, sizeof v);
}

template <class V>
WT_KERNEL void broadcast(V& v, double value) {
    for (int32_t l = 0; l < static_cast<int32_t>(sizeof v / sizeof(double)); ++l) v[l] = value;
}

// One butterfly per lane: (a, b) <- (a + u*b, a - u*b), in the textbook's operation order.
template <class V>
WT_KERNEL void butterfly(V& xa, V& ya, V& xb, V& yb, const V& u1, const V& u2) {
    const V t1 = u1 * xb - u2 * yb;
    const V t2 = u1 * yb + u2 * xb;
    xb = xa - t1;
    yb = ya - t2;
    xa = xa + t1;
    ya = ya + t2;
}

// Row q becomes lane q: afterwards v[l][q] holds what v[q][l] held.
template <int32_t W, class V>
WT_KERNEL void transpose(V (&v)[W]) {
    if constexpr (W == 2) {
        const V a = __builtin_shufflevector(v[0], v[1], 0, 2);
        const V b = __builtin_shufflevector(v[0], v[1], 1, 3);
        v[0] = a;
        v[1] = b;
    } else if constexpr (W == 4) {
        const V a0 = __builtin_shufflevector(v[0], v[1], 0, 4, 2, 6);
        const V a1 = __builtin_shufflevector(v[0], v[1], 1, 5, 3, 7);
        const V a2 = __builtin_shufflevector(v[2], v[3], 0, 4, 2, 6);
        const V a3 = __builtin_shufflevector(v[2], v[3], 1, 5, 3, 7);
        v[0] = __builtin_shufflevector(a0, a2, 0, 1, 4, 5);
        v[1] = __builtin_shufflevector(a1, a3, 0, 1, 4, 5);
        v[2] = __builtin_shufflevector(a0, a2, 2, 3, 6, 7);
        v[3] = __builtin_shufflevector(a1, a3, 2, 3, 6, 7);
    } else if constexpr (W == 8) {
        V b[8];
        V c[8];
#pragma GCC unroll 4
        for (int32_t k = 0; k < 8; k += 2) {
            b[k] = __builtin_shufflevector(v[k], v[k + 1], 0, 8, 2, 10, 4, 12, 6, 14);
            b[k + 1] = __builtin_shufflevector(v[k], v[k + 1], 1, 9, 3, 11, 5, 13, 7, 15);
        }
#pragma GCC unroll 2
        for (int32_t k = 0; k < 8; k += 4) {
            c[k] = __builtin_shufflevector(b[k], b[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            c[k + 1] = __builtin_shufflevector(b[k + 1], b[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
            c[k + 2] = __builtin_shufflevector(b[k], b[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
            c[k + 3] = __builtin_shufflevector(b[k + 1], b[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
        }
#pragma GCC unroll 4
        for (int32_t k = 0; k < 4; ++k) {
            v[k] = __builtin_shufflevector(c[k], c[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
            v[k + 4] = __builtin_shufflevector(c[k], c[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
        }
    }
}

// The first stage works on tiles of W rows of W points, row r of tile t starting at
// r * kBlockSize / W + t * W. Point (r, l) of tile t belongs, bit-reversed, at
// reverse(l) * kBlockSize / W + reverse(t) * W + reverse(r): the tile lands transposed,
// in the rows of tile reverse(t). Held here in output order, x[q] being row reverse(q),
// so passes 0 .. log2(W) - 1 combine x[q] with x[q + 2^p] and the transpose makes the
// rows of the destination tile.
template <int32_t W>
struct Tile {
    typename Lanes<W>::Real x[W];
    typename Lanes<W>::Real y[W];
};

template <int32_t W>
inline constexpr int32_t kTileBits = kFftOrder - 2 * kTilePasses<W>;

// Tiles in place trade places with their bit-reversed partner: the pairs (t, reverse(t))
// with t <= reverse(t).
template <int32_t W>
struct TilePairs {
    int32_t count;
    int16_t first[1 << kTileBits<W>];
    int16_t second[1 << kTileBits<W>];
};

template <int32_t W>
constexpr TilePairs<W> makeTilePairs() {
    TilePairs<W> pairs{};
    for (int32_t t = 0; t < (1 << kTileBits<W>); ++t) {
        const int32_t partner = reverseBits(t, kTileBits<W>);
        if (partner < t) continue;
        pairs.first[pairs.count] = static_cast<int16_t>(t);
        pairs.second[pairs.count] = static_cast<int16_t>(partner);
        ++pairs.count;
    }
    return pairs;
}

template <int32_t W>
inline constexpr TilePairs<W> kTilePairs = makeTilePairs<W>();

template <int32_t W>
WT_KERNEL void loadTile(Tile<W>& tile, const double* x, const double* y, int32_t index) {
    constexpr int32_t rowStride = kBlockSize / W;
#pragma GCC unroll 8
    for (int32_t q = 0; q < W; ++q) {
        const int32_t at = reverseBits(q, kTilePasses<W>) * rowStride + index * W;
        load(tile.x[q], x + at);
        load(tile.y[q], y + at);
    }
}

// Real samples from one channel column of the ring; imaginary parts +0.0.
template <int32_t W>
WT_KERNEL void loadTile(Tile<W>& tile, ConstSampleRows rows, int32_t channel, int32_t index) {
    constexpr int32_t rowStride = kBlockSize / W;
#pragma GCC unroll 8
    for (int32_t q = 0; q < W; ++q) {
        const int32_t at = reverseBits(q, kTilePasses<W>) * rowStride + index * W;
        typename Lanes<W>::Whole samples;
#pragma GCC unroll 8
        for (int32_t l = 0; l < W; ++l) samples[l] = rows[at + l][channel];
        tile.x[q] = __builtin_convertvector(samples, typename Lanes<W>::Real);
        tile.y[q] = typename Lanes<W>::Real{};
    }
}

// Passes 0 .. log2(W) - 1 inside the tile.
template <int32_t W>
WT_KERNEL void tilePasses(Tile<W>& tile, const double* u2) {
#pragma GCC unroll 3
    for (int32_t l1 = 1; l1 < W; l1 *= 2) {
#pragma GCC unroll 8
        for (int32_t q = 0; q < W; ++q) {
            if ((q & l1) != 0) continue;
            typename Lanes<W>::Real u1v;
            typename Lanes<W>::Real u2v;
            broadcast(u1v, twiddles.u1[l1 + (q & (l1 - 1))]);
            broadcast(u2v, u2[l1 + (q & (l1 - 1))]);
            butterfly(tile.x[q], tile.y[q], tile.x[q + l1], tile.y[q + l1], u1v, u2v);
        }
    }
}

// Stores a transposed tile as the rows of tile `index` (the bit reverse of the one it
// came from).
template <int32_t W>
WT_KERNEL void storeRows(const Tile<W>& tile, double* x, double* y, int32_t index) {
    constexpr int32_t rowStride = kBlockSize / W;
#pragma GCC unroll 8
    for (int32_t l = 0; l < W; ++l) {
        const int32_t at = reverseBits(l, kTilePasses<W>) * rowStride + index * W;
        store(x + at, tile.x[l]);
        store(y + at, tile.y[l]);
    }
}

template <int32_t W>
WT_KERNEL void storeTile(Tile<W>& tile, double* x, double* y, int32_t index) {
    transpose<W>(tile.x);
    transpose<W>(tile.y);
    storeRows(tile, x, y, index);
}

// Bit reversal and the first log2(W) passes, in place: a tile's partner is loaded before
// the tile is stored in its place. The partner is loaded only once the tile is finished,
// so that no more than two tiles' vectors are held while nothing is computed.
template <int32_t W>
WT_KERNEL void firstStage(double* x, double* y, const double* u2) {
    for (int32_t k = 0; k < kTilePairs<W>.count; ++k) {
        const int32_t index = kTilePairs<W>.first[k];
        const int32_t partner = kTilePairs<W>.second[k];
        Tile<W> a;
        loadTile(a, x, y, index);
        tilePasses(a, u2);
        transpose<W>(a.x);
        transpose<W>(a.y);
        if (partner == index) {
            storeRows(a, x, y, index);
            continue;
        }
        Tile<W> b;
        loadTile(b, x, y, partner);
        storeRows(a, x, y, partner);
        tilePasses(b, u2);
        storeTile(b, x, y, index);
    }
}

// The same out of place, from x, y into toX, toY: no tile waits for its partner.
template <int32_t W>
WT_KERNEL void firstStage(const double* x, const double* y, double* toX, double* toY,
                          const double* u2) {
    for (int32_t index = 0; index < (1 << kTileBits<W>); ++index) {
        Tile<W> tile;
        loadTile(tile, x, y, index);
        tilePasses(tile, u2);
        storeTile(tile, toX, toY, reverseBits(index, kTileBits<W>));
    }
}

// The passes inside a tile of real samples (imaginary parts +0.0, real parts finite
// and never -0.0), with the butterflies whose imaginary inputs are still +0.0 worked out
// exactly. Before pass p those are the pairs with j = 0 and j = 2^(p-1) (all of pass 0),
// and their twiddles are exact: (1, +0) for j = 0, and (+0, u2 < 0) for pass 1, j = 1
// and pass 2, j = 2 of the forward transform (checked in twiddles.cpp).
//   j = 0: t1 = 1*xb - (+0)*(+0) = xb and t2 = 1*(+0) + (+0)*xb = +0, so the real parts
//     become sum and difference and the imaginary parts stay +0.0.
//   u1 = +0: t1 = (+0)*xb - u2*(+0) = +0 (u2 < 0) and t2 = (+0)*(+0) + u2*xb = 0.0 + u2*xb,
//     so xa and xb both become xa, ya becomes t2 and yb becomes 0.0 - t2.
// Sums and differences of such real parts are never -0.0, so this holds pass to pass.
template <int32_t W>
WT_KERNEL void realTilePasses(Tile<W>& tile) {
    using V = typename Lanes<W>::Real;
#pragma GCC unroll 3
    for (int32_t l1 = 1; l1 < W; l1 *= 2) {
#pragma GCC unroll 8
        for (int32_t q = 0; q < W; ++q) {
            if ((q & l1) != 0) continue;
            const int32_t j = q & (l1 - 1);
            V& xa = tile.x[q];
            V& xb = tile.x[q + l1];
            if (j == 0) {
                const V sum = xa + xb;
                xb = xa - xb;
                xa = sum;
            } else if (2 * j == l1) {
                V u2;
                broadcast(u2, twiddles.u2Forward[l1 + j]);
                const V t2 = V{} + u2 * xb;
                xb = xa;
                tile.y[q] = t2;
                tile.y[q + l1] = V{} - t2;
            } else {
                V u1v;
                V u2v;
                broadcast(u1v, twiddles.u1[l1 + j]);
                broadcast(u2v, twiddles.u2Forward[l1 + j]);
                butterfly(xa, tile.y[q], xb, tile.y[q + l1], u1v, u2v);
            }
        }
    }
}

// The same from a ring column into separate arrays (a forward transform of real samples).
template <int32_t W>
WT_KERNEL void firstStage(ConstSampleRows rows, int32_t channel, double* x, double* y) {
    for (int32_t index = 0; index < (1 << kTileBits<W>); ++index) {
        Tile<W> tile;
        loadTile(tile, rows, channel, index);
        realTilePasses(tile);
        storeTile(tile, x, y, reverseBits(index, kTileBits<W>));
    }
}

// Where a pass puts its results: back into the arrays, scaled into them, or (real parts
// only) as samples into a ring column.
template <int32_t W>
struct ArraySink {
    double* x;
    double* y;

    WT_KERNEL void put(int32_t at, const typename Lanes<W>::Real& xv,
                       const typename Lanes<W>::Real& yv) const {
        store(x + at, xv);
        store(y + at, yv);
    }
};

template <int32_t W>
struct ScaledArraySink {
    double* x;
    double* y;
    double scale;  // 2^-order

    WT_KERNEL void put(int32_t at, const typename Lanes<W>::Real& xv,
                       const typename Lanes<W>::Real& yv) const {
        typename Lanes<W>::Real s;
        broadcast(s, scale);
        store(x + at, xv * s);
        store(y + at, yv * s);
    }
};

template <int32_t W>
struct ColumnSink {
    SampleRows rows;
    int32_t channel;

    // As toSample(), all lanes at once: truncation toward zero (the block step keeps
    // |x| below 2^26, well inside int32), then saturation to the 16-bit range.
    WT_KERNEL void put(int32_t at, const typename Lanes<W>::Real& xv,
                       const typename Lanes<W>::Real&) const {
        using Whole = typename Lanes<W>::Whole;
        Whole whole = __builtin_convertvector(xv, Whole);
        Whole high;
        Whole low;
        for (int32_t l = 0; l < W; ++l) {
            high[l] = INT16_MAX;
            low[l] = INT16_MIN;
        }
        const Whole above = whole > high;
        whole = (whole & ~above) | (high & above);
        const Whole below = whole < low;
        whole = (whole & ~below) | (low & below);
#pragma GCC unroll 8
        for (int32_t l = 0; l < W; ++l) rows[at + l][channel] = static_cast<int16_t>(whole[l]);
    }
};

// Passes p .. p + K - 1 in one sweep: each group of 2^K points i + k * 2^p (k < 2^K) is
// loaded once, takes the butterflies of all K passes in registers, and is put once.
// Pass p + s pairs point k with point k + 2^s (bit s of k clear), whose position within
// that pass's butterfly span, j + (k mod 2^s) * 2^p, picks the twiddle.
template <int32_t W, int32_t K, class Sink>
WT_KERNEL void passBlock(double* x, double* y, int32_t order, int32_t p, const double* u2,
                         const Sink& sink) {
    using V = typename Lanes<W>::Real;
    constexpr int32_t kPoints = 1 << K;
    const int32_t n = int32_t{1} << order;
    const int32_t l1 = int32_t{1} << p;
    for (int32_t base = 0; base < n; base += kPoints * l1) {
        for (int32_t j = 0; j < l1; j += W) {
            V xs[kPoints];
            V ys[kPoints];
#pragma GCC unroll 16
            for (int32_t k = 0; k < kPoints; ++k) {
                load(xs[k], x + base + j + k * l1);
                load(ys[k], y + base + j + k * l1);
            }
#pragma GCC unroll 4
            for (int32_t s = 0; s < K; ++s) {
                const int32_t span = 1 << s;
#pragma GCC unroll 16
                for (int32_t k = 0; k < kPoints; ++k) {
                    if ((k & span) != 0) continue;
                    const int32_t at = (span + (k & (span - 1))) * l1 + j;
                    V u1v;
                    V u2v;
                    load(u1v, twiddles.u1 + at);
                    load(u2v, u2 + at);
                    butterfly(xs[k], ys[k], xs[k + span], ys[k + span], u1v, u2v);
                }
            }
#pragma GCC unroll 16
            for (int32_t k = 0; k < kPoints; ++k) sink.put(base + j + k * l1, xs[k], ys[k]);
        }
    }
}

// Passes log2(W) .. kFftOrder - 1 in as few sweeps as the registers allow (x and y
// vectors of 2^K points: up to 32 registers with AVX-512, 8 of 16 otherwise); the last
// sweep writes through `last`.
template <int32_t W, class Sink>
WT_KERNEL void laterPasses(double* x, double* y, const double* u2, const Sink& last) {
    const ArraySink<W> inPlace{x, y};
    if constexpr (W == 8) {
        // Sixteen points take all 32 registers: a few spill, which costs less than a sweep.
        passBlock<W, 3>(x, y, kFftOrder, 3, u2, inPlace);
        passBlock<W, 4>(x, y, kFftOrder, 6, u2, last);
    } else if constexpr (W == 4) {
        passBlock<W, 2>(x, y, kFftOrder, 2, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 4, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 6, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 8, u2, last);
    } else {
        static_assert(W == 2);
        passBlock<W, 2>(x, y, kFftOrder, 1, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 3, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 5, u2, inPlace);
        passBlock<W, 2>(x, y, kFftOrder, 7, u2, inPlace);
        passBlock<W, 1>(x, y, kFftOrder, 9, u2, last);
    }
}

// The kBlockSize-point transform in place.
template <int32_t W>
WT_KERNEL void transform(bool forward, double* x, double* y) {
    const double* u2 = forward ? twiddles.u2Forward : twiddles.u2Inverse;
    firstStage<W>(x, y, u2);
    if (forward) {
        laterPasses<W>(x, y, u2, ScaledArraySink<W>{x, y, 1.0 / kBlockSize});
    } else {
        laterPasses<W>(x, y, u2, ArraySink<W>{x, y});
    }
}

// Forward transform of one ring column: samples in, scaled spectrum out in x, y.
template <int32_t W>
WT_KERNEL void forwardFromColumn(ConstSampleRows rows, int32_t channel, double* x, double* y) {
    firstStage<W>(rows, channel, x, y);
    laterPasses<W>(x, y, twiddles.u2Forward, ScaledArraySink<W>{x, y, 1.0 / kBlockSize});
}

// Inverse transform of the spectrum in x, y, with scratchX, scratchY (kBlockSize doubles
// each) as work space; the real parts go, as samples, into the ring column. The imaginary
// parts of the last pass are never formed.
template <int32_t W>
WT_KERNEL void inverseToColumn(const double* x, const double* y, double* scratchX, double* scratchY,
                               SampleRows rows, int32_t channel) {
    firstStage<W>(x, y, scratchX, scratchY, twiddles.u2Inverse);
    laterPasses<W>(scratchX, scratchY, twiddles.u2Inverse, ColumnSink<W>{rows, channel});
}

}  // namespace wt::kernels

#pragma GCC diagnostic pop
#undef WT_KERNEL
