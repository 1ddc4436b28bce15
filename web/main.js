// The page: a host for the plugin like the chat client. It loads the module, answers the
// plugin's start-up queries, shows the menu the plugin builds, passes clicks on to it,
// and runs the live voice and sound files through it.

import { timeBlocks } from "./engine_timing.js";
import { LiveVoice, exactLag, liveUnsupportedReason } from "./live.js";
import { kStats } from "./live_stats.js";
import { learnMenu } from "./menu_meaning.js";
import { loadPlugin, webAssemblyAvailable } from "./plugin_module.js";
import { PluginSession } from "./plugin_session.js";
import { decodeAt48k, kRate, renderSamples, toAudioBuffer } from "./render.js";
import { drawSpectrogram } from "./sonogram.js";
import { encodeWav } from "./wav.js";

const $ = (id) => document.getElementById(id);
const kLogLines = 400;

const page = {
    plugin: null,       // { module, layout, variant }
    control: null,      // the page's own load of the plugin: the menu's state
    items: [],
    meaning: new Map(),
    presses: [],        // every menu press, replayed into each new load
    live: null,
    input: null,        // { name, samples } at 48 kHz
    rendered: null,     // Int16Array
    renderToken: 0,
    player: null,
    downloadUrl: null,
};

// One message per topic; a later one on the same topic replaces it, null removes it.
function message(topic, text, kind = "error") {
    let box = document.querySelector(`#messages [data-topic="${topic}"]`);
    if (text === null) {
        box?.remove();
        return;
    }
    if (!box) {
        box = document.createElement("p");
        box.dataset.topic = topic;
        $("messages").append(box);
    }
    box.className = `message ${kind}`;
    box.textContent = text;
}

function log(text) {
    const panel = $("log");
    const lines = panel.textContent ? panel.textContent.split("\n") : [];
    lines.push(text);
    panel.textContent = lines.slice(-kLogLines).join("\n");
    panel.scrollTop = panel.scrollHeight;
}

function hostPaths() {
    return {
        getAppPath: location.href,
        getResourcesPath: new URL(".", document.baseURI).href,
        getConfigPath: "",
        getPluginPath: new URL(page.plugin.layout.file, document.baseURI).href,
    };
}

function selectedEffectText(kind) {
    const item = page.items.find((i) => page.meaning.get(i.id)?.selects === kind);
    return item ? item.text : `kind ${kind}`;
}

function showSettings() {
    const { kind, strength } = page.control.settings();
    $("effect").textContent = selectedEffectText(kind);
    $("strength").textContent = String(strength);
    for (const button of $("menu").querySelectorAll("button")) {
        const meaning = page.meaning.get(Number(button.dataset.id));
        button.setAttribute("aria-pressed", String(meaning?.selects === kind));
    }
}

function press(id) {
    page.presses.push(id);
    page.control.press(id);
    page.live?.press(id);
    showSettings();
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

// --- engine time ---------------------------------------------------------------------

let timingTimer = 0;
let pageTiming = null;

function scheduleTiming() {
    clearTimeout(timingTimer);
    timingTimer = setTimeout(async () => {
        const signal = page.input?.samples ?? new Int16Array(1024);
        pageTiming = await timeBlocks(page.plugin.module, page.plugin.layout, page.presses, signal);
        showTiming();
    }, 300);
}

function showTiming() {
    const parts = [];
    if (pageTiming) {
        parts.push(`median ${pageTiming.medianMicroseconds.toFixed(1)} µs, mean ` +
                   `${pageTiming.meanMicroseconds.toFixed(1)} µs, worst ` +
                   `${pageTiming.worstMicroseconds.toFixed(0)} µs (timed on the page)`);
    }
    const stats = page.live?.stats;
    if (page.live?.running && stats[kStats.blocks] > 0) {
        const perBlock = (stats[kStats.engineMilliseconds] * 1000) / stats[kStats.blocks];
        parts.push(`about ${perBlock.toFixed(0)} µs on the audio thread (its clock counts milliseconds)`);
    }
    $("block-time").textContent = parts.join("; ") || "…";
    $("block-time").dataset.worst = pageTiming ? String(pageTiming.worstMicroseconds) : "";
    $("block-time").dataset.median = pageTiming ? String(pageTiming.medianMicroseconds) : "";
}

// --- live ------------------------------------------------------------------------------

function showMeters() {
    const live = page.live;
    if (!live?.running) return;
    const s = live.stats;
    const width = (peak) => `${Math.min(100, 100 * Math.sqrt(peak)).toFixed(1)}%`;
    $("meter-in").style.width = width(s[kStats.inputPeak]);
    $("meter-out").style.width = width(s[kStats.outputPeak]);
    const clip = live.clip;
    $("clip-in").classList.toggle("on", clip.input);
    $("clip-out").classList.toggle("on", clip.output);
    const state = $("live-state");
    state.textContent = `running at ${live.sampleRate} Hz, ${s[kStats.quanta]} quanta, ` +
                        `${s[kStats.missedQuanta]} missed`;
    state.dataset.quanta = String(s[kStats.quanta]);
    state.dataset.missed = String(s[kStats.missedQuanta]);
    showTiming();
    requestAnimationFrame(showMeters);
}

async function startLive() {
    $("mic-start").disabled = true;
    page.live ??= new LiveVoice({ module: page.plugin.module, layout: page.plugin.layout,
                                  paths: hostPaths(), onNotice: (t) => message("rate", t, "notice") });
    try {
        await page.live.start(page.presses, $("bypass").checked);
        message("mic", null);
        const rate = page.live.sampleRate;
        $("delay").textContent = `1024 samples (${((1024 / rate) * 1000).toFixed(1)} ms at ${rate / 1000} kHz)`;
        $("mic-stop").disabled = false;
        $("check-delay").disabled = false;
        requestAnimationFrame(showMeters);
    } catch (error) {
        message("mic", error.message);
        $("mic-start").disabled = false;
    }
}

async function stopLive() {
    await page.live?.stop();
    $("mic-start").disabled = false;
    $("mic-stop").disabled = true;
    $("check-delay").disabled = true;
    $("live-state").textContent = "not running";
}

async function checkDelay() {
    const { input, output } = await page.live.snapshot();
    const lag = exactLag(input, output);
    const result = $("delay-check");
    result.dataset.lag = String(lag);
    result.textContent = lag >= 0
        ? `The output is the input, ${lag} samples later, sample for sample.`
        : "The output differs from the input at every delay: the effect is at work.";
}

// --- files -------------------------------------------------------------------------------

let renderTimer = 0;

function scheduleRender() {
    clearTimeout(renderTimer);
    renderTimer = setTimeout(renderCurrent, 150);
}

async function renderCurrent() {
    if (!page.input) return;
    const token = ++page.renderToken;
    const presses = [...page.presses];
    $("render-state").textContent = "Rendering…";
    const output = await renderSamples(page.plugin.module, page.plugin.layout, presses, page.input.samples);
    if (token !== page.renderToken) return;  // a newer press started another render
    page.rendered = output;
    const { kind, strength } = page.control.settings();
    const setting = `${selectedEffectText(kind)}, strength ${strength}`;
    $("after-caption").textContent = setting;
    drawSpectrogram($("spectrogram-after"), output, kRate);
    if (page.downloadUrl) URL.revokeObjectURL(page.downloadUrl);
    page.downloadUrl = URL.createObjectURL(new Blob([encodeWav(output, kRate)], { type: "audio/wav" }));
    const link = $("download");
    link.href = page.downloadUrl;
    link.download = `${page.input.name.replace(/\.[^.]*$/, "")}-${selectedEffectText(kind)
        .toLowerCase().replace(/[^a-z0-9]+/g, "-")}.wav`;
    link.classList.remove("disabled");
    $("play-after").disabled = false;
    $("render-state").textContent = `Rendered: ${setting}.`;
    $("render-state").dataset.renders = String(Number($("render-state").dataset.renders ?? 0) + 1);
}

async function openSound(name, bytes) {
    let decoded;
    try {
        decoded = await decodeAt48k(bytes);
    } catch (error) {
        message("file", `"${name}" is not a sound file this browser can decode` +
                        `${error?.message ? ` (${error.message})` : ""}. Try WAV, FLAC, Ogg or MP3.`);
        return;
    }
    message("file", null);
    page.input = { name, samples: decoded.samples };
    const seconds = (page.input.samples.length / kRate).toFixed(1);
    $("file-name").textContent = `${name} (${seconds} s, ${decoded.channels} channel` +
                                 `${decoded.channels === 1 ? "" : "s, mixed down"})`;
    drawSpectrogram($("spectrogram-before"), page.input.samples, kRate);
    $("play-before").disabled = false;
    await renderCurrent();
}

async function openFile(file) {
    await openSound(file.name, await file.arrayBuffer());
}

function play(samples) {
    stopPlaying();
    const context = new AudioContext({ sampleRate: kRate });
    const source = new AudioBufferSourceNode(context, { buffer: toAudioBuffer(samples) });
    source.connect(context.destination);
    source.onended = () => stopPlaying();
    source.start();
    page.player = context;
    $("stop-playing").disabled = false;
}

function stopPlaying() {
    page.player?.close();
    page.player = null;
    $("stop-playing").disabled = true;
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
    $("play-before").addEventListener("click", () => play(page.input.samples));
    $("play-after").addEventListener("click", () => play(page.rendered));
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
        message("live", liveReason, "notice");
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
    page.control = await PluginSession.open(page.plugin.module, page.plugin.layout,
                                            { onLine: log, paths: hostPaths() });
    buildMenu();
    page.meaning = await learnMenu(page.plugin.module, page.plugin.layout, page.items);
    showSettings();

    $("mic-start").addEventListener("click", startLive);
    $("mic-stop").addEventListener("click", stopLive);
    $("bypass").addEventListener("change", (e) => page.live?.setBypass(e.target.checked));
    $("check-delay").addEventListener("click", checkDelay);
    wireFiles();

    try {
        const response = await fetch(new URL("samples/voice.wav", document.baseURI));
        if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
        await openSound("voice.wav", await response.arrayBuffer());
    } catch (error) {
        message("file", `The bundled voice could not be loaded (${error.message}); open a file of your own.`);
    }
    scheduleTiming();
    document.body.dataset.ready = "true";
}

boot().catch((error) => message("boot", `The page failed to start: ${error?.message ?? error}`));
