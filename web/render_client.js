// The page's side of the render worker (render_worker.js): each request is a promise of
// its answer. A newer request of a kind that makes older ones pointless (an open or a
// render stops the render and timing under way, a timing the timing) resolves the older
// ones to null at once, as the worker drops them. Once the worker failed, every request
// rejects with that failure.

const kSupersedes = { open: ["render", "time"], render: ["render", "time"], time: ["time"], floats: [] };

export class RenderWorker {
    constructor(module, layout) {
        this.worker = new Worker(new URL("render_worker.js", import.meta.url), { type: "module" });
        this.pending = new Map();  // id -> { type, resolve, reject, onProgress }
        this.nextId = 1;
        this.failure = null;
        this.worker.onmessage = ({ data }) => this.#receive(data);
        this.worker.onerror = (event) => {
            event.preventDefault();
            const error = new Error(`the render worker failed (${event.message || "it could not start"})`);
            this.failure = error;
            for (const entry of this.pending.values()) entry.reject(error);
            this.pending.clear();
        };
        this.worker.postMessage({ type: "plugin", module, layout });
    }

    // source: a soundSource result, handed over (a WAV file's bytes are moved, not copied).
    // Resolves to { frames, channels, pixels }.
    open(source, { width, height }) {
        const moved = source.wav ? [source.wav] : source.channels.map((c) => c.buffer);
        return this.#ask("open", { source, width, height }, moved);
    }

    // Resolves to { pixels, wav } (wav a Blob), or null when a newer request replaced it.
    // onProgress(done) gets the share of the input rendered so far, 0 to 1.
    render(presses, { width, height }, onProgress) {
        return this.#ask("render", { presses, width, height }, [], onProgress);
    }

    // Resolves to the figures of engine_timing.js's timeBlocks, or null.
    time(presses) {
        return this.#ask("time", { presses });
    }

    // The input or the last output ("input" or "output") as floats, for playing.
    floats(which) {
        return this.#ask("floats", { which });
    }

    #ask(type, fields, transfer = [], onProgress = null) {
        if (this.failure) return Promise.reject(this.failure);
        for (const [id, entry] of this.pending) {
            if (kSupersedes[type].includes(entry.type)) {
                entry.resolve(null);
                this.pending.delete(id);
            }
        }
        const id = this.nextId++;
        return new Promise((resolve, reject) => {
            this.pending.set(id, { type, resolve, reject, onProgress });
            this.worker.postMessage({ type, id, ...fields }, transfer);
        });
    }

    #receive(data) {
        const entry = this.pending.get(data.id);
        if (!entry) return;
        if (data.type === "progress") {
            entry.onProgress?.(data.done);
            return;
        }
        this.pending.delete(data.id);
        if (data.type === "failed") entry.reject(new Error(data.message));
        else entry.resolve(data);
    }
}
