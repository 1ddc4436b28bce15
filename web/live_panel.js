// The live voice's panel: start and stop, bypass, the level meters, the delay and the
// check that the output is the input that much later, the engine's time per block, and
// recording what the visitor hears.

import { LiveCancelled, LiveVoice, exactLags, liveUnsupportedReason } from "./live.js";
import { kStats } from "./live_stats.js";
import { showMessage } from "./messages.js";
import { $, enableLink, switchControls } from "./page_controls.js";
import { kRate } from "./page_rate.js";
import { encodeWav } from "./wav.js";

const kMinCompared = 2048;  // output samples the delay check needs after a change
const kTimingAfterMs = 300;  // a timing starts once the presses have paused this long

// Topics: live, mic, permission, rate, record.
const message = (topic, text, options) => showMessage("live-messages", topic, text, options);

// Says why the live voice cannot run in this browser, if it cannot, and disables its
// start; true where it can run.
export function checkLiveSupport() {
    const reason = liveUnsupportedReason();
    if (!reason) return true;
    message("live", reason, { kind: "notice", reveal: false });
    $("mic-start").disabled = true;
    return false;
}

function showMeter(bar, fill, clipLight, peak, clipped) {
    const percent = Math.min(100, 100 * Math.sqrt(peak));
    $(fill).style.width = `${percent.toFixed(1)}%`;
    $(clipLight).classList.toggle("on", clipped);
    const rounded = String(Math.round(percent));
    if ($(bar).getAttribute("aria-valuenow") !== rounded || $(bar).dataset.clip !== String(clipped)) {
        $(bar).setAttribute("aria-valuenow", rounded);
        $(bar).setAttribute("aria-valuetext", `${rounded}%${clipped ? ", reaching full scale" : ""}`);
        $(bar).dataset.clip = String(clipped);
    }
}

// The median of the runs' per-block means; the clock's step says how fine it can be.
function showTiming(figures) {
    const element = $("block-time");
    const step = figures.clockMicroseconds;
    element.textContent = `${figures.medianMicroseconds.toFixed(1)} µs (median of ${figures.runs} runs of ` +
        `${Math.round(figures.calls / figures.runs)} blocks in a worker; ` +
        `clock step ${step.toFixed(step < 10 ? 1 : 0)} µs)`;
    element.dataset.median = String(figures.medianMicroseconds);
    element.dataset.worst = String(figures.worstMicroseconds);
}

function onWaiting(on) {
    $("live-state").textContent = on ? "waiting for permission" : "starting…";
    message("permission", on ? "Waiting for permission to use the microphone: answer the browser's question " +
                               "(near the address bar), or press Stop." : null, { kind: "notice" });
}

function clearDelayCheck() {
    const result = $("delay-check");
    result.textContent = "";
    delete result.dataset.lag;
    delete result.dataset.verdict;
}

// plugin: { module, layout }. worker: the RenderWorker, which times the blocks. paths():
// the texts of the plugin's path queries. menu: the menu panel.
export function createLivePanel({ plugin, worker, paths, menu }) {
    const delay = plugin.layout.abi.blockSize;  // samples: the plugin's one block
    let live = null;            // the LiveVoice, made on the first start
    let liveStart = null;       // AbortController of a start under way
    let recording = false;
    let recordingEnding = false;  // a stopped recording's last chunk is on its way
    let recordingUrl = null;
    let timingTimer = 0;

    const showDelay = (rate) => {
        $("delay").textContent = `${delay} samples (${((delay / rate) * 1000).toFixed(1)} ms at ${rate / 1000} kHz)`;
    };

    function showMeters() {
        if (!live?.running) return;
        const s = live.stats;
        const clip = live.clip;
        showMeter("bar-in", "meter-in", "clip-in", s[kStats.inputPeak], clip.input);
        showMeter("bar-out", "meter-out", "clip-out", s[kStats.outputPeak], clip.output);
        const state = $("live-state");
        state.textContent = `running at ${live.sampleRate} Hz, ${s[kStats.quanta]} quanta, ` +
                            `${s[kStats.missedQuanta]} missed`;
        state.dataset.quanta = String(s[kStats.quanta]);
        state.dataset.missed = String(s[kStats.missedQuanta]);
        requestAnimationFrame(showMeters);
    }

    async function startLive() {
        const start = new AbortController();
        liveStart = start;
        message("mic", null);
        switchControls(["mic-stop"], ["mic-start"]);
        live ??= new LiveVoice({ module: plugin.module, layout: plugin.layout, paths: paths(),
                                 onNotice: (t) => message("rate", t, { kind: "notice" }),
                                 onFailure: (t) => {
                                     message("mic", t);
                                     stopLive();
                                 } });
        try {
            await live.start(menu.presses, $("bypass").checked, { signal: start.signal, onWaiting });
        } catch (error) {
            liveStart = null;
            liveStopped();
            if (!(error instanceof LiveCancelled)) message("mic", error.message);
            return;
        }
        liveStart = null;
        showDelay(live.sampleRate);
        switchControls(["mic-stop", "check-delay", "record"], []);
        requestAnimationFrame(showMeters);
    }

    function liveStopped() {
        switchControls(["mic-start"], ["mic-stop", "check-delay", "record"]);
        showMeter("bar-in", "meter-in", "clip-in", 0, false);
        showMeter("bar-out", "meter-out", "clip-out", 0, false);
        $("live-state").textContent = "not running";
        clearDelayCheck();
    }

    async function stopLive() {
        if (liveStart) {
            liveStart.abort();  // startLive then tidies up
            return;
        }
        try {
            if (recording) await finishRecording();
        } finally {
            // The microphone is closed whatever became of the recording.
            await live?.stop();
            liveStopped();
        }
    }

    async function checkDelay() {
        const { input, output, fresh } = await live.snapshot();
        const result = $("delay-check");
        // Right after a change the output still carries blocks of the previous setting.
        const compared = fresh - 2 * delay;
        let verdict;
        let lag = "";
        if (compared < kMinCompared) {
            verdict = "too-soon";
            result.textContent = "Too little sound since the last change: press again in a moment.";
        } else {
            const { lags, silent } = exactLags(input, output, compared);
            if (silent) {
                verdict = "silent";
                result.textContent = "Cannot tell: no sound came in. Speak, then press again.";
            } else if (lags.length === 1) {
                verdict = "delay";
                lag = String(lags[0]);
                result.textContent = `The output is the input, ${lags[0]} samples later, sample for sample.`;
            } else if (lags.length > 1) {
                verdict = "ambiguous";
                result.textContent = `Cannot tell: the output equals the input at ${lags.length} delays ` +
                                     `(${lags.slice(0, 4).join(", ")}…), as the input repeats itself.`;
            } else {
                verdict = "differs";
                lag = "-1";
                result.textContent = "The output differs from the input at every delay: the effect is at work.";
            }
        }
        result.dataset.verdict = verdict;
        result.dataset.lag = lag;
    }

    async function toggleRecording() {
        if (recordingEnding) return;  // the last recording's last chunk is still on its way
        if (recording) {
            await finishRecording();
            return;
        }
        live.startRecording();
        recording = true;
        message("record", null);  // about the last recording
        $("record").textContent = "Stop recording";
        $("record-state").textContent = "Recording what you hear…";
    }

    async function finishRecording() {
        recording = false;
        $("record").textContent = "Record";
        // Until the last chunk is in, a click starts nothing: a new recording would take the
        // place of this one. The button stays enabled, so the keyboard's focus stays on it.
        recordingEnding = true;
        $("record").setAttribute("aria-busy", "true");
        let samples;
        try {
            samples = await live.stopRecording();
        } finally {
            recordingEnding = false;
            $("record").removeAttribute("aria-busy");
        }
        if (!samples) {
            $("record-state").textContent = "";
            return;
        }
        const rate = live.sampleRate;
        if (recordingUrl) URL.revokeObjectURL(recordingUrl);
        recordingUrl = URL.createObjectURL(new Blob([encodeWav(samples, rate)], { type: "audio/wav" }));
        enableLink("record-download", recordingUrl, `wacky-throats-live-${menu.effectName()}.wav`);
        const dropped = live.recordDropped;
        $("record-state").textContent = `Recorded ${(samples.length / rate).toFixed(1)} s at ${rate} Hz.`;
        $("record-state").dataset.samples = String(samples.length);
        if (dropped > 0) {
            message("record", `The page fell behind: ${dropped} samples are missing from the recording.`,
                    { kind: "notice" });
        }
    }

    function scheduleTiming() {
        clearTimeout(timingTimer);
        timingTimer = setTimeout(async () => {
            const answer = await worker.time([...menu.presses]).catch(() => null);
            if (answer) showTiming(answer.figures);
        }, kTimingAfterMs);
    }

    showDelay(kRate);
    return {
        // Takes clicks from here on.
        wire() {
            $("mic-start").addEventListener("click", startLive);
            $("mic-stop").addEventListener("click", stopLive);
            $("bypass").addEventListener("change", (e) => live?.setBypass(e.target.checked));
            $("check-delay").addEventListener("click", checkDelay);
            $("record").addEventListener("click", toggleRecording);
        },
        // A menu press: into the running voice; the delay check and the timing start over.
        press(id) {
            live?.press(id);
            clearDelayCheck();
            scheduleTiming();
        },
        // Times the plugin's block step at the setting the menu holds, once presses pause.
        scheduleTiming,
    };
}
