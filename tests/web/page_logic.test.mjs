// The page's own logic under node: sample conversion, WAV files, what the menu items do,
// and the render's alignment.

import assert from "node:assert/strict";
import { describe, test } from "node:test";

import fs from "node:fs";

import { exactLags } from "../../web/live.js";
import { learnMenu } from "../../web/menu_meaning.js";
import { PluginSession } from "../../web/plugin_session.js";
import { renderSamples } from "../../web/render.js";
import { mixToSamples, toSample } from "../../web/samples.js";
import { encodeWav, readPcmWav } from "../../web/wav.js";
import { compiledModules, readWav, samplePath } from "./support.mjs";

const { simd } = await compiledModules();

describe("samples", () => {
    test("floats become 16-bit samples as wacky-render makes them", () => {
        const cases = [[0, 0], [1, 32767], [-1, -32768], [2, 32767], [-2, -32768], [NaN, -32768],
                       [0.5 / 32768, 1], [-0.5 / 32768, -1], [0.49 / 32768, 0], [1.5 / 32768, 2],
                       [-2.5 / 32768, -3], [32766.5 / 32768, 32767], [-32767.5 / 32768, -32768],
                       [12345 / 32768, 12345], [-12345 / 32768, -12345]];
        for (const [value, sample] of cases) assert.equal(toSample(value), sample, `${value}`);
    });

    test("channels are mixed down to their mean before rounding", () => {
        const left = [0.5, 1, -1, 3 / 32768];
        const right = [-0.5, 1, 0, 0];
        assert.deepEqual(Array.from(mixToSamples([left, right])), [0, 32767, -16384, 2]);
    });
});

describe("WAV files", () => {
    const stereo = (frames, rate, extensible = false) => {
        const fmtSize = extensible ? 40 : 16;
        const bytes = new Uint8Array(20 + fmtSize + 16 + frames.length * 4);
        const view = new DataView(bytes.buffer);
        const tag = (at, t) => { for (let i = 0; i < 4; ++i) bytes[at + i] = t.charCodeAt(i); };
        tag(0, "RIFF"); view.setUint32(4, bytes.length - 8, true); tag(8, "WAVE");
        tag(12, "fmt "); view.setUint32(16, fmtSize, true);
        view.setUint16(20, extensible ? 0xfffe : 1, true); view.setUint16(22, 2, true);
        view.setUint32(24, rate, true); view.setUint32(28, rate * 4, true);
        view.setUint16(32, 4, true); view.setUint16(34, 16, true);
        if (extensible) view.setUint16(20 + 24, 1, true);
        let at = 20 + fmtSize;
        tag(at, "LIST"); view.setUint32(at + 4, 0, true);  // an empty chunk before the data
        at += 8;
        tag(at, "data"); view.setUint32(at + 4, frames.length * 4 + 100, true);  // overlong size
        frames.forEach(([l, r], i) => { view.setInt16(at + 8 + 4 * i, l, true); view.setInt16(at + 10 + 4 * i, r, true); });
        return bytes.subarray(0, at + 8 + frames.length * 4);
    };

    test("16-bit PCM is read exactly, plain or extensible, past other chunks", () => {
        for (const extensible of [false, true]) {
            const wav = readPcmWav(stereo([[-32768, 32767], [1, -1], [16384, 0]], 44100, extensible));
            assert.equal(wav.rate, 44100);
            assert.equal(wav.channels, 2);
            // The mean as mixToSamples makes it: -0.5 rounds away from zero.
            assert.deepEqual(Array.from(wav.samples), [-1, 0, 8192]);
        }
    });

    test("anything else is left to the browser", () => {
        assert.equal(readPcmWav(new TextEncoder().encode("RIFF but not a wave at all")), null);
        const float = stereo([[1, 2]], 48000);
        new DataView(float.buffer).setUint16(20, 3, true);  // IEEE float
        assert.equal(readPcmWav(float), null);
    });

    test("what the page writes reads back the same", () => {
        const samples = Int16Array.from([0, 1, -1, 32767, -32768, 1234]);
        const wav = readPcmWav(encodeWav(samples, 48000));
        assert.equal(wav.rate, 48000);
        assert.deepEqual(Array.from(wav.samples), Array.from(samples));
    });
});

describe("what the page learns from the plugin", () => {
    test("each menu item's meaning, from fresh loads of the module", async () => {
        const { module, layout } = simd;
        const { items } = (await PluginSession.open(module, layout)).menu();
        const meaning = await learnMenu(module, layout, items);
        const byText = Object.fromEntries(items.map((i) => [i.text, meaning.get(i.id)]));
        assert.deepEqual(byText, {
            "Higher": { selects: 0 }, "Lower": { selects: 1 }, "Monster": { selects: 2 },
            "Space Voice": { selects: 3 }, "Space Voice 2": { selects: 4 }, "Robot": { selects: 5 },
            "Alien": { selects: 6 }, "No effect": { selects: -1 },
            "Increase effect strength": { strength: true }, "Decrease effect strength": { strength: true },
        });
    });

    test("a render is lined up with its input, whatever its length", async () => {
        const { module, layout } = simd;
        const { items } = (await PluginSession.open(module, layout)).menu();
        const none = items.find((i) => i.text === "No effect").id;
        for (const length of [0, 1, 479, 480, 1023, 1024, 1025, 5000]) {
            const input = Int16Array.from({ length }, (_, i) => ((i * 7919) % 65536) - 32768);
            const output = await renderSamples(module, layout, [none], input);
            assert.deepEqual(Array.from(output), Array.from(input), `length ${length}`);
        }
    });
});

describe("the delay check", () => {
    test("one delay for a voice; none to tell from a steady tone or from silence", () => {
        const delayed = (input, lag) => Int16Array.from(input, (_, i) => (i < lag ? 0 : input[i - lag]));
        const voice = readWav(fs.readFileSync(samplePath)).samples.subarray(48000, 48000 + 16384);
        assert.deepEqual(exactLags(voice, delayed(voice, 1024)), { lags: [1024], silent: false });
        // 1 kHz at 48 kHz repeats every 48 samples: 1024 = 21 * 48 + 16.
        const tone = Int16Array.from({ length: 16384 }, (_, i) => Math.round(8000 * Math.sin((2 * Math.PI * i) / 48)));
        const { lags } = exactLags(tone, delayed(tone, 1024), 8192);
        assert.ok(lags.includes(16) && lags.includes(1024), `${lags}`);
        assert.deepEqual(exactLags(new Int16Array(16384), new Int16Array(16384)), { lags: [], silent: true });
    });
});
