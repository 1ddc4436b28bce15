// How long the plugin takes for one block in this browser: capture calls of one block's
// frames (each completes exactly one block, so each is one block step and the exchange of its
// samples) in a load of its own with the page's menu presses replayed.
//
// performance.now() counts in steps of 5 µs on a cross-origin isolated page, 100 µs or
// 1 ms elsewhere (depending on the browser), and a block takes some 20 µs: timing one
// call would mostly measure the clock. So the calls are timed in runs, each long enough
// for the clock's step to be at most kStepShare of it, and a run's time divided by its
// calls is that run's figure; the step itself is measured first. Runs in the render
// worker, a pause between runs.

import { PluginSession } from "./plugin_session.js";

const kRuns = 12;
const kStepShare = 0.02;     // the clock's step as a share of a run, at most
const kMinCallsPerRun = 16;
const kStepSamples = 8;      // clock changes watched to find its step

// The smallest difference between two readings of `now` that differ, in milliseconds.
export function clockStep(now = () => performance.now()) {
    let step = Infinity;
    let last = now();
    for (let seen = 0; seen < kStepSamples;) {
        const t = now();
        if (t > last) {
            step = Math.min(step, t - last);
            ++seen;
        }
        last = t;
    }
    return step;
}

// signal: 16-bit samples to feed the plugin, over and over. pause(): awaited between
// runs; when it gives false the timing stops and resolves to null. Resolves to figures
// in microseconds: the median and worst of the runs' per-call means, the mean over all
// calls, the calls and runs made, and the clock's step.
export async function timeBlocks(module, layout, presses, signal, pause = async () => true) {
    const kBlock = layout.abi.blockSize;
    const session = await PluginSession.open(module, layout, { maxFrames: kBlock });
    for (const id of presses) session.press(id);
    const source = signal.length >= kBlock ? signal : new Int16Array(kBlock);
    const step = clockStep();
    const runLength = step / kStepShare;
    const perCall = [];
    let calls = 0;
    let total = 0;
    let at = 0;
    for (let run = 0; run < kRuns; ++run) {
        if ((await pause()) === false) return null;
        const started = performance.now();
        let now = started;
        let n = 0;
        while (n < kMinCallsPerRun || now - started < runLength) {
            if (at + kBlock > source.length) at = 0;
            session.samples.set(source.subarray(at, at + kBlock));
            at += kBlock;
            session.capture(kBlock);
            ++n;
            now = performance.now();
        }
        perCall.push((now - started) / n);
        calls += n;
        total += now - started;
    }
    perCall.sort((a, b) => a - b);
    return { medianMicroseconds: perCall[kRuns >> 1] * 1000, worstMicroseconds: perCall[kRuns - 1] * 1000,
             meanMicroseconds: (total / calls) * 1000, calls, runs: kRuns, clockMicroseconds: step * 1000 };
}
