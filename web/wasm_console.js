// The module's one import: WASI fd_write, through which the C library's printf reaches
// us. Bytes are gathered into lines; each complete line, newline removed, goes to the
// callback as a string.

import { decodeUtf8 } from "./utf8.js";

const kNewline = 10;
const kLineLimit = 4096;  // a longer line is handed over in pieces of this many bytes

export class WasmConsole {
    // onLine(text, fd): fd 1 is standard output, 2 standard error.
    constructor(onLine) {
        this.onLine = onLine;
        this.memory = null;  // the instance's memory, set once it exists
        this.pending = new Uint8Array(kLineLimit);
        this.length = 0;
    }

    // fd_write(fd, iovs, iovsCount, written): iovs is an array of {pointer, length}
    // pairs of 32-bit words. Returns 0, the WASI code for success.
    fdWrite(fd, iovs, iovsCount, writtenAddress) {
        const bytes = new Uint8Array(this.memory.buffer);
        const words = new Uint32Array(this.memory.buffer);
        let total = 0;
        for (let v = 0; v < iovsCount; ++v) {
            const pointer = words[(iovs >>> 2) + 2 * v];
            const length = words[(iovs >>> 2) + 2 * v + 1];
            for (let i = 0; i < length; ++i) this.#take(bytes[pointer + i], fd);
            total += length;
        }
        words[writtenAddress >>> 2] = total;
        return 0;
    }

    #take(byte, fd) {
        if (byte !== kNewline) this.pending[this.length++] = byte;
        if (byte === kNewline || this.length === kLineLimit) {
            const text = decodeUtf8(this.pending, this.length);
            this.length = 0;
            this.onLine(text, fd);
        }
    }
}
