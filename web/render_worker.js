// The file side's work, off the page's thread so that a long file never freezes the page:
// the chosen file's samples, its renders through the plugin, the before/after pictures,
// the WAV to download, the floats to play, and the engine timing. A module worker on
// the same compiled module as the page; every render and timing is a fresh load.
//
// Messages in (each with an `id` the answer carries back):
//   {type: "plugin", module, layout}
//   {type: "open", source, width, height}   source: a soundSource result
//   {type: "render", presses, width, height}
//   {type: "time", presses}
//   {type: "floats", which}                 which: "input" or "output"
// Out: {type: "opened", id, frames, channels, pixels}, {type: "progress", id, done},
// {type: "rendered", id, pixels, wav}, {type: "timed", id, figures}, {type: "floats",
// id, floats}, {type: "failed", id, message}. A render or timing that a newer request
// makes pointless (an open, a render, a timing) stops and answers nothing.

import { timeBlocks } from "./engine_timing.js";
import { kRate } from "./page_rate.js";
import { renderSamples, sourceSamples, toFloats } from "./render.js";
import { spectrogramPixels } from "./sonogram.js";
import { encodeWav } from "./wav.js";

const kSliceMs = 40;  // the longest stretch of work between two looks at the messages

let plugin = null;  // { module, layout }
let input = null;   // Int16Array, mono at the page's rate
let output = null;  // the last render's samples
let renderGeneration = 0;
let timingGeneration = 0;

// Lets the worker's message queue run. A message channel, not setTimeout, which browsers
// slow down to 4 ms when nested.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()?.();
const yieldToMessages = () => new Promise((resolve) => {
    waiting.push(resolve);
    channel.port2.postMessage(0);
});

// A `between` callback for long loops: yields every kSliceMs, reports progress, and
// gives false once `current()` says the work is stale.
function slicer(current, onProgress) {
    let sliceStart = performance.now();
    return async (done, total) => {
        if (performance.now() - sliceStart < kSliceMs) return true;
        onProgress?.(done / total);
        await yieldToMessages();
        sliceStart = performance.now();
        return current();
    };
}

const answer = (message, transfer = []) => self.postMessage(message, transfer);

async function render({ id, presses, width, height }) {
    const generation = ++renderGeneration;
    ++timingGeneration;
    const current = () => generation === renderGeneration;
    const samples = await renderSamples(plugin.module, plugin.layout, presses, input, {
        between: slicer(current, (done) => answer({ type: "progress", id, done })),
    });
    if (samples === null || !current()) return;
    output = samples;
    const pixels = spectrogramPixels(samples, width, height, kRate);
    const wav = new Blob([encodeWav(samples, kRate)], { type: "audio/wav" });
    answer({ type: "rendered", id, pixels, wav }, [pixels.buffer]);
}

async function time({ id, presses }) {
    const generation = ++timingGeneration;
    const current = () => generation === timingGeneration;
    const figures = await timeBlocks(plugin.module, plugin.layout, presses, input ?? new Int16Array(0),
                                     async () => {
                                         await yieldToMessages();
                                         return current();
                                     });
    if (figures !== null && current()) answer({ type: "timed", id, figures });
}

function open({ id, source, width, height }) {
    ++renderGeneration;
    ++timingGeneration;
    const { samples, channels } = sourceSamples(source);
    input = samples;
    output = null;
    const pixels = spectrogramPixels(samples, width, height, kRate);
    answer({ type: "opened", id, frames: samples.length, channels, pixels }, [pixels.buffer]);
}

function floats({ id, which }) {
    const result = toFloats((which === "input" ? input : output) ?? new Int16Array(0));
    answer({ type: "floats", id, floats: result }, [result.buffer]);
}

self.onmessage = async ({ data }) => {
    try {
        if (data.type === "plugin") plugin = { module: data.module, layout: data.layout };
        else if (data.type === "open") open(data);
        else if (data.type === "render") await render(data);
        else if (data.type === "time") await time(data);
        else if (data.type === "floats") floats(data);
    } catch (error) {
        answer({ type: "failed", id: data.id, message: String(error?.message ?? error) });
    }
};
