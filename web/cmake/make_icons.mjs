// Draws the app's icons, each at the size the manifest gives it, as PNG files:
//
//   node make_icons.mjs manifest.webmanifest OUTPUT_FOLDER
//
// The icon: five white bars of a sound wave on the manifest's background colour, filling
// the square (so it also serves as a maskable icon: the bars stay inside the safe circle).

import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";

const [manifestPath, outDir] = process.argv.slice(2);
const manifest = JSON.parse(fs.readFileSync(manifestPath, "utf8"));
const background = manifest.background_color.match(/^#(..)(..)(..)$/).slice(1).map((h) => parseInt(h, 16));

// Bars in units of the icon's side: centre x, half height; all of one half width.
const kBars = [[0.30, 0.10], [0.40, 0.20], [0.50, 0.28], [0.60, 0.20], [0.70, 0.10]];
const kHalfWidth = 0.035;
const kSupersampling = 4;  // per axis: 16 samples a pixel smooth the edges

// True where (x, y), in units of the side, lies in a bar with rounded ends.
function inBar(x, y) {
    return kBars.some(([cx, half]) => {
        const dx = Math.abs(x - cx);
        const dy = Math.max(0, Math.abs(y - 0.5) - (half - kHalfWidth));
        return dx * dx + dy * dy <= kHalfWidth * kHalfWidth;
    });
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});

function crc32(bytes) {
    let c = 0xffffffff;
    for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length, 0);
    head.write(type, 4, "latin1");
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
    return Buffer.concat([head, data, crc]);
}

function png(side) {
    const rows = Buffer.alloc(side * (1 + 3 * side));  // per row: filter type 0, then RGB
    for (let py = 0; py < side; ++py) {
        const row = py * (1 + 3 * side);
        for (let px = 0; px < side; ++px) {
            let covered = 0;
            for (let sy = 0; sy < kSupersampling; ++sy) {
                for (let sx = 0; sx < kSupersampling; ++sx) {
                    const x = (px + (sx + 0.5) / kSupersampling) / side;
                    const y = (py + (sy + 0.5) / kSupersampling) / side;
                    if (inBar(x, y)) ++covered;
                }
            }
            const share = covered / (kSupersampling * kSupersampling);
            for (let c = 0; c < 3; ++c) {
                rows[row + 1 + 3 * px + c] = Math.round(background[c] + (255 - background[c]) * share);
            }
        }
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(side, 0);
    header.writeUInt32BE(side, 4);
    header[8] = 8;  // bits per channel
    header[9] = 2;  // truecolour, no alpha
    return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
                          chunk("IHDR", header),
                          chunk("IDAT", zlib.deflateSync(rows, { level: 9 })),
                          chunk("IEND", Buffer.alloc(0))]);
}

for (const icon of manifest.icons) {
    const [width, height] = icon.sizes.split("x").map(Number);
    if (width !== height || icon.type !== "image/png") throw new Error(`cannot draw ${icon.src}`);
    fs.writeFileSync(path.join(outDir, icon.src), png(width));
}
