// One loaded copy of the plugin, driven as the client drives it: an instance of the
// compiled module with its own memory, started with the host table, ts3plugin_init and
// ts3plugin_registerPluginID; then menus, menu events and captured voice.
//
// Each instance is a fresh load: its effect settings and sample rings start as the
// plugin's do after loading. Instances share nothing, so a render never disturbs the
// live voice.

import { installHostFunctions } from "./host_table.js";
import { WasmConsole } from "./wasm_console.js";
import { decodeUtf8 } from "./utf8.js";

export const kPluginId = "wacky-throats-web";
export const kServerConnection = 1n;  // the one "server tab" of the page

export class PluginSession {
    // module: the compiled plugin. layout: its manifest entry (the file and the binary
    // interface, `abi`, that modules.json gives for it). options.onLine(text): each console line. options.paths: the texts of the
    // path queries. options.maxFrames: the largest capture call this session makes.
    static async open(module, layout, options = {}) {
        const console = new WasmConsole(options.onLine ?? (() => {}));
        const imports = {
            wasi_snapshot_preview1: { fd_write: (...args) => console.fdWrite(...args) },
        };
        const instance = await WebAssembly.instantiate(module, imports);
        console.memory = instance.exports.memory;
        return new PluginSession(instance.exports, layout, options);
    }

    constructor(exports, layout, options) {
        this.exports = exports;
        this.layout = layout;
        exports._initialize();
        this.abi = layout.abi;
        installHostFunctions(exports, this.abi, options.paths ?? {});
        exports.ts3plugin_init();
        this.#registerId();
        // The memory never grows (the module is linked with a fixed size), so views made
        // once stay valid; the voice path makes none.
        this.maxFrames = options.maxFrames ?? 4096;
        this.bufferAddress = this.#allocate(this.maxFrames * 2);
        this.flagsAddress = this.#allocate(4);
        this.readingAddress = this.#allocate(this.abi.effectReading.size);
        this.samples = new Int16Array(exports.memory.buffer, this.bufferAddress, this.maxFrames);
        this.flags = new Int32Array(exports.memory.buffer, this.flagsAddress, 1);
        this.words = new DataView(exports.memory.buffer);
    }

    #allocate(bytes) {
        const address = this.exports.malloc(bytes);
        if (address === 0) throw new Error("the plugin module is out of memory");
        return address;
    }

    #registerId() {
        const bytes = new Uint8Array(kPluginId.length + 1);
        for (let i = 0; i < kPluginId.length; ++i) bytes[i] = kPluginId.charCodeAt(i);
        const address = this.#allocate(bytes.length);
        new Uint8Array(this.exports.memory.buffer, address, bytes.length).set(bytes);
        this.exports.ts3plugin_registerPluginID(address);  // the plugin keeps its own copy
        this.exports.free(address);
    }

    // The plugin's menu as ts3plugin_initMenus builds it: [{type, id, text}] in list
    // order, and the menu icon name. Every block it hands over is given back through
    // ts3plugin_freeMemory before this returns; `released` counts them.
    menu() {
        const e = this.exports;
        const { pointerSize, menuItem } = this.abi;
        const out = this.#allocate(2 * pointerSize);
        const words = new Uint32Array(e.memory.buffer);  // pointers: wasm32 (host_table.js)
        words[out >>> 2] = 0;
        words[(out >>> 2) + 1] = 0;
        e.ts3plugin_initMenus(out, out + pointerSize);
        const list = words[out >>> 2];
        const iconAddress = words[(out >>> 2) + 1];
        e.free(out);
        const items = [];
        let released = 0;
        if (list !== 0) {
            for (let i = 0; ; ++i) {
                const record = words[(list >>> 2) + i];
                if (record === 0) break;
                items.push({
                    type: this.words.getInt32(record + menuItem.type, true),
                    id: this.words.getInt32(record + menuItem.id, true),
                    text: this.#text(record + menuItem.text, menuItem.textSize),
                });
                e.ts3plugin_freeMemory(record);
                ++released;
            }
            e.ts3plugin_freeMemory(list);
            ++released;
        }
        const icon = iconAddress !== 0 ? this.#text(iconAddress, menuItem.iconSize) : "";
        if (iconAddress !== 0) {
            e.ts3plugin_freeMemory(iconAddress);
            ++released;
        }
        return { items, icon, released };
    }

    #text(address, size) {
        const bytes = new Uint8Array(this.exports.memory.buffer, address, size);
        const end = bytes.indexOf(0);
        return decodeUtf8(bytes, end < 0 ? size : end);
    }

    // A click on a menu item of the plugin's global menu.
    press(id) {
        this.exports.ts3plugin_onMenuItemEvent(kServerConnection, this.abi.menuTypeGlobal, id, 0n);
    }

    // The effect setting the voice path processes its next block with: the kind (-1 for
    // none) and the strength, through the module's wt_readEffect.
    settings() {
        const { effectReading } = this.abi;
        this.exports.wt_readEffect(this.readingAddress);
        return {
            kind: this.words.getInt32(this.readingAddress + effectReading.kind, true),
            strength: this.words.getFloat32(this.readingAddress + effectReading.strength, true),
        };
    }

    // Runs the first `frames` mono samples of this.samples through the capture entry
    // point, in place. Allocates nothing.
    capture(frames) {
        this.flags[0] = 0;
        this.exports.ts3plugin_onEditCapturedVoiceDataEvent(kServerConnection, this.bufferAddress,
                                                            frames, 1, this.flagsAddress);
    }

    shutdown() {
        this.exports.ts3plugin_shutdown();
    }
}
