// The page's side of the live voice: the microphone, the audio context at the page's
// rate, the worklet that runs the plugin, and the report it keeps.

import { kStats, kStatsLength } from "./live_stats.js";
import { kRate } from "./page_rate.js";

export const kStartSeconds = 5;   // the audio context has this long to start running
const kReadySeconds = 30;         // the worklet this long to load the plugin

// Why the live voice could not start, in words for the visitor.
export class LiveError extends Error {}
// The visitor stopped the start before it finished.
export class LiveCancelled extends LiveError {}

// `promise`, or "timeout" after `ms` (never for Infinity); rejects with LiveCancelled
// once `signal` aborts.
function within(promise, ms, signal) {
    let timer = 0;
    let onAbort = null;
    return Promise.race([
        promise,
        new Promise((resolve) => {
            if (ms !== Infinity) timer = setTimeout(() => resolve("timeout"), ms);
        }),
        new Promise((_, reject) => {
            onAbort = () => reject(new LiveCancelled("stopped"));
            if (signal?.aborted) onAbort();
            signal?.addEventListener("abort", onAbort);
        }),
    ]).finally(() => {
        clearTimeout(timer);
        signal?.removeEventListener("abort", onAbort);
    });
}

export function liveUnsupportedReason() {
    if (!window.isSecureContext) {
        return "The microphone needs a secure page: open it over HTTPS, or from " +
               "http://127.0.0.1 (as make web serves it). Files still work here.";
    }
    if (!navigator.mediaDevices?.getUserMedia) return "This browser offers no microphone to web pages.";
    if (typeof AudioWorkletNode !== "function") {
        return "This browser has no AudioWorklet, which runs the live voice. Files still work here.";
    }
    return null;
}

function microphoneMessage(error) {
    switch (error?.name) {
        case "NotAllowedError":
        case "SecurityError":
            return "The microphone was refused. Allow it for this page in the browser's " +
                   "site settings, then press \"Use my microphone\" again.";
        case "NotFoundError":
        case "OverconstrainedError":
            return "No microphone was found. Plug one in, then press \"Use my microphone\" again.";
        case "NotReadableError":
            return "The microphone is busy or failed to start; another program may be using it.";
        default:
            return `The microphone could not be opened (${error?.name ?? "error"}: ${error?.message ?? error}).`;
    }
}

export class LiveVoice {
    // onNotice(text): called when the visitor should know something that is no failure.
    // onFailure(text): called once the live voice failed while running; it is stopped by then.
    constructor({ module, layout, paths, onNotice, onFailure }) {
        this.module = module;
        this.layout = layout;
        this.paths = paths;
        this.onNotice = onNotice;
        this.onFailure = onFailure;
        this.bypass = false;
        this.context = null;
        this.node = null;
        this.stream = null;
        this.stats = new Float64Array(kStatsLength);
        this.snapshotWaiter = null;
        this.recording = null;  // { chunks, resolve } while recording
    }

    get running() {
        return this.node !== null;
    }

    // presses: the page's list of every menu press, replayed into the worklet's fresh load;
    // read again once the load is ready, for the presses made while it loaded.
    // options.signal: aborting it stops the start wherever it is (LiveCancelled).
    // options.onWaiting(on): true while the browser asks the visitor for the microphone.
    // Rejects with a LiveError; whatever it had opened by then is closed again.
    async start(presses, bypass, { signal = null, onWaiting = () => {} } = {}) {
        this.bypass = bypass;
        // Made before the microphone is asked for, while the click that started this
        // still counts as the visitor's: a context made after a long question may be
        // held back by the browser's autoplay rules.
        const context = new AudioContext({ sampleRate: kRate, latencyHint: "interactive" });
        let stream = null;
        try {
            onWaiting(true);
            const asked = navigator.mediaDevices.getUserMedia({
                audio: { channelCount: 1, echoCancellation: false, noiseSuppression: false,
                         autoGainControl: false },
            }).catch((error) => { throw new LiveError(microphoneMessage(error)); });
            try {
                stream = await within(asked, Infinity, signal);
            } catch (error) {
                // A microphone granted after the visitor gave up is closed at once.
                const release = (s) => s.getTracks().forEach((t) => t.stop());
                if (error instanceof LiveCancelled) asked.then(release, () => {});
                throw error;
            } finally {
                onWaiting(false);
            }
            const started = await within(context.resume().then(() => context.state === "running", () => false),
                                         kStartSeconds * 1000, signal);
            if (started !== true) {
                throw new LiveError(`The browser's audio did not start within ${kStartSeconds} seconds ` +
                                    "(is there a sound output device?). The microphone is released " +
                                    "again; press \"Use my microphone\" to try once more.");
            }
            if (context.sampleRate !== kRate) {
                const ms = ((this.layout.abi.blockSize / context.sampleRate) * 1000).toFixed(1);
                this.onNotice(`The browser runs audio at ${context.sampleRate} Hz, not ${kRate / 1000} kHz. The ` +
                              `plugin works on whatever it gets: the delay is then ${ms} ms, and each ` +
                              "effect moves the same spectral bins, which now stand for other pitches.");
            }
            await within(context.audioWorklet.addModule(new URL("live_processor.js", import.meta.url)),
                         kReadySeconds * 1000, signal);
            const node = new AudioWorkletNode(context, "wacky-throats", {
                numberOfInputs: 1, numberOfOutputs: 1, outputChannelCount: [1],
                channelCount: 1, channelCountMode: "explicit", channelInterpretation: "speakers",
            });
            // Connected at once: the output runs (silent) while the plugin loads.
            node.connect(context.destination);
            const ready = new Promise((resolve, reject) => {
                node.port.onmessage = ({ data }) => {
                    if (data.type === "ready") resolve(true);
                    else if (data.type === "failed") reject(new LiveError(`The plugin failed to start: ${data.message}`));
                    else this.#receive(data);
                };
                node.onprocessorerror = () => reject(new LiveError("The plugin failed on the audio thread."));
            });
            // Shared where the page is cross-origin isolated: the worklet then posts nothing.
            const shared = typeof SharedArrayBuffer === "function" && self.crossOriginIsolated
                ? new SharedArrayBuffer(kStatsLength * 8) : null;
            this.stats = shared ? new Float64Array(shared) : new Float64Array(kStatsLength);
            const sent = presses.length;
            node.port.postMessage({ type: "start", module: this.module, layout: this.layout,
                                    presses, paths: this.paths, stats: shared });
            if ((await within(ready, kReadySeconds * 1000, signal)) !== true) {
                throw new LiveError(`The plugin did not start on the audio thread within ${kReadySeconds} seconds.`);
            }
            node.port.onmessage = ({ data }) => this.#receive(data);
            node.onprocessorerror = () => {
                this.stop().finally(() => this.onFailure("The plugin failed on the audio thread; " +
                                                         "the live voice is stopped."));
            };
            // What the visitor changed while the plugin loaded: the worklet had a copy.
            for (const id of presses.slice(sent)) node.port.postMessage({ type: "press", id });
            node.port.postMessage({ type: "bypass", on: this.bypass });
            context.createMediaStreamSource(stream).connect(node);
            this.context = context;
            this.node = node;
            this.stream = stream;
        } catch (error) {
            stream?.getTracks().forEach((t) => t.stop());
            await context.close().catch(() => {});
            throw error instanceof LiveError ? error : new LiveError(`The live voice failed: ${error}`);
        }
    }

    // Safe to call again while an earlier stop is under way.
    async stop() {
        const { context, stream, recording } = this;
        this.context = this.node = this.stream = this.recording = null;
        stream?.getTracks().forEach((t) => t.stop());
        recording?.resolve(null);
        await context?.close();
    }

    press(id) {
        this.node?.port.postMessage({ type: "press", id });
    }

    setBypass(on) {
        this.bypass = on;
        this.node?.port.postMessage({ type: "bypass", on });
    }

    // The last samples in and out, as 16-bit values, oldest first, and how many of the
    // last samples came after the latest menu press.
    snapshot() {
        return new Promise((resolve) => {
            this.snapshotWaiter = resolve;
            this.node.port.postMessage({ type: "snapshot" });
        });
    }

    startRecording() {
        this.recording = { chunks: [], resolve: null, done: null };
        this.recording.done = new Promise((resolve) => { this.recording.resolve = resolve; });
        // The worklet zeroes its count too; where nothing is shared, this copy would keep
        // the last recording's count until its next report.
        this.stats[kStats.recordDropped] = 0;
        this.node.port.postMessage({ type: "record", on: true });
    }

    // Resolves to what the visitor heard since startRecording, 16-bit samples at
    // this.sampleRate, or null when the live voice stopped first.
    stopRecording() {
        if (!this.recording) return Promise.resolve(null);
        const { done } = this.recording;
        this.node.port.postMessage({ type: "record", on: false });
        return done;
    }

    get recordDropped() {
        return this.stats[kStats.recordDropped];
    }

    #receive(data) {
        if (data.type === "stats") this.stats.set(data.stats);
        else if (data.type === "snapshot") this.snapshotWaiter?.(data);
        else if (data.type === "recorded") this.#takeChunk(data);
    }

    #takeChunk({ chunk, length, last }) {
        const recording = this.recording;
        if (chunk) {
            recording?.chunks.push(chunk.slice(0, length));
            this.node?.port.postMessage({ type: "chunk", chunk }, [chunk.buffer]);
        }
        if (!last || !recording) return;
        const total = recording.chunks.reduce((sum, c) => sum + c.length, 0);
        const samples = new Int16Array(total);
        let at = 0;
        for (const c of recording.chunks) {
            samples.set(c, at);
            at += c.length;
        }
        this.recording = null;
        recording.resolve(samples);
    }

    get sampleRate() {
        return this.context?.sampleRate ?? kRate;
    }

    get clip() {
        const quanta = this.stats[kStats.quanta];
        return { input: this.stats[kStats.inputClipUntil] > quanta,
                 output: this.stats[kStats.outputClipUntil] > quanta };
    }
}

// Every lag up to maxLag at which the last `fresh` samples of `output` equal `input`
// that many samples earlier, sample for sample; `silent` where the input over that
// stretch is all zeros, which every lag matches. For "No effect" the plugin gives its
// input back exactly, so one lag is found: its delay. An input that repeats itself (a
// steady tone) matches at several lags, and then the delay cannot be told from it.
export function exactLags(input, output, fresh = output.length, maxLag = 4096) {
    const end = output.length;
    const start = Math.max(0, end - fresh);
    let silent = true;
    for (let i = Math.max(0, start - maxLag); i < end && silent; ++i) silent = input[i] === 0;
    if (silent) return { lags: [], silent };
    const lags = [];
    for (let lag = 0; lag <= maxLag && lag < end; ++lag) {
        let i = Math.max(start, lag);
        let voiced = false;
        for (; i < end && output[i] === input[i - lag]; ++i) voiced ||= input[i - lag] !== 0;
        if (i === end && voiced) lags.push(lag);
    }
    return { lags, silent };
}
