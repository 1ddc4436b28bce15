// Finds and compiles the plugin module for this browser: the SIMD build where the engine
// validates WebAssembly SIMD, the plain one elsewhere. modules.json, written by the
// build, names both files and the binary interface the page hosts them through.

// (module (func (result v128) (v128.const i64x2 0 0))): valid only with SIMD.
const kSimdProbe = new Uint8Array([
    0x00, 0x61, 0x73, 0x6d, 0x01, 0x00, 0x00, 0x00,
    0x01, 0x05, 0x01, 0x60, 0x00, 0x01, 0x7b,
    0x03, 0x02, 0x01, 0x00,
    0x0a, 0x16, 0x01, 0x14, 0x00, 0xfd, 0x0c,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0x0b,
]);

export function webAssemblyAvailable() {
    return typeof WebAssembly === "object" && typeof WebAssembly.instantiate === "function";
}

export function simdSupported() {
    return webAssemblyAvailable() && WebAssembly.validate(kSimdProbe);
}

async function compileFrom(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
    // Streaming compilation needs the application/wasm type; a server that sends
    // another one still gets the module compiled, from the whole body.
    if (response.headers.get("Content-Type") === "application/wasm") {
        return WebAssembly.compileStreaming(response);
    }
    return WebAssembly.compile(await response.arrayBuffer());
}

// Resolves to { module, layout, variant } with variant "simd" or "plain".
export async function loadPlugin(baseUrl, { forcePlain = false } = {}) {
    const manifestUrl = new URL("modules.json", baseUrl);
    const response = await fetch(manifestUrl);
    if (!response.ok) throw new Error(`${manifestUrl}: ${response.status} ${response.statusText}`);
    const manifest = await response.json();
    if (!forcePlain && simdSupported()) {
        try {
            const layout = manifest.simd;
            return { module: await compileFrom(new URL(layout.file, baseUrl)), layout, variant: "simd" };
        } catch {
            // An engine that validates the probe yet rejects the module: use the plain one.
        }
    }
    const layout = manifest.plain;
    return { module: await compileFrom(new URL(layout.file, baseUrl)), layout, variant: "plain" };
}
