// 16-bit mono PCM WAV, the canonical 44-byte header, as wacky-render writes it.

export function encodeWav(samples, rate) {
    const dataBytes = samples.length * 2;
    const bytes = new Uint8Array(44 + dataBytes);
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
    for (let i = 0; i < samples.length; ++i) view.setInt16(44 + 2 * i, samples[i], true);
    return bytes;
}

// The channels of a 16-bit PCM WAV file as doubles in [-1, 1), each sample divided by
// 32768 exactly, or null for anything else. Browsers decode such files themselves, but
// not all of them divide by 32768 (some scale the positive half by 1/32767), which would
// move some samples by one step on the way back to 16 bits; read here, a WAV file gives
// the plugin exactly the samples wacky-render gives it.
export function readPcmWav(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at) => String.fromCharCode(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
    if (bytes.length < 12 || tag(0) !== "RIFF" || tag(8) !== "WAVE") return null;
    let format = null;
    for (let at = 12; at + 8 <= bytes.length;) {
        const size = view.getUint32(at + 4, true);
        const body = at + 8;
        if (tag(at) === "fmt " && size >= 16) {
            format = { code: view.getUint16(body, true), channels: view.getUint16(body + 2, true),
                       rate: view.getUint32(body + 4, true), bits: view.getUint16(body + 14, true) };
            if (format.code === 0xfffe && size >= 26) format.code = view.getUint16(body + 24, true);
        } else if (tag(at) === "data" && format) {
            if (format.code !== 1 || format.bits !== 16 || format.channels < 1) return null;
            const frames = Math.floor(Math.min(size, bytes.length - body) / (2 * format.channels));
            const channels = [];
            for (let c = 0; c < format.channels; ++c) {
                const data = new Float64Array(frames);
                for (let f = 0; f < frames; ++f) {
                    data[f] = view.getInt16(body + 2 * (f * format.channels + c), true) / 32768;
                }
                channels.push(data);
            }
            return { rate: format.rate, channels };
        }
        at = body + size + (size & 1);
    }
    return null;
}
