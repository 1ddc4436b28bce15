// The client's function table, as the page hands it to the plugin: abi.hostSlots
// pointer-sized slots, passed by value, which in wasm32 means by the address of a copy
// that the plugin copies again. Slot numbers and signatures come from the module's
// manifest entry (`abi`, printed at build time from the plugin's headers).
//
// A function pointer in WebAssembly is an index into the module's function table, and
// only WebAssembly functions can be stored there. A JavaScript function becomes one
// through a module of a few bytes that imports it and exports it again; the export is
// set into the table, grown for it. So the plugin module itself imports nothing for its
// host functions.
//
// The page answers only what the entry points it calls ask for: ts3plugin_init asks for
// the four paths. Every other slot is null, which the plugin treats as a function the
// client does not offer.

import { encodeUtf8 } from "./utf8.js";

// The host functions the page answers: each writes a path, (char* path, size_t maxLen).
export const kPathFunctions = ["getAppPath", "getResourcesPath", "getConfigPath", "getPluginPath"];

const kValueTypes = { i: 0x7f, j: 0x7e, f: 0x7d, d: 0x7c };

function encodedName(name) {
    return [name.length, ...Array.from(name, (c) => c.charCodeAt(0))];
}

function section(id, contents) {
    if (contents.length > 127) throw new Error("section too long for this encoder");
    return [id, contents.length, ...contents];
}

const wrappers = new Map();  // compiled wrapper module by signature

// A WebAssembly function that calls `fn`, with the given signature.
export function wasmFunction(fn, { params, result }) {
    const key = `${params.join("")}->${result ?? ""}`;
    let wrapper = wrappers.get(key);
    if (!wrapper) {
        const type = [0x60, params.length, ...params.map((p) => kValueTypes[p]),
                      ...(result ? [1, kValueTypes[result]] : [0])];
        wrapper = new WebAssembly.Module(new Uint8Array([
            0x00, 0x61, 0x73, 0x6d, 0x01, 0x00, 0x00, 0x00,
            ...section(1, [1, ...type]),
            ...section(2, [1, ...encodedName("e"), ...encodedName("f"), 0x00, 0x00]),
            ...section(7, [1, ...encodedName("f"), 0x00, 0x00]),
        ]));
        wrappers.set(key, wrapper);
    }
    return new WebAssembly.Instance(wrapper, { e: { f: fn } }).exports.f;
}

// Writes `text` as a terminated UTF-8 string of at most `size` bytes at `address`; a text
// too long is cut before the character that does not fit whole.
export function writeText(memory, address, size, text) {
    if (size === 0) return;
    const encoded = encodeUtf8(text);
    let length = Math.min(encoded.length, size - 1);
    if (length < encoded.length) {
        while (length > 0 && (encoded[length] & 0xc0) === 0x80) --length;
    }
    const view = new Uint8Array(memory.buffer, address, size);
    view.set(encoded.subarray(0, length));
    view[length] = 0;
}

// Builds the table in the module's memory and hands it over. `paths` gives the text of
// each path function (names of kPathFunctions). The copy is released again once handed
// over.
export function installHostFunctions(exports, abi, paths) {
    if (abi.pointerSize !== Uint32Array.BYTES_PER_ELEMENT) {
        throw new Error(`the page hosts wasm32 modules only, not ${abi.pointerSize}-byte pointers`);
    }
    const table = exports.__indirect_function_table;
    const base = exports.malloc(abi.hostSlots * abi.pointerSize);
    if (base === 0) throw new Error("the plugin module is out of memory");
    const slots = new Uint32Array(exports.memory.buffer, base, abi.hostSlots);
    slots.fill(0);
    for (const name of kPathFunctions) {
        const { slot, params, result } = abi.hostFunctions[name];
        if (params.join("") !== "ii" || result !== "i") {
            throw new Error(`host function ${name} is no longer (char*, size_t) -> unsigned int`);
        }
        const text = paths[name] ?? "";
        const answer = (address, size) => {
            writeText(exports.memory, address, size, text);
            return 0;
        };
        const index = table.grow(1);
        table.set(index, wasmFunction(answer, { params, result }));
        slots[slot] = index;
    }
    exports.ts3plugin_setFunctionPointers(base);
    exports.free(base);
}
