// Both modules export exactly the entry points of the committed list, the allocator, the
// one reading of the effect setting and the runtime's own memory, table, start-up and
// stack functions, and import nothing but WASI fd_write.

import assert from "node:assert/strict";
import fs from "node:fs";
import { test } from "node:test";

import { compiledModules, exportedSymbolsPath } from "./support.mjs";

const kRuntime = ["memory", "__indirect_function_table", "_initialize", "malloc", "free",
                  "stackSave", "stackRestore", "stackAlloc"];
const kWebOnly = ["wt_readEffect"];

const entryPoints = fs.readFileSync(exportedSymbolsPath, "utf8").split("\n")
    .map((line) => line.trim()).filter((line) => line && !line.startsWith("#"));

const modules = await compiledModules();

for (const [variant, { module }] of Object.entries(modules)) {
    test(`${variant} module: exports are the entry points, the reading and the runtime, nothing else`, () => {
        assert.ok(entryPoints.length > 0 && new Set(entryPoints).size === entryPoints.length);
        const exports = WebAssembly.Module.exports(module);
        const names = exports.map((e) => e.name).sort();
        assert.deepEqual(names, [...entryPoints, ...kWebOnly, ...kRuntime].sort());
        for (const e of exports) {
            if (e.name.startsWith("ts3plugin_")) assert.equal(e.kind, "function", e.name);
        }
    });

    test(`${variant} module: imports only fd_write`, () => {
        assert.deepEqual(WebAssembly.Module.imports(module),
                         [{ module: "wasi_snapshot_preview1", name: "fd_write", kind: "function" }]);
    });
}

// Counts the v128 values a module declares: in function signatures and in the locals of
// function bodies. A module that declares none runs on an engine without SIMD as long as
// it validates; the page takes that one where SIMD is missing.
function v128Declarations(bytes) {
    let at = 8;
    const leb = () => {
        let value = 0;
        for (let shift = 0; ; shift += 7) {
            const b = bytes[at++];
            value += (b & 0x7f) * 2 ** shift;
            if (b < 0x80) return value;
        }
    };
    let count = 0;
    while (at < bytes.length) {
        const id = bytes[at++];
        const end = leb() + at;
        if (id === 1) {  // types: 0x60, params, results
            for (let n = leb(); n > 0; --n) {
                ++at;
                for (let k = 0; k < 2; ++k) {
                    for (let m = leb(); m > 0; --m) if (bytes[at++] === 0x7b) ++count;
                }
            }
        } else if (id === 10) {  // code: per body its size, then (count, type) pairs
            for (let n = leb(); n > 0; --n) {
                const bodyEnd = leb() + at;
                for (let m = leb(); m > 0; --m) {
                    leb();
                    if (bytes[at++] === 0x7b) ++count;
                }
                at = bodyEnd;
            }
        }
        at = end;
    }
    return count;
}

test("only the SIMD module declares v128 values", () => {
    assert.ok(v128Declarations(modules.simd.bytes) > 0);
    assert.equal(v128Declarations(modules.plain.bytes), 0);
});
