// UTF-8 both ways, also where TextEncoder and TextDecoder are missing (an AudioWorklet's
// global scope lacks them in some browsers).

export function encodeUtf8(text) {
    if (typeof TextEncoder === "function") return new TextEncoder().encode(text);
    const bytes = [];
    for (const character of text) {
        const code = character.codePointAt(0);
        if (code < 0x80) {
            bytes.push(code);
        } else if (code < 0x800) {
            bytes.push(0xc0 | (code >> 6), 0x80 | (code & 0x3f));
        } else if (code < 0x10000) {
            bytes.push(0xe0 | (code >> 12), 0x80 | ((code >> 6) & 0x3f), 0x80 | (code & 0x3f));
        } else {
            bytes.push(0xf0 | (code >> 18), 0x80 | ((code >> 12) & 0x3f),
                       0x80 | ((code >> 6) & 0x3f), 0x80 | (code & 0x3f));
        }
    }
    return new Uint8Array(bytes);
}

// The first `length` bytes of `bytes`. A broken sequence decodes to what it spells; the
// plugin's texts are ASCII.
export function decodeUtf8(bytes, length = bytes.length) {
    if (typeof TextDecoder === "function") return new TextDecoder().decode(bytes.subarray(0, length));
    let text = "";
    for (let i = 0; i < length;) {
        const b = bytes[i];
        const extra = b >= 0xf0 ? 3 : b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : 0;
        let code = extra === 0 ? b : b & (0x3f >> extra);
        for (let k = 1; k <= extra; ++k) code = (code << 6) | (bytes[i + k] & 0x3f);
        text += String.fromCodePoint(code);
        i += extra + 1;
    }
    return text;
}
