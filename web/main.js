// The page: a host for the plugin like the chat client. It loads the module, answers the
// plugin's start-up queries, shows the menu the plugin builds, passes clicks on to it,
// and runs the live voice and sound files through it. Sound files are the render
// worker's (render_worker.js): this thread only draws and plays what it hands back.

import { LiveCancelled, LiveVoice, exactLags, liveUnsupportedReason } from "./live.js";
import { kStats } from "./live_stats.js";
import { learnMenu } from "./menu_meaning.js";
import { showMessage } from "./messages.js";
import { loadPlugin, webAssemblyAvailable } from "./plugin_module.js";
import { PluginSession } from "./plugin_session.js";
import { RenderWorker } from "./render_client.js";
import { kDelay, kRate, soundSource } from "./render.js";
import { effectSlug, formatFragment, kNoEffect, parseFragment, strengthPath } from "./share_link.js";
import { drawPixels } from "./sonogram.js";
import { encodeWav } from "./wav.js";

const $ = (id) => document.getElementById(id);
const kLogLines = 400;
const kProgressAfterMs = 1000;  // a render shows its progress bar once it has run this long
const kMinCompared = 2048;      // output samples the delay check needs after a change

const page = {
    plugin: null,       // { module, layout, variant }
    control: null,      // the page's own load of the plugin: the menu's state
    worker: null,       // the render worker
    items: [],
    meaning: new Map(),
    loadedKind: null,   // the effect kind of a fresh load: no effect
    presses: [],        // every menu press, replayed into each new load
    live: null,
    liveStart: null,    // AbortController of a start under way
    recording: false,
    recordingEnding: false,  // a stopped recording's last chunk is on its way
    input: null,        // { name, frames, channels } of the file the worker holds
    player: null,
    playToken: 0,
    progressTimer: 0,
    downloadUrl: null,
    recordingUrl: null,
};

// Which area each topic's messages go to: beside the controls they are about.
const kTopicArea = {
    wasm: "messages", boot: "messages", link: "messages",
    live: "live-messages", mic: "live-messages", permission: "live-messages", rate: "live-messages",
    record: "live-messages",
    file: "file-messages", render: "file-messages",
};

function message(topic, text, options) {
    showMessage(kTopicArea[topic], topic, text, options);
}

function log(text) {
    const panel = $("log");
    const lines = panel.textContent ? panel.textContent.split("\n") : [];
    lines.push(text);
    panel.textContent = lines.slice(-kLogLines).join("\n");
    panel.scrollTop = panel.scrollHeight;
}

// Enables the controls `on` and disables `off`. A disabled control drops the keyboard
// focus to the page's body, so focus on one of `off` moves to the first of `on` first.
function switchControls(on, off) {
    for (const id of on) $(id).disabled = false;
    if (off.some((id) => $(id) === document.activeElement) && on.length > 0) $(on[0]).focus();
    for (const id of off) $(id).disabled = true;
}

function enableLink(id, url, name) {
    const link = $(id);
    link.href = url;
    link.download = name;
    link.classList.remove("disabled");
    link.removeAttribute("aria-disabled");
}

function hostPaths() {
    return {
        getAppPath: location.href,
        getResourcesPath: new URL(".", document.baseURI).href,
        getConfigPath: "",
        getPluginPath: new URL(page.plugin.layout.file, document.baseURI).href,
    };
}

// --- menu and share link ---------------------------------------------------------------

function itemSelecting(kind) {
    return page.items.find((i) => page.meaning.get(i.id)?.selects === kind);
}

function selectedEffectText(kind) {
    return itemSelecting(kind)?.text ?? `kind ${kind}`;
}

function effectName(item) {
    return page.meaning.get(item.id)?.selects === page.loadedKind ? kNoEffect : effectSlug(item.text);
}

function settingText() {
    const { kind, strength } = page.control.settings();
    return `${selectedEffectText(kind)}, strength ${strength}`;
}

function showSettings() {
    const { kind, strength } = page.control.settings();
    $("effect").textContent = selectedEffectText(kind);
    $("strength").textContent = String(strength);
    // Only the items that select an effect are toggles; the strength items are plain.
    for (const button of $("menu").querySelectorAll("button")) {
        const meaning = page.meaning.get(Number(button.dataset.id));
        if (meaning?.selects === undefined) button.removeAttribute("aria-pressed");
        else button.setAttribute("aria-pressed", String(meaning.selects === kind));
    }
}

function writeFragment() {
    const { kind, strength } = page.control.settings();
    const item = itemSelecting(kind);
    if (item) history.replaceState(null, "", formatFragment(effectName(item), strength));
}

function press(id) {
    page.presses.push(id);
    page.control.press(id);
    page.live?.press(id);
    showSettings();
    writeFragment();
    message("link", null);  // its "now" is past
    clearDelayCheck();
    scheduleRender();
    scheduleTiming();
}

function buildMenu() {
    const { items } = page.control.menu();
    page.items = items;
    const menu = $("menu");
    menu.replaceChildren();
    for (const item of items) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = item.text;
        button.dataset.id = String(item.id);
        button.addEventListener("click", () => press(item.id));
        menu.append(button);
    }
}

// Selects the setting the address's fragment names, by pressing the effect's item and
// then the strength items, and says what it could not select.
async function applyLink() {
    const link = parseFragment(location.hash);
    if (!link) return;
    const problems = [];
    const effects = page.items.filter((i) => page.meaning.get(i.id)?.selects !== undefined);
    if (link.effect !== null) {
        const item = effects.find((i) => effectName(i) === link.effect || effectSlug(i.text) === link.effect);
        if (item) press(item.id);
        else problems.push(`names the effect "${link.effect}", which the menu does not have`);
    }
    if (link.strength !== null) {
        const steppers = page.items.filter((i) => page.meaning.get(i.id)?.strength).map((i) => i.id);
        const open = () => PluginSession.open(page.plugin.module, page.plugin.layout, { maxFrames: 1 });
        const pressed = page.presses.length;
        const { presses, reachable } = await strengthPath(open, page.presses, steppers, link.strength);
        if (page.presses.length !== pressed) return;  // the visitor's own presses came after the link
        if (presses) presses.forEach(press);
        else {
            problems.push(`asks for strength ${link.strength}, which the menu cannot reach from here ` +
                          `(it reaches ${reachable.join(", ")})`);
        }
    }
    if (link.unknown.length > 0) problems.push(`has parts this page does not read (${link.unknown.join(", ")})`);
    if (problems.length === 0) {
        message("link", null);
        return;
    }
    const names = effects.map(effectName).join(", ");
    message("link", `The link ${problems.join("; it ")}. It takes #effect=NAME&strength=NUMBER, NAME ` +
                    `one of ${names}. Now: ${settingText()}.`);
    writeFragment();
}

// --- engine time ---------------------------------------------------------------------

let timingTimer = 0;

function scheduleTiming() {
    clearTimeout(timingTimer);
    timingTimer = setTimeout(async () => {
        const answer = await page.worker.time([...page.presses]).catch(() => null);
        if (answer) showTiming(answer.figures);
    }, 300);
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

// --- live ------------------------------------------------------------------------------

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

function showMeters() {
    const live = page.live;
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

function onWaiting(on) {
    $("live-state").textContent = on ? "waiting for permission" : "starting…";
    message("permission", on ? "Waiting for permission to use the microphone: answer the browser's question " +
                        "(near the address bar), or press Stop." : null, { kind: "notice" });
}

async function startLive() {
    const start = new AbortController();
    page.liveStart = start;
    message("mic", null);
    switchControls(["mic-stop"], ["mic-start"]);
    page.live ??= new LiveVoice({ module: page.plugin.module, layout: page.plugin.layout, paths: hostPaths(),
                                  onNotice: (t) => message("rate", t, { kind: "notice" }),
                                  onFailure: (t) => {
                                      message("mic", t);
                                      stopLive();
                                  } });
    try {
        await page.live.start(page.presses, $("bypass").checked, { signal: start.signal, onWaiting });
    } catch (error) {
        page.liveStart = null;
        liveStopped();
        if (!(error instanceof LiveCancelled)) message("mic", error.message);
        return;
    }
    page.liveStart = null;
    const rate = page.live.sampleRate;
    $("delay").textContent = `${kDelay} samples (${((kDelay / rate) * 1000).toFixed(1)} ms at ${rate / 1000} kHz)`;
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
    if (page.liveStart) {
        page.liveStart.abort();  // startLive then tidies up
        return;
    }
    try {
        if (page.recording) await finishRecording();
    } finally {
        // The microphone is closed whatever became of the recording.
        await page.live?.stop();
        liveStopped();
    }
}

function clearDelayCheck() {
    const result = $("delay-check");
    result.textContent = "";
    delete result.dataset.lag;
    delete result.dataset.verdict;
}

async function checkDelay() {
    const { input, output, fresh } = await page.live.snapshot();
    const result = $("delay-check");
    // Right after a change the output still carries blocks of the previous setting.
    const compared = fresh - 2 * kDelay;
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
    if (page.recordingEnding) return;  // the last recording's last chunk is still on its way
    if (page.recording) {
        await finishRecording();
        return;
    }
    page.live.startRecording();
    page.recording = true;
    message("record", null);  // about the last recording
    $("record").textContent = "Stop recording";
    $("record-state").textContent = "Recording what you hear…";
}

async function finishRecording() {
    page.recording = false;
    $("record").textContent = "Record";
    // Until the last chunk is in, a click starts nothing: a new recording would take the
    // place of this one. The button stays enabled, so the keyboard's focus stays on it.
    page.recordingEnding = true;
    $("record").setAttribute("aria-busy", "true");
    let samples;
    try {
        samples = await page.live.stopRecording();
    } finally {
        page.recordingEnding = false;
        $("record").removeAttribute("aria-busy");
    }
    if (!samples) {
        $("record-state").textContent = "";
        return;
    }
    const rate = page.live.sampleRate;
    if (page.recordingUrl) URL.revokeObjectURL(page.recordingUrl);
    page.recordingUrl = URL.createObjectURL(new Blob([encodeWav(samples, rate)], { type: "audio/wav" }));
    const name = effectName(itemSelecting(page.control.settings().kind) ?? page.items[0]);
    enableLink("record-download", page.recordingUrl, `wacky-throats-live-${name}.wav`);
    const dropped = page.live.recordDropped;
    $("record-state").textContent = `Recorded ${(samples.length / rate).toFixed(1)} s at ${rate} Hz.`;
    $("record-state").dataset.samples = String(samples.length);
    if (dropped > 0) {
        message("record", `The page fell behind: ${dropped} samples are missing from the recording.`,
                { kind: "notice" });
    }
}

// --- files -------------------------------------------------------------------------------

let renderTimer = 0;

function canvasSize(id) {
    return { width: $(id).width, height: $(id).height };
}

function scheduleRender() {
    clearTimeout(renderTimer);
    renderTimer = setTimeout(renderCurrent, 150);
}

function hideProgress() {
    clearTimeout(page.progressTimer);
    $("render-progress").hidden = true;
}

async function renderCurrent() {
    if (!page.input) return;
    const presses = [...page.presses];
    const setting = settingText();
    const { kind } = page.control.settings();
    const progress = $("render-progress");
    $("render-state").textContent = "Rendering…";
    progress.value = 0;
    clearTimeout(page.progressTimer);
    page.progressTimer = setTimeout(() => { progress.hidden = false; }, kProgressAfterMs);
    let result;
    try {
        result = await page.worker.render(presses, canvasSize("spectrogram-after"), (done) => {
            progress.value = done;
        });
    } catch (error) {
        hideProgress();
        $("render-state").textContent = "";
        message("render", `The render failed: ${error.message}`);
        return;
    }
    if (result === null) return;  // a newer press started another render
    hideProgress();
    message("render", null);
    $("after-caption").textContent = setting;
    drawPixels($("spectrogram-after"), result.pixels);
    $("spectrogram-after").setAttribute("aria-label", `Spectrogram after the plugin, ${setting}`);
    if (page.downloadUrl) URL.revokeObjectURL(page.downloadUrl);
    page.downloadUrl = URL.createObjectURL(result.wav);
    enableLink("download", page.downloadUrl, `${page.input.name.replace(/\.[^.]*$/, "")}-` +
               `${selectedEffectText(kind).toLowerCase().replace(/[^a-z0-9]+/g, "-")}.wav`);
    $("play-after").disabled = false;
    $("render-state").textContent = `Rendered: ${setting}.`;
    $("render-state").dataset.renders = String(Number($("render-state").dataset.renders ?? 0) + 1);
}

function fileProblem(name, error) {
    switch (error?.reason) {
        case "empty":
            return `"${name}" is empty (0 bytes): there is no sound in it. Choose another file.`;
        case "no-samples":
            return `"${name}" is a sound file with no samples in it: nothing to hear. Choose another file.`;
        case "undecodable":
            return `"${name}" is not a sound file this browser can decode` +
                   `${error.detail ? ` (${error.detail})` : ""}. Try WAV, FLAC, Ogg or MP3.`;
        default:
            return `"${name}" could not be opened: ${error?.message ?? error}`;
    }
}

async function openSound(name, bytes, { reveal = true } = {}) {
    let source;
    let opened;
    try {
        source = await soundSource(bytes);
        opened = await page.worker.open(source, canvasSize("spectrogram-before"));
    } catch (error) {
        message("file", fileProblem(name, error), { reveal });
        // The open stopped the render under way; the worker still holds the last file.
        if (source) renderCurrent();
        return;
    }
    message("file", null);
    page.input = { name, frames: opened.frames, channels: opened.channels };
    const seconds = (opened.frames / kRate).toFixed(1);
    $("file-name").textContent = `${name} (${seconds} s, ${opened.channels} channel` +
                                 `${opened.channels === 1 ? "" : "s, mixed down"})`;
    drawPixels($("spectrogram-before"), opened.pixels);
    $("spectrogram-before").setAttribute("aria-label", `Spectrogram before the plugin: ${name}, ` +
                                         `${seconds} s, time left to right, 0 to 12 kHz bottom to top`);
    $("play-before").disabled = false;
    renderCurrent();
    scheduleTiming();  // the open stopped the timing under way
}

async function openFile(file) {
    await openSound(file.name, await file.arrayBuffer());
}

// The audio context is made in the click's own task, as browsers let only those start.
async function play(which, button) {
    stopPlaying();
    const context = new AudioContext({ sampleRate: kRate });
    const token = ++page.playToken;
    page.player = { context, button };
    let answer;
    try {
        answer = await page.worker.floats(which);
    } catch (error) {
        if (token !== page.playToken) return;
        stopPlaying();
        message("render", `The sound could not be played: ${error.message}`);
        return;
    }
    if (token !== page.playToken) return;
    const buffer = new AudioBuffer({ length: Math.max(1, answer.floats.length), sampleRate: kRate });
    buffer.copyToChannel(answer.floats, 0);
    const source = new AudioBufferSourceNode(context, { buffer });
    source.connect(context.destination);
    source.onended = () => {
        if (page.player?.context === context) stopPlaying();
    };
    source.start();
    $("stop-playing").disabled = false;
}

function stopPlaying() {
    const player = page.player;
    page.player = null;
    ++page.playToken;
    player?.context.close();
    switchControls(player ? [player.button] : [], ["stop-playing"]);
}

function wireFiles() {
    $("file").addEventListener("change", (e) => {
        const [file] = e.target.files;
        if (file) openFile(file);
        e.target.value = "";
    });
    const drop = $("drop");
    drop.addEventListener("dragover", (e) => {
        e.preventDefault();
        drop.classList.add("over");
    });
    drop.addEventListener("dragleave", () => drop.classList.remove("over"));
    drop.addEventListener("drop", (e) => {
        e.preventDefault();
        drop.classList.remove("over");
        const [file] = e.dataTransfer.files;
        if (file) openFile(file);
    });
    $("play-before").addEventListener("click", () => play("input", "play-before"));
    $("play-after").addEventListener("click", () => play("output", "play-after"));
    $("stop-playing").addEventListener("click", stopPlaying);
}

// --- start ---------------------------------------------------------------------------------

async function boot() {
    if (!webAssemblyAvailable()) {
        message("wasm", "This browser cannot run WebAssembly, which the plugin is compiled to. " +
                        "Any current Chrome, Edge, Firefox or Safari can.");
        return;
    }
    const liveReason = liveUnsupportedReason();
    if (liveReason) {
        message("live", liveReason, { kind: "notice", reveal: false });
        $("mic-start").disabled = true;
    }
    try {
        page.plugin = await loadPlugin(document.baseURI);
    } catch (error) {
        message("wasm", `The plugin module could not be loaded: ${error.message}`);
        return;
    }
    $("engine").textContent = page.plugin.variant === "simd"
        ? "WebAssembly with SIMD" : "WebAssembly without SIMD";
    page.worker = new RenderWorker(page.plugin.module, page.plugin.layout);
    page.control = await PluginSession.open(page.plugin.module, page.plugin.layout,
                                            { onLine: log, paths: hostPaths() });
    page.loadedKind = page.control.settings().kind;
    buildMenu();
    page.meaning = await learnMenu(page.plugin.module, page.plugin.layout, page.items);
    showSettings();
    await applyLink();
    writeFragment();
    window.addEventListener("hashchange", () => {
        applyLink().catch((error) => message("link", `The link could not be applied: ${error?.message ?? error}`));
    });

    $("mic-start").addEventListener("click", startLive);
    $("mic-stop").addEventListener("click", stopLive);
    $("bypass").addEventListener("change", (e) => page.live?.setBypass(e.target.checked));
    $("check-delay").addEventListener("click", checkDelay);
    $("record").addEventListener("click", toggleRecording);
    wireFiles();

    try {
        const response = await fetch(new URL("samples/voice.wav", document.baseURI));
        if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
        await openSound("voice.wav", await response.arrayBuffer(), { reveal: false });
    } catch (error) {
        message("file", `The bundled voice could not be loaded (${error.message}); open a file of your own.`,
                { reveal: false });
    }
    scheduleTiming();
    document.body.dataset.ready = "true";
}

boot().catch((error) => message("boot", `The page failed to start: ${error?.message ?? error}`));
