// A sound file through the plugin, as wacky-render does it: decoded and resampled to
// 48 kHz by the browser, mixed down to mono, run through a fresh load of the plugin in
// 480-frame calls (10 ms), lined up with the input by dropping the first 1024 output
// samples and flushing the plugin with 1024 samples of silence.

import { PluginSession } from "./plugin_session.js";
import { mixToSamples } from "./samples.js";
import { readPcmWav } from "./wav.js";

export const kRate = 48000;
export const kDelay = 1024;
export const kFrames = 480;

// The sound in `bytes` as mono 16-bit samples at 48 kHz, and its channel count. A
// 16-bit PCM WAV file at 48 kHz is read exactly; anything else the browser decodes and
// resamples to 48 kHz. Rejects when the browser cannot decode the bytes.
export async function decodeAt48k(bytes) {
    const wav = readPcmWav(new Uint8Array(bytes));
    if (wav?.rate === kRate) return { samples: mixToSamples(wav.channels), channels: wav.channels.length };
    const decoded = await new OfflineAudioContext(1, 1, kRate).decodeAudioData(bytes);
    const channels = [];
    for (let c = 0; c < decoded.numberOfChannels; ++c) channels.push(decoded.getChannelData(c));
    return { samples: mixToSamples(channels), channels: channels.length };
}

// input: mono 16-bit samples at 48 kHz. presses: the menu item IDs to press after the
// load, in order. Resolves to the output, as long as the input.
export async function renderSamples(module, layout, presses, input) {
    const session = await PluginSession.open(module, layout, { maxFrames: kFrames });
    for (const id of presses) session.press(id);
    const output = new Int16Array(input.length);
    let toDrop = kDelay;
    let written = 0;
    const call = (frames) => {
        session.capture(frames);
        const drop = Math.min(toDrop, frames);
        toDrop -= drop;
        const kept = session.samples.subarray(drop, frames);
        output.set(kept.subarray(0, output.length - written), written);
        written += kept.length;
    };
    for (let at = 0; at < input.length; at += kFrames) {
        const frames = Math.min(kFrames, input.length - at);
        session.samples.set(input.subarray(at, at + frames));
        call(frames);
    }
    for (let flushed = 0; flushed < kDelay;) {
        const frames = Math.min(kDelay - flushed, kFrames);
        session.samples.fill(0, 0, frames);
        call(frames);
        flushed += frames;
    }
    session.shutdown();
    return output;
}

export function toAudioBuffer(samples) {
    const buffer = new AudioBuffer({ length: Math.max(1, samples.length), sampleRate: kRate });
    const data = buffer.getChannelData(0);
    for (let i = 0; i < samples.length; ++i) data[i] = samples[i] / 32768;
    return buffer;
}
