#pragma once

// The transform's building blocks, written once for vectors of W doubles (W = 1, 2, 4 or 8)
// and instantiated per instruction set in transform_kernels.cpp.
//
// Each lane runs exactly the butterfly of the textbook loop, with the same operations in
// the same order; what changes is only the order in which independent butterflies run:
//   - the j loop is innermost, so W neighbouring butterflies of a pass share a vector;
//   - the bit reversal is folded into the first log2(W) passes: a tile of W rows of W
//     points is loaded, combined row against row, transposed and stored at its
//     bit-reversed place;
//   - the remaining passes run two at a time (one load and one store per point for both),
//     and the forward scaling is folded into the last one.
// Twiddles come from the table the recurrence filled (voice/twiddles.h). Multiplying by
// 2^-m equals dividing by 2^m exactly, subnormal results included.
//
// All functions take vectors by reference and are always inlined, so their code is
// generated inside the instruction-set-specific function that calls them.

#include <cstdint>
#include <cstring>

#include "voice/block_size.h"
#include "voice/sample_conversion.h"
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

// A tile of the first stage: W rows of W points, row r starting at r * n / W + tile * W.
// Its points land, bit-reversed, in the rows of tile reverse(tile): point (r, l) goes to
// reverse(l) * n / W + reverse(tile) * W + reverse(r). Held here in output order:
// x[q] is row reverse(q), so passes 0 .. log2(W) - 1 combine x[q] with x[q + 2^p].
template <int32_t W>
struct Tile {
    typename Lanes<W>::Real x[W];
    typename Lanes<W>::Real y[W];
};

template <int32_t W>
WT_KERNEL int32_t tileBits(int32_t order) {
    return order - 2 * kTilePasses<W>;
}

template <int32_t W>
WT_KERNEL void loadTile(Tile<W>& tile, const double* x, const double* y, int32_t order,
                        int32_t index) {
    const int32_t rowStride = (int32_t{1} << order) / W;
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

// Stores the tile at the place of tile `index` (the bit reverse of the one it was loaded from).
template <int32_t W>
WT_KERNEL void storeTile(Tile<W>& tile, double* x, double* y, int32_t order, int32_t index) {
    const int32_t rowStride = (int32_t{1} << order) / W;
    transpose<W>(tile.x);
    transpose<W>(tile.y);
#pragma GCC unroll 8
    for (int32_t l = 0; l < W; ++l) {
        const int32_t at = reverseBits(l, kTilePasses<W>) * rowStride + index * W;
        store(x + at, tile.x[l]);
        store(y + at, tile.y[l]);
    }
}

// Bit reversal and the first log2(W) passes, in place. A tile and its bit-reversed
// partner trade places, so both are loaded before either is stored.
template <int32_t W>
WT_KERNEL void firstStage(double* x, double* y, int32_t order, const double* u2) {
    const int32_t bits = tileBits<W>(order);
    for (int32_t index = 0; index < (int32_t{1} << bits); ++index) {
        const int32_t partner = reverseBits(index, bits);
        if (partner < index) continue;
        Tile<W> a;
        loadTile(a, x, y, order, index);
        tilePasses(a, u2);
        if (partner == index) {
            storeTile(a, x, y, order, index);
            continue;
        }
        Tile<W> b;
        loadTile(b, x, y, order, partner);
        tilePasses(b, u2);
        storeTile(a, x, y, order, partner);
        storeTile(b, x, y, order, index);
    }
}

// The same from a ring column into separate arrays (a forward transform of real samples).
template <int32_t W>
WT_KERNEL void firstStage(ConstSampleRows rows, int32_t channel, double* x, double* y) {
    const int32_t bits = tileBits<W>(kFftOrder);
    for (int32_t index = 0; index < (int32_t{1} << bits); ++index) {
        Tile<W> tile;
        loadTile(tile, rows, channel, index);
        tilePasses(tile, twiddles.u2Forward);
        storeTile(tile, x, y, kFftOrder, reverseBits(index, bits));
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

    WT_KERNEL void put(int32_t at, const typename Lanes<W>::Real& xv,
                       const typename Lanes<W>::Real&) const {
#pragma GCC unroll 8
        for (int32_t l = 0; l < W; ++l) rows[at + l][channel] = toSample(xv[l]);
    }
};

// Passes p and p + 1 together: each group of four points i, i + l1, i + 2*l1, i + 3*l1
// takes pass p's butterflies (i, i + l1), (i + 2*l1, i + 3*l1), then pass p + 1's
// (i, i + 2*l1), (i + l1, i + 3*l1).
template <int32_t W, class Sink>
WT_KERNEL void passPair(double* x, double* y, int32_t order, int32_t p, const double* u2,
                        const Sink& sink) {
    using V = typename Lanes<W>::Real;
    const int32_t n = int32_t{1} << order;
    const int32_t l1 = int32_t{1} << p;
    for (int32_t base = 0; base < n; base += 4 * l1) {
        for (int32_t j = 0; j < l1; j += W) {
            const int32_t i0 = base + j;
            const int32_t i1 = i0 + l1;
            const int32_t i2 = i1 + l1;
            const int32_t i3 = i2 + l1;
            V x0, y0, x1, y1, x2, y2, x3, y3;
            load(x0, x + i0);
            load(y0, y + i0);
            load(x1, x + i1);
            load(y1, y + i1);
            load(x2, x + i2);
            load(y2, y + i2);
            load(x3, x + i3);
            load(y3, y + i3);
            V a1, a2;
            load(a1, twiddles.u1 + l1 + j);
            load(a2, u2 + l1 + j);
            butterfly(x0, y0, x1, y1, a1, a2);
            butterfly(x2, y2, x3, y3, a1, a2);
            V b1, b2, c1, c2;
            load(b1, twiddles.u1 + 2 * l1 + j);
            load(b2, u2 + 2 * l1 + j);
            load(c1, twiddles.u1 + 3 * l1 + j);
            load(c2, u2 + 3 * l1 + j);
            butterfly(x0, y0, x2, y2, b1, b2);
            butterfly(x1, y1, x3, y3, c1, c2);
            sink.put(i0, x0, y0);
            sink.put(i1, x1, y1);
            sink.put(i2, x2, y2);
            sink.put(i3, x3, y3);
        }
    }
}

template <int32_t W, class Sink>
WT_KERNEL void singlePass(double* x, double* y, int32_t order, int32_t p, const double* u2,
                          const Sink& sink) {
    using V = typename Lanes<W>::Real;
    const int32_t n = int32_t{1} << order;
    const int32_t l1 = int32_t{1} << p;
    for (int32_t base = 0; base < n; base += 2 * l1) {
        for (int32_t j = 0; j < l1; j += W) {
            const int32_t i0 = base + j;
            const int32_t i1 = i0 + l1;
            V x0, y0, x1, y1, u1v, u2v;
            load(x0, x + i0);
            load(y0, y + i0);
            load(x1, x + i1);
            load(y1, y + i1);
            load(u1v, twiddles.u1 + l1 + j);
            load(u2v, u2 + l1 + j);
            butterfly(x0, y0, x1, y1, u1v, u2v);
            sink.put(i0, x0, y0);
            sink.put(i1, x1, y1);
        }
    }
}

// Passes `from` .. `to` - 1 (to <= kFftOrder), two at a time; the last pass writes
// through `last`.
template <int32_t W, class Sink>
WT_KERNEL void passes(double* x, double* y, int32_t order, int32_t from, int32_t to,
                      const double* u2, const Sink& last) {
    const ArraySink<W> inPlace{x, y};
    int32_t p = from;
    for (; to - p > 2; p += 2) passPair<W>(x, y, order, p, u2, inPlace);
    if (to - p == 2) passPair<W>(x, y, order, p, u2, last);
    if (to - p == 1) singlePass<W>(x, y, order, p, u2, last);
}

// The whole transform of 2^order points (log2(W) * 2 <= order <= kFftOrder), in place.
template <int32_t W>
WT_KERNEL void transform(bool forward, int32_t order, double* x, double* y) {
    const double* u2 = forward ? twiddles.u2Forward : twiddles.u2Inverse;
    firstStage<W>(x, y, order, u2);
    if (forward) {
        const ScaledArraySink<W> scaled{x, y, 1.0 / static_cast<double>(int32_t{1} << order)};
        passes<W>(x, y, order, kTilePasses<W>, order, u2, scaled);
    } else {
        passes<W>(x, y, order, kTilePasses<W>, order, u2, ArraySink<W>{x, y});
    }
}

// Forward transform of one ring column: samples in, scaled spectrum out in x, y.
template <int32_t W>
WT_KERNEL void forwardFromColumn(ConstSampleRows rows, int32_t channel, double* x, double* y) {
    firstStage<W>(rows, channel, x, y);
    const ScaledArraySink<W> scaled{x, y, 1.0 / kBlockSize};
    passes<W>(x, y, kFftOrder, kTilePasses<W>, kFftOrder, twiddles.u2Forward, scaled);
}

// Inverse transform of the spectrum in x, y (destroyed); the real parts go, as samples,
// into the ring column. The imaginary parts of the last pass are never formed.
template <int32_t W>
WT_KERNEL void inverseToColumn(double* x, double* y, SampleRows rows, int32_t channel) {
    firstStage<W>(x, y, kFftOrder, twiddles.u2Inverse);
    passes<W>(x, y, kFftOrder, kTilePasses<W>, kFftOrder, twiddles.u2Inverse,
              ColumnSink<W>{rows, channel});
}

}  // namespace wt::kernels

#pragma GCC diagnostic pop
#undef WT_KERNEL
