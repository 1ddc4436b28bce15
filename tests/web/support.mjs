// What the web tests share: where the built site and the native build are, the modules
// compiled under node, WAV reading, and the native render tool.

import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
export const sourceDir = process.env.WT_SOURCE_DIR ?? path.resolve(here, "../..");
export const siteDir = process.env.WT_WEB_DIR ?? path.join(sourceDir, "build/web");
export const nativeDir = process.env.WT_NATIVE_BUILD ?? path.join(sourceDir, "build/default");
export const samplePath = path.join(sourceDir, "samples/voice.wav");
export const exportedSymbolsPath = path.join(sourceDir, "plugin/exported_symbols.txt");

export const manifest = () => JSON.parse(fs.readFileSync(path.join(siteDir, "modules.json"), "utf8"));

export async function compiledModules() {
    const m = manifest();
    const result = {};
    for (const variant of ["plain", "simd"]) {
        const bytes = fs.readFileSync(path.join(siteDir, m[variant].file));
        result[variant] = { module: await WebAssembly.compile(bytes), layout: m[variant], bytes };
    }
    return result;
}

// The samples of a 16-bit PCM WAV file's data chunk, and its sample rate.
export function readWav(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at) => String.fromCharCode(...bytes.subarray(at, at + 4));
    if (tag(0) !== "RIFF" || tag(8) !== "WAVE") throw new Error("not a WAV file");
    let rate = 0;
    for (let at = 12; at + 8 <= bytes.length;) {
        const size = view.getUint32(at + 4, true);
        if (tag(at) === "fmt ") rate = view.getUint32(at + 12, true);
        if (tag(at) === "data") {
            const data = new Uint8Array(bytes.subarray(at + 8, at + 8 + size));  // a copy, aligned
            return { rate, samples: new Int16Array(data.buffer, 0, data.length >> 1) };
        }
        at += 8 + size + (size & 1);
    }
    throw new Error("no data chunk");
}

export function tempDir(name) {
    return fs.mkdtempSync(path.join(os.tmpdir(), `wt-${name}-`));
}

// Runs the native plugin through wacky-render; returns the output file's bytes.
export function nativeRender({ effect, strength, raw = false, input = samplePath }) {
    const out = path.join(tempDir("native"), "out.wav");
    const args = ["--effect", effect, "--strength", String(strength), input, out];
    if (raw) args.unshift("--raw");
    execFileSync(path.join(nativeDir, "wacky-render"), args, { stdio: ["ignore", "ignore", "inherit"] });
    const bytes = fs.readFileSync(out);
    fs.rmSync(path.dirname(out), { recursive: true, force: true });
    return bytes;
}

// Menu presses that reach `strength` from the start, found from the menu texts.
export function strengthPresses(items, strength) {
    const up = items.find((i) => i.text === "Increase effect strength").id;
    const down = items.find((i) => i.text === "Decrease effect strength").id;
    return { 0: [down], 0.25: [], 0.5: [down, up], 0.75: [up], 1: [up, up] }[strength];
}

export const kStrengths = [0, 0.25, 0.5, 0.75, 1];

// A plain 16-bit PCM WAV file of the given channels (arrays of samples of one length).
export function pcmWav(channels, rate) {
    const frames = channels[0].length;
    const count = channels.length;
    const bytes = Buffer.alloc(44 + frames * count * 2);
    bytes.write("RIFF", 0); bytes.writeUInt32LE(36 + frames * count * 2, 4); bytes.write("WAVE", 8);
    bytes.write("fmt ", 12); bytes.writeUInt32LE(16, 16); bytes.writeUInt16LE(1, 20);
    bytes.writeUInt16LE(count, 22); bytes.writeUInt32LE(rate, 24);
    bytes.writeUInt32LE(rate * count * 2, 28); bytes.writeUInt16LE(count * 2, 32);
    bytes.writeUInt16LE(16, 34); bytes.write("data", 36); bytes.writeUInt32LE(frames * count * 2, 40);
    for (let f = 0; f < frames; ++f) {
        for (let c = 0; c < count; ++c) bytes.writeInt16LE(channels[c][f], 44 + 2 * (f * count + c));
    }
    return bytes;
}
