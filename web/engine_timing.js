// How long the plugin takes for one block in this browser: capture calls of 1024 frames
// (each completes exactly one block, so each is one block step and the exchange of its
// samples) in a load of its own with the page's menu presses replayed, timed one by one
// with performance.now(). Its resolution is 5 µs on a cross-origin isolated page and
// coarser elsewhere, so the mean is taken over all calls and the worst is as fine as
// the clock. The worst includes whatever else the page's thread was doing then.

import { PluginSession } from "./plugin_session.js";

const kBlock = 1024;

export async function timeBlocks(module, layout, presses, signal, count = 400) {
    const session = await PluginSession.open(module, layout, { maxFrames: kBlock });
    for (const id of presses) session.press(id);
    const times = new Float64Array(count);
    for (let n = 0; n < count; ++n) {
        const at = (n * kBlock) % Math.max(kBlock, signal.length - kBlock);
        session.samples.set(signal.subarray(at, at + kBlock));
        const started = performance.now();
        session.capture(kBlock);
        times[n] = performance.now() - started;
    }
    const total = times.reduce((sum, t) => sum + t, 0);
    times.sort();
    return { meanMicroseconds: (total / count) * 1000,
             medianMicroseconds: times[count >> 1] * 1000,
             worstMicroseconds: times[count - 1] * 1000 };
}
