// The page's host under node: the module through the same entry points as the client,
// against the native library.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { describe, test } from "node:test";

import { PluginSession } from "../../web/plugin_session.js";
import { compiledModules, kStrengths, nativeDir, nativeRender, readWav, samplePath,
         strengthPresses } from "./support.mjs";

const modules = await compiledModules();
const kFrames = 480;
const sample = readWav(fs.readFileSync(samplePath)).samples;

async function open(variant, onLine) {
    const { module, layout } = modules[variant];
    return PluginSession.open(module, layout, { onLine, maxFrames: kFrames });
}

// The sample through a fresh load of the module in calls of kFrames, the delay kept.
function renderRaw(session) {
    const out = new Int16Array(sample.length);
    for (let at = 0; at < sample.length; at += kFrames) {
        const n = Math.min(kFrames, sample.length - at);
        session.samples.set(sample.subarray(at, at + n));
        session.capture(n);
        out.set(session.samples.subarray(0, n), at);
    }
    return out;
}

describe("start-up and menu", () => {
    test("init asks for the paths the page gives; the identifier is registered", async () => {
        const lines = [];
        const { module, layout } = modules.simd;
        await PluginSession.open(module, layout, {
            onLine: (text) => lines.push(text),
            paths: { getAppPath: "https://example.test/", getPluginPath: "wacky_throats_simd.wasm" },
        });
        assert.deepEqual(lines, [
            "PLUGIN: init", "PLUGIN: App path: https://example.test/", "Resources path: ",
            "Config path: ", "Plugin path: wacky_throats_simd.wasm",
            "PLUGIN: registerPluginID: wacky-throats-web"]);
    });

    test("a path longer than the plugin's buffer arrives cut to it, terminated", async () => {
        const lines = [];
        const { module, layout } = modules.plain;
        const long = "x".repeat(600);
        await PluginSession.open(module, layout, {
            onLine: (text) => lines.push(text),
            paths: { getAppPath: long, getResourcesPath: "é".repeat(300) },
        });
        assert.equal(lines[1], `PLUGIN: App path: ${"x".repeat(511)}`);
        // 511 bytes hold 255 of these two-byte characters; the 256th is left out whole.
        assert.equal(lines[2], `Resources path: ${"é".repeat(255)}`);
        assert.equal(lines[3], "Config path: ");
    });

    test("the menu is read whole and every block goes back, however often it is built", async () => {
        const session = await open("plain");
        const first = session.menu();
        assert.equal(first.items.length, 10);
        assert.equal(first.icon, "t.png");
        assert.equal(first.released, 12);  // the list, ten records, the icon name
        // A block not given back would exhaust the module's fixed memory long before this.
        for (let i = 0; i < 20000; ++i) assert.equal(session.menu().released, 12);
        assert.deepEqual(session.menu().items, first.items);
    });

    test("the settings read back follow the menu: three increases from the start", async () => {
        for (const variant of ["plain", "simd"]) {
            const session = await open(variant);
            const { items } = session.menu();
            const up = items.find((i) => i.text === "Increase effect strength").id;
            const robot = items.find((i) => i.text === "Robot").id;
            assert.deepEqual(session.settings(), { kind: -1, strength: 0.25 });
            const seen = [];
            for (let i = 0; i < 3; ++i) {
                session.press(up);
                seen.push(session.settings().strength);
            }
            assert.deepEqual(seen, [0.75, 1, 1]);
            session.press(robot);
            assert.equal(session.settings().kind, robot - items[0].id);
        }
    });
});

describe("bit for bit with the native library", () => {
    // The setting wt_readEffect reports is checked against what the voice path did with the
    // same load: the native render of the effect and strength reported must be the output.
    test("every effect at every strength, 480-frame calls, both modules; the reading agrees", async () => {
        const { items } = (await open("plain")).menu();
        const choices = items.filter((i) => !i.text.includes("strength"));
        assert.equal(choices.length, 8);
        const renders = new Map();
        const native = (effect, strength) => {
            const key = `${effect}@${strength}`;
            if (!renders.has(key)) {
                renders.set(key, readWav(nativeRender({ effect, strength, raw: true })).samples);
            }
            return renders.get(key);
        };
        // wacky-render names the kinds in their order; -1 is none.
        const kindNames = execFileSync(path.join(nativeDir, "wacky-render"), ["--list"], { encoding: "utf8" })
            .split("\n").map((line) => line.trim()).filter((line) => line);
        const same = (a, b) => Buffer.compare(Buffer.from(a.buffer), Buffer.from(b.buffer)) === 0;
        const table = [];
        for (const choice of choices) {
            for (const strength of kStrengths) {
                const name = choice.text === "No effect" ? "none" : choice.text;
                const expected = native(name, strength);
                assert.equal(expected.length, sample.length);
                const row = { effect: choice.text, strength };
                for (const variant of ["plain", "simd"]) {
                    const session = await open(variant);
                    for (const id of strengthPresses(items, strength)) session.press(id);
                    session.press(choice.id);
                    const reading = session.settings();
                    const out = renderRaw(session);
                    row[variant] = same(out, expected) ? "identical" : "DIFFERENT";
                    const readName = reading.kind === -1 ? "none" : kindNames[reading.kind];
                    assert.ok(readName !== undefined && same(out, native(readName, reading.strength)),
                              `${variant}: ${choice.text} at ${strength} read as ${JSON.stringify(reading)}`);
                }
                table.push(row);
            }
        }
        console.table(table);
        for (const row of table) {
            assert.equal(row.plain, "identical", `${row.effect} at ${row.strength}`);
            assert.equal(row.simd, "identical", `${row.effect} at ${row.strength}`);
        }
    });
});
