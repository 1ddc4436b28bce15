// Between the browser's float samples and the plugin's 16-bit ones, the same way as
// wacky-render: full scale is 32768, values are rounded to the nearest whole number
// (halves away from zero) and kept within the 16-bit range; several channels are mixed
// down to their mean first, as the client captures a microphone.

export function toSample(value) {
    const scaled = value * 32768;
    if (!(scaled > -32768)) return -32768;  // NaN lands here too
    if (scaled >= 32767) return 32767;
    const whole = Math.trunc(scaled);
    // scaled - whole is exact, so halves are found exactly.
    return Math.abs(scaled - whole) >= 0.5 ? whole + Math.sign(scaled) : whole;
}

// channels: arrays of floats of one length. Returns the mono 16-bit samples.
export function mixToSamples(channels) {
    const length = channels[0].length;
    const count = channels.length;
    const out = new Int16Array(length);
    for (let i = 0; i < length; ++i) {
        let sum = 0;
        for (let c = 0; c < count; ++c) sum += channels[c][i];
        out[i] = toSample(sum / count);
    }
    return out;
}
