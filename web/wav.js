// 16-bit mono PCM WAV, the canonical 44-byte header, as wacky-render writes it; and the
// reading of WAV files, which the page does itself where it can (see readPcmWav).

import { toSample } from "./samples.js";

const kHeaderBytes = 44;
const kLittleEndian = new Uint8Array(new Uint16Array([1]).buffer)[0] === 1;

export function encodeWav(samples, rate) {
    const dataBytes = samples.length * 2;
    const bytes = new Uint8Array(kHeaderBytes + dataBytes);
    const view = new DataView(bytes.buffer);
    const tag = (at, text) => { for (let i = 0; i < 4; ++i) bytes[at + i] = text.charCodeAt(i); };
    tag(0, "RIFF");
    view.setUint32(4, 36 + dataBytes, true);
    tag(8, "WAVE");
    tag(12, "fmt ");
    view.setUint32(16, 16, true);        // size of the format chunk
    view.setUint16(20, 1, true);         // PCM
    view.setUint16(22, 1, true);         // one channel
    view.setUint32(24, rate, true);
    view.setUint32(28, rate * 2, true);  // bytes per second
    view.setUint16(32, 2, true);         // bytes per frame
    view.setUint16(34, 16, true);        // bits per sample
    tag(36, "data");
    view.setUint32(40, dataBytes, true);
    // A copy in one go where the machine is little-endian like the file: a long file's
    // samples are tens of megabytes.
    if (kLittleEndian) new Int16Array(bytes.buffer, kHeaderBytes, samples.length).set(samples);
    else for (let i = 0; i < samples.length; ++i) view.setInt16(kHeaderBytes + 2 * i, samples[i], true);
    return bytes;
}

// What a RIFF WAVE file's chunks say, without reading its samples: { code, bits,
// channels, rate, dataAt, frames }, frames 0 where there is no data chunk or an empty
// one; null for anything that is not RIFF WAVE with a format chunk.
export function wavHeader(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at) => String.fromCharCode(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
    if (bytes.length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return null;
    let format = null;
    for (let at = 12; at + 8 <= bytes.length;) {
        const size = view.getUint32(at + 4, true);
        const body = at + 8;
        if (tag(at) === "fmt " && size >= 16) {
            format = { code: view.getUint16(body, true), channels: view.getUint16(body + 2, true),
                       rate: view.getUint32(body + 4, true), bits: view.getUint16(body + 14, true),
                       dataAt: 0, frames: 0 };
            if (format.code === 0xfffe && size >= 26) format.code = view.getUint16(body + 24, true);
        } else if (tag(at) === "data" && format) {
            const frameBytes = Math.max(1, format.channels * Math.ceil(format.bits / 8));
            format.dataAt = body;
            format.frames = Math.floor(Math.min(size, bytes.length - body) / frameBytes);
            return format;
        }
        at = body + size + (size & 1);
    }
    return format;
}

// A 16-bit PCM WAV file as { rate, channels, samples }: the channels mixed down to mono
// 16-bit samples exactly as mixToSamples does it (each sample divided by 32768, the mean
// rounded), without a copy of each channel, so a long file costs its mono samples only.
// null for anything else. Browsers decode such files themselves, but not all of them
// divide by 32768 (some scale the positive half by 1/32767), which would move some
// samples by one step on the way back to 16 bits; read here, a WAV file gives the plugin
// exactly the samples wacky-render gives it.
export function readPcmWav(bytes) {
    const format = wavHeader(bytes);
    if (!format || format.code !== 1 || format.bits !== 16 || format.channels < 1) return null;
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const count = format.channels;
    const samples = new Int16Array(format.frames);
    for (let f = 0, at = format.dataAt; f < format.frames; ++f) {
        let sum = 0;
        for (let c = 0; c < count; ++c, at += 2) sum += view.getInt16(at, true) / 32768;
        samples[f] = toSample(sum / count);
    }
    return { rate: format.rate, channels: count, samples };
}
