// The live voice: microphone samples through the plugin on the audio thread, one
// 128-frame render quantum per capture call, so the page adds no delay of its own to the
// plugin's one block. The processor loads its own copy of the plugin from the
// compiled module the page posts, replays the page's menu presses, and then allocates
// nothing per quantum: every array it touches is made before the first one.
//
// Messages in: {type: "start", module, layout, presses, stats}, {type: "press", id},
// {type: "bypass", on}, {type: "snapshot"}, {type: "record", on}, {type: "chunk",
// chunk} (a recording chunk given back). Out: {type: "ready"}, {type: "failed",
// message}, {type: "snapshot", input, output, fresh}, {type: "recorded", chunk, length,
// last}, and {type: "stats", stats} where the stats array cannot be shared.
//
// A recording holds what the visitor hears (the plugin's samples, or the input where
// bypassed), as 16-bit samples. It fills chunks made at construction; a full one is
// moved to the page, which copies it and moves it back. Should the page fall behind
// and no chunk be free, the samples are counted in the report, not kept.

import { kStats, kStatsLength } from "./live_stats.js";
import { kRate } from "./page_rate.js";
import { PluginSession } from "./plugin_session.js";
import { toSample } from "./samples.js";

const kQuantum = 128;
const kHistory = 16384;         // samples of input and output kept for the delay check
const kPostEvery = 16;          // quanta between stats messages where nothing is shared
const kClipHold = kRate / kQuantum;  // quanta a clip light stays on: one second
const kPeakFall = 0.97;         // per quantum
const kRecordChunk = 16384;     // samples: 0.34 s at 48 kHz
const kRecordChunks = 8;        // the page has this many chunks' time to give one back

// The engine compiles a function on its first call and optimises it after many; done in
// the first quanta, that work would make them late. A throwaway load of the plugin runs
// its block step here first, for every menu choice, so the live load starts compiled.
async function warmUp(module, layout) {
    const block = layout.abi.blockSize;
    const session = await PluginSession.open(module, layout, { maxFrames: block });
    for (const { id } of session.menu().items) {
        session.press(id);
        for (let i = 0; i < 8; ++i) session.capture(block);
    }
}

class WackyThroatsProcessor extends AudioWorkletProcessor {
    constructor() {
        super();
        this.session = null;
        this.blockSize = 0;     // the plugin's, from the layout "start" brings
        this.bypass = false;
        this.stats = new Float64Array(kStatsLength);
        this.shared = false;
        this.inputHistory = new Int16Array(kHistory);
        this.outputHistory = new Int16Array(kHistory);
        this.historyAt = 0;
        this.quantaSincePress = 0;
        this.expectedFrame = -1;
        this.freeChunks = [];
        for (let i = 0; i < kRecordChunks; ++i) this.freeChunks.push(new Int16Array(kRecordChunk));
        this.recording = false;
        this.chunk = null;      // the chunk being filled, or null
        this.chunkLength = 0;
        this.port.onmessage = (event) => this.#receive(event.data);
    }

    async #receive(message) {
        if (message.type === "start") {
            try {
                if (message.stats) {
                    this.stats = new Float64Array(message.stats);
                    this.shared = true;
                }
                await warmUp(message.module, message.layout);
                const session = await PluginSession.open(message.module, message.layout,
                                                         { maxFrames: kQuantum, paths: message.paths });
                for (const id of message.presses) session.press(id);
                this.blockSize = message.layout.abi.blockSize;
                this.session = session;
                this.port.postMessage({ type: "ready" });
            } catch (error) {
                this.port.postMessage({ type: "failed", message: String(error) });
            }
        } else if (message.type === "press") {
            this.session?.press(message.id);
            this.quantaSincePress = 0;
        } else if (message.type === "bypass") {
            this.bypass = message.on;
        } else if (message.type === "snapshot") {
            // Oldest first; a copy, made on request only.
            const order = (ring) => {
                const out = new Int16Array(kHistory);
                out.set(ring.subarray(this.historyAt), 0);
                out.set(ring.subarray(0, this.historyAt), kHistory - this.historyAt);
                return out;
            };
            this.port.postMessage({ type: "snapshot", input: order(this.inputHistory),
                                    output: order(this.outputHistory),
                                    fresh: Math.min(kHistory, this.quantaSincePress * kQuantum) });
        } else if (message.type === "record") {
            this.recording = message.on;
            if (message.on) this.stats[kStats.recordDropped] = 0;  // counts per recording
            else this.#sendChunk(true);
        } else if (message.type === "chunk") {
            this.freeChunks.push(message.chunk);
        }
    }

    #sendChunk(last) {
        const chunk = this.chunk;
        this.chunk = null;
        if (chunk === null && !last) return;
        this.port.postMessage({ type: "recorded", chunk, length: this.chunkLength, last },
                              chunk ? [chunk.buffer] : []);
        this.chunkLength = 0;
    }

    // One quantum of what the visitor hears into the recording.
    #record(at, count, heardInput) {
        if (this.chunk === null) {
            this.chunk = this.freeChunks.pop() ?? null;
            if (this.chunk === null) {
                this.stats[kStats.recordDropped] += count;
                return;
            }
        }
        const heard = heardInput ? this.inputHistory : this.outputHistory;
        const chunk = this.chunk;
        // A loop, not set(subarray()): a subarray is an object made per quantum.
        for (let i = 0; i < count; ++i) chunk[this.chunkLength + i] = heard[at + i];
        this.chunkLength += count;
        if (this.chunkLength === kRecordChunk) this.#sendChunk(false);
    }

    process(inputs, outputs) {
        const out = outputs[0][0];
        const input = inputs[0].length > 0 ? inputs[0][0] : null;
        const session = this.session;
        if (session === null || out.length !== kQuantum) {
            out.fill(0);
            return true;
        }
        const stats = this.stats;
        // Loading the plugin ran on this thread and stalled it once; the engine catches up
        // by skipping what it missed then, between the first two quanta after the load,
        // while the output was still silent. Gaps count from then on.
        if (stats[kStats.quanta] >= 2 && currentFrame !== this.expectedFrame) {
            stats[kStats.missedQuanta] += Math.round((currentFrame - this.expectedFrame) / kQuantum);
        }
        this.expectedFrame = currentFrame + kQuantum;

        const samples = session.samples;
        const at = this.historyAt;
        let peakIn = 0;
        for (let i = 0; i < kQuantum; ++i) {
            const sample = toSample(input === null ? 0 : input[i]);
            samples[i] = sample;
            this.inputHistory[at + i] = sample;
            const magnitude = Math.abs(sample);
            if (magnitude > peakIn) peakIn = magnitude;
        }
        // Not timed here: this scope's one clock, Date.now(), counts milliseconds, and
        // a call takes microseconds (the page times blocks in its render worker).
        session.capture(kQuantum);

        let peakOut = 0;
        for (let i = 0; i < kQuantum; ++i) {
            const sample = samples[i];
            this.outputHistory[at + i] = sample;
            const magnitude = Math.abs(sample);
            if (magnitude > peakOut) peakOut = magnitude;
            out[i] = this.bypass && input !== null ? input[i] : sample / 32768;
        }
        if (this.recording) this.#record(at, kQuantum, this.bypass && input !== null);
        this.historyAt = (at + kQuantum) % kHistory;
        ++this.quantaSincePress;

        const quanta = ++stats[kStats.quanta];
        stats[kStats.blocks] = Math.floor((quanta * kQuantum) / this.blockSize);
        stats[kStats.inputPeak] = Math.max(peakIn / 32768, stats[kStats.inputPeak] * kPeakFall);
        stats[kStats.outputPeak] = Math.max(peakOut / 32768, stats[kStats.outputPeak] * kPeakFall);
        if (peakIn >= 32767) stats[kStats.inputClipUntil] = quanta + kClipHold;
        if (peakOut >= 32767) stats[kStats.outputClipUntil] = quanta + kClipHold;
        if (!this.shared && quanta % kPostEvery === 0) {
            this.port.postMessage({ type: "stats", stats });
        }
        return true;
    }
}

registerProcessor("wacky-throats", WackyThroatsProcessor);
