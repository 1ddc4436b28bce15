// Before/after pictures: a short-time spectrum of 16-bit samples at the page's rate, for
// a canvas: time left to right, 0 to 12 kHz bottom to top, level from dark to bright. For
// the eye only: a plain FFT of its own, unrelated to the plugin's transform.

import { kRate } from "./page_rate.js";

const kSize = 1024;  // the picture's own transform length, not the plugin's block
const kTopHz = 12000;
const kFloorDb = -100;  // darkest
const kScale = 4 / kSize;  // a full-scale sine's bin comes out at 0 dB through the Hann window

function fftInPlace(re, im) {
    const n = re.length;
    for (let i = 1, j = 0; i < n; ++i) {
        let bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            [re[i], re[j]] = [re[j], re[i]];
            [im[i], im[j]] = [im[j], im[i]];
        }
    }
    for (let len = 2; len <= n; len <<= 1) {
        const angle = (-2 * Math.PI) / len;
        for (let i = 0; i < n; i += len) {
            for (let k = 0; k < len / 2; ++k) {
                const wr = Math.cos(angle * k);
                const wi = Math.sin(angle * k);
                const a = i + k;
                const b = a + len / 2;
                const tr = re[b] * wr - im[b] * wi;
                const ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}

function colour(level) {  // level 0..1
    const r = Math.min(255, Math.max(0, 255 * (1.6 * level - 0.3)));
    const g = Math.min(255, Math.max(0, 255 * (1.8 * level - 0.8)));
    const b = Math.min(255, Math.max(0, 255 * (level < 0.5 ? 2 * level : 2 - 2 * level) + 40 * level));
    return [r, g, b];
}

// The picture's pixels, RGBA rows top to bottom: made in the render worker, as a long
// file's picture takes a while.
export function spectrogramPixels(samples, width, height, rate = kRate) {
    const pixels = new Uint8ClampedArray(4 * width * height);
    const re = new Float64Array(kSize);
    const im = new Float64Array(kSize);
    const topBin = Math.min(kSize / 2, Math.round((kTopHz / rate) * kSize));
    const hop = Math.max(1, (samples.length - kSize) / width);
    for (let x = 0; x < width; ++x) {
        const start = Math.floor(x * hop);
        for (let i = 0; i < kSize; ++i) {
            const window = 0.5 - 0.5 * Math.cos((2 * Math.PI * i) / kSize);
            re[i] = ((samples[start + i] ?? 0) / 32768) * window;
            im[i] = 0;
        }
        fftInPlace(re, im);
        for (let y = 0; y < height; ++y) {
            const bin = Math.floor(((height - 1 - y) / height) * topBin);
            const power = (re[bin] * re[bin] + im[bin] * im[bin]) * kScale * kScale;
            const db = 10 * Math.log10(power + 1e-20);
            const [r, g, b] = colour(Math.min(1, Math.max(0, (db - kFloorDb) / -kFloorDb)));
            const at = 4 * (y * width + x);
            pixels[at] = r;
            pixels[at + 1] = g;
            pixels[at + 2] = b;
            pixels[at + 3] = 255;
        }
    }
    return pixels;
}

export function drawPixels(canvas, pixels) {
    canvas.getContext("2d").putImageData(new ImageData(pixels, canvas.width, canvas.height), 0, 0);
}
