// A sound file through the plugin, as wacky-render does it: decoded and resampled to
// the page's rate by the browser, mixed down to mono, run through a fresh load of the
// plugin in 480-frame calls (10 ms), lined up with the input by dropping the plugin's
// first block of output and flushing it with a block of silence.
//
// soundSource runs on the page's thread (decoding needs an audio context, which workers
// lack); sourceSamples and renderSamples run in the render worker.

import { kRate } from "./page_rate.js";
import { PluginSession } from "./plugin_session.js";
import { mixToSamples } from "./samples.js";
import { readPcmWav, wavHeader } from "./wav.js";

export const kFrames = 480;
const kCallsBetween = 16;  // capture calls between two calls of `between`

// Why a file gives the plugin nothing. reason: "empty" (no bytes at all), "no-samples"
// (a sound file that holds none), "undecodable" (the browser cannot read it; detail
// says what it said).
export class SoundFileError extends Error {
    constructor(reason, detail = "") {
        super(`${reason}${detail ? `: ${detail}` : ""}`);
        this.reason = reason;
        this.detail = detail;
    }
}

// What the render worker needs to make samples of `bytes` (an ArrayBuffer, which this
// may detach): { wav: bytes } for a 16-bit PCM WAV file at the page's rate, read exactly
// by the page itself, or { channels: [Float32Array] } decoded and resampled to it by the
// browser. Rejects with a SoundFileError.
export async function soundSource(bytes) {
    if (bytes.byteLength === 0) throw new SoundFileError("empty");
    const header = wavHeader(new Uint8Array(bytes));
    if (header?.frames === 0) throw new SoundFileError("no-samples");
    if (header?.code === 1 && header.bits === 16 && header.channels > 0 && header.rate === kRate) {
        return { wav: bytes };
    }
    let decoded;
    try {
        decoded = await new OfflineAudioContext(1, 1, kRate).decodeAudioData(bytes);
    } catch (error) {
        throw new SoundFileError("undecodable", error?.message ?? "");
    }
    if (decoded.length === 0) throw new SoundFileError("no-samples");
    const channels = [];
    for (let c = 0; c < decoded.numberOfChannels; ++c) channels.push(decoded.getChannelData(c).slice());
    return { channels };
}

// The mono 16-bit samples of a soundSource result, and its channel count.
export function sourceSamples(source) {
    if (source.wav) {
        const { samples, channels } = readPcmWav(new Uint8Array(source.wav));
        return { samples, channels };
    }
    return { samples: mixToSamples(source.channels), channels: source.channels.length };
}

// input: mono 16-bit samples at the page's rate. presses: the menu item IDs to press after the
// load, in order. Resolves to the output, as long as the input. options.between(done,
// total), if given, is awaited every few calls with the input samples done so far; when
// it gives false the render stops and resolves to null.
export async function renderSamples(module, layout, presses, input, { between } = {}) {
    const session = await PluginSession.open(module, layout, { maxFrames: kFrames });
    for (const id of presses) session.press(id);
    const output = new Int16Array(input.length);
    const delay = layout.abi.blockSize;  // the plugin hands each sample back this late
    let toDrop = delay;
    let written = 0;
    const call = (frames) => {
        session.capture(frames);
        const drop = Math.min(toDrop, frames);
        toDrop -= drop;
        const kept = session.samples.subarray(drop, frames);
        output.set(kept.subarray(0, output.length - written), written);
        written += kept.length;
    };
    for (let at = 0, calls = 0; at < input.length; at += kFrames) {
        if (between && ++calls % kCallsBetween === 0 && (await between(at, input.length)) === false) {
            return null;
        }
        const frames = Math.min(kFrames, input.length - at);
        session.samples.set(input.subarray(at, at + frames));
        call(frames);
    }
    for (let flushed = 0; flushed < delay;) {
        const frames = Math.min(delay - flushed, kFrames);
        session.samples.fill(0, 0, frames);
        call(frames);
        flushed += frames;
    }
    session.shutdown();
    return output;
}

// The samples as floats for an AudioBuffer, full scale 32768.
export function toFloats(samples) {
    const floats = new Float32Array(samples.length);
    for (let i = 0; i < samples.length; ++i) floats[i] = samples[i] / 32768;
    return floats;
}
