// The page's side of the live voice: the microphone, the audio context at 48 kHz, the
// worklet that runs the plugin, and the report it keeps.

import { kStats, kStatsLength } from "./live_stats.js";

export const kRequestedRate = 48000;

// Why the live voice could not start, in words for the visitor.
export class LiveError extends Error {}

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
    // onStats(stats Float64Array), onNotice(text): called as things happen.
    constructor({ module, layout, paths, onNotice }) {
        this.module = module;
        this.layout = layout;
        this.paths = paths;
        this.onNotice = onNotice;
        this.context = null;
        this.node = null;
        this.stream = null;
        this.stats = new Float64Array(kStatsLength);
        this.snapshotWaiter = null;
    }

    get running() {
        return this.node !== null;
    }

    // presses: every menu press so far, replayed into the worklet's fresh load.
    async start(presses, bypass) {
        let stream;
        try {
            stream = await navigator.mediaDevices.getUserMedia({
                audio: { channelCount: 1, echoCancellation: false, noiseSuppression: false,
                         autoGainControl: false },
            });
        } catch (error) {
            throw new LiveError(microphoneMessage(error));
        }
        const context = new AudioContext({ sampleRate: kRequestedRate, latencyHint: "interactive" });
        try {
            if (context.sampleRate !== kRequestedRate) {
                const ms = ((1024 / context.sampleRate) * 1000).toFixed(1);
                this.onNotice(`The browser runs audio at ${context.sampleRate} Hz, not 48 kHz. The ` +
                              `plugin works on whatever it gets: the delay is then ${ms} ms, and each ` +
                              "effect moves the same spectral bins, which now stand for other pitches.");
            }
            await context.audioWorklet.addModule(new URL("live_processor.js", import.meta.url));
            const node = new AudioWorkletNode(context, "wacky-throats", {
                numberOfInputs: 1, numberOfOutputs: 1, outputChannelCount: [1],
                channelCount: 1, channelCountMode: "explicit", channelInterpretation: "speakers",
            });
            // Connected at once: the output runs (silent) while the plugin loads.
            node.connect(context.destination);
            const ready = new Promise((resolve, reject) => {
                node.port.onmessage = ({ data }) => {
                    if (data.type === "ready") resolve();
                    else if (data.type === "failed") reject(new LiveError(`The plugin failed to start: ${data.message}`));
                    else this.#receive(data);
                };
            });
            // Shared where the page is cross-origin isolated: the worklet then posts nothing.
            const shared = typeof SharedArrayBuffer === "function" && self.crossOriginIsolated
                ? new SharedArrayBuffer(kStatsLength * 8) : null;
            if (shared) this.stats = new Float64Array(shared);
            node.port.postMessage({ type: "start", module: this.module, layout: this.layout,
                                    presses, paths: this.paths, stats: shared });
            await ready;
            node.port.onmessage = ({ data }) => this.#receive(data);
            node.port.postMessage({ type: "bypass", on: bypass });
            context.createMediaStreamSource(stream).connect(node);
            await context.resume();
            this.context = context;
            this.node = node;
            this.stream = stream;
        } catch (error) {
            stream.getTracks().forEach((t) => t.stop());
            await context.close();
            throw error instanceof LiveError ? error : new LiveError(`The live voice failed: ${error}`);
        }
    }

    async stop() {
        this.stream?.getTracks().forEach((t) => t.stop());
        await this.context?.close();
        this.context = this.node = this.stream = null;
    }

    press(id) {
        this.node?.port.postMessage({ type: "press", id });
    }

    setBypass(on) {
        this.node?.port.postMessage({ type: "bypass", on });
    }

    // The last samples in and out, as 16-bit values, oldest first.
    snapshot() {
        return new Promise((resolve) => {
            this.snapshotWaiter = resolve;
            this.node.port.postMessage({ type: "snapshot" });
        });
    }

    #receive(data) {
        if (data.type === "stats") this.stats.set(data.stats);
        else if (data.type === "snapshot") this.snapshotWaiter?.(data);
    }

    get sampleRate() {
        return this.context?.sampleRate ?? kRequestedRate;
    }

    get clip() {
        const quanta = this.stats[kStats.quanta];
        return { input: this.stats[kStats.inputClipUntil] > quanta,
                 output: this.stats[kStats.outputClipUntil] > quanta };
    }
}

// The lag at which `output` equals `input` sample for sample over the overlap, looking
// at lags up to maxLag, or -1. For "No effect" the plugin gives its input back exactly.
export function exactLag(input, output, maxLag = 4096) {
    for (let lag = 0; lag <= maxLag; ++lag) {
        let same = true;
        let voiced = 0;
        for (let i = lag; i < output.length && same; ++i) {
            same = output[i] === input[i - lag];
            if (input[i - lag] !== 0) ++voiced;
        }
        if (same && voiced > 0) return lag;
    }
    return -1;
}
