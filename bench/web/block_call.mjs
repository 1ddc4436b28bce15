// The WebAssembly modules' block step under node against the native library's.
//
//   node bench/web/block_call.mjs [SITE] [WT_BENCH]   (defaults: build/web, build/bench/bench/wt_bench)
//
// The timed call is a one-block mono capture call (the block size modules.json gives),
// which completes exactly one block: the block step and the exchange of its samples. The
// native side is wt_bench's capture-block cases (SSE2, which every x86-64 has, and the
// widest set this CPU runs).
// As there: medians of 15 repetitions of at least 0.1 s of CPU time, per call.

import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import { PluginSession } from "../../web/plugin_session.js";

const site = process.argv[2] ?? "build/web";
const nativeBench = process.argv[3] ?? "build/bench/bench/wt_bench";
const manifest = JSON.parse(fs.readFileSync(path.join(site, "modules.json"), "utf8"));
const kBlock = manifest.plain.abi.blockSize;
const kRepetitions = 15;
const kMinSeconds = 0.1;
const kEffects = { "no-effect": "No effect", robot: "Robot" };

const cpuSeconds = () => {
    const { user, system } = process.cpuUsage();
    return (user + system) / 1e6;
};
const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

function noise(count, seed) {
    const out = new Int16Array(count);
    let state = seed;
    for (let i = 0; i < count; ++i) {
        state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
        out[i] = (state % 24001) - 12000;
    }
    return out;
}

async function wasmCall(module, layout, effectText) {
    const session = await PluginSession.open(module, layout, { maxFrames: kBlock });
    const { items } = session.menu();
    session.press(items.find((i) => i.text === effectText).id);
    session.samples.set(noise(kBlock, 9));
    for (let i = 0; i < 5000; ++i) session.capture(kBlock);  // past the engine's tier-up
    const perCall = [];
    for (let r = 0; r < kRepetitions; ++r) {
        let calls = 0;
        const started = cpuSeconds();
        let elapsed = 0;
        do {
            for (let i = 0; i < 100; ++i) session.capture(kBlock);
            calls += 100;
            elapsed = cpuSeconds() - started;
        } while (elapsed < kMinSeconds);
        perCall.push((elapsed / calls) * 1e9);
    }
    return median(perCall);
}

function nativeCalls() {
    const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "wt-bench-")), "native.json");
    execFileSync(nativeBench, ["--benchmark_filter=^capture-block/", `--benchmark_out=${out}`,
                               "--benchmark_out_format=json"], { stdio: ["ignore", "ignore", "inherit"] });
    const report = JSON.parse(fs.readFileSync(out, "utf8"));
    const scale = { ns: 1, us: 1e3, ms: 1e6, s: 1e9 };
    const result = {};
    for (const run of report.benchmarks) {
        if (run.aggregate_name !== "median") continue;
        result[run.run_name] = run.cpu_time * scale[run.time_unit];
    }
    return result;
}

const native = nativeCalls();
const rows = [];
for (const [effect, text] of Object.entries(kEffects)) {
    const sse2 = native[`capture-block/${effect}/sse2`];
    const best = Object.entries(native).find(([name]) =>
        name.startsWith(`capture-block/${effect}/`) && !name.endsWith("/sse2"));
    for (const variant of ["simd", "plain"]) {
        const layout = manifest[variant];
        const module = await WebAssembly.compile(fs.readFileSync(path.join(site, layout.file)));
        const time = await wasmCall(module, layout, text);
        rows.push({ effect, module: variant, "ns per block call": Math.round(time),
                    "x native sse2": (time / sse2).toFixed(2),
                    ...(best ? { [`x native ${best[0].split("/")[2]}`]: (time / best[1]).toFixed(2) } : {}) });
    }
    rows.push({ effect, module: "native sse2", "ns per block call": Math.round(sse2) });
    if (best) rows.push({ effect, module: `native ${best[0].split("/")[2]}`, "ns per block call": Math.round(best[1]) });
}
console.log(`\nBlock call (${kBlock} frames, one block step), node ${process.version} against native:`);
console.table(rows);
const robotSimd = rows.find((r) => r.effect === "robot" && r.module === "simd");
const robotPlain = rows.find((r) => r.effect === "robot" && r.module === "plain");
console.log(`wasm-simd/native-sse2 (robot): ${robotSimd["x native sse2"]}   (goal: at most 3)`);
console.log(`wasm-plain/native-sse2 (robot): ${robotPlain["x native sse2"]}`);
