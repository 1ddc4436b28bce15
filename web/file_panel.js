// The sound file's panel: open or drop a file (the bundled voice to begin with), its
// before and after pictures, playing either, and the render to download. The render
// worker holds the file and does the work; this side draws and plays what it hands back.

import { showMessage } from "./messages.js";
import { $, enableLink, switchControls } from "./page_controls.js";
import { kRate } from "./page_rate.js";
import { soundSource } from "./render.js";
import { drawPixels } from "./sonogram.js";

const kProgressAfterMs = 1000;  // a render shows its progress bar once it has run this long
const kRenderAfterMs = 150;     // a render starts once the presses have paused this long

// Topics: file, render.
const message = (topic, text, options) => showMessage("file-messages", topic, text, options);

function canvasSize(id) {
    return { width: $(id).width, height: $(id).height };
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

// worker: the RenderWorker. menu: the menu panel. onOpened(): told when a file is open,
// which stopped the worker's timing under way.
export function createFilePanel({ worker, menu, onOpened }) {
    let input = null;        // { name, frames, channels } of the file the worker holds
    let player = null;       // { context, button } while one plays
    let playToken = 0;
    let progressTimer = 0;
    let renderTimer = 0;
    let downloadUrl = null;

    function hideProgress() {
        clearTimeout(progressTimer);
        $("render-progress").hidden = true;
    }

    async function renderCurrent() {
        if (!input) return;
        const presses = [...menu.presses];
        const setting = menu.settingText();
        const effectText = menu.effectText();
        const progress = $("render-progress");
        $("render-state").textContent = "Rendering…";
        progress.value = 0;
        clearTimeout(progressTimer);
        progressTimer = setTimeout(() => { progress.hidden = false; }, kProgressAfterMs);
        let result;
        try {
            result = await worker.render(presses, canvasSize("spectrogram-after"), (done) => {
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
        if (downloadUrl) URL.revokeObjectURL(downloadUrl);
        downloadUrl = URL.createObjectURL(result.wav);
        enableLink("download", downloadUrl, `${input.name.replace(/\.[^.]*$/, "")}-` +
                   `${effectText.toLowerCase().replace(/[^a-z0-9]+/g, "-")}.wav`);
        $("play-after").disabled = false;
        $("render-state").textContent = `Rendered: ${setting}.`;
        $("render-state").dataset.renders = String(Number($("render-state").dataset.renders ?? 0) + 1);
    }

    async function openSound(name, bytes, { reveal = true } = {}) {
        let source;
        let opened;
        try {
            source = await soundSource(bytes);
            opened = await worker.open(source, canvasSize("spectrogram-before"));
        } catch (error) {
            message("file", fileProblem(name, error), { reveal });
            // The open stopped the render under way; the worker still holds the last file.
            if (source) renderCurrent();
            return;
        }
        message("file", null);
        input = { name, frames: opened.frames, channels: opened.channels };
        const seconds = (opened.frames / kRate).toFixed(1);
        $("file-name").textContent = `${name} (${seconds} s, ${opened.channels} channel` +
                                     `${opened.channels === 1 ? "" : "s, mixed down"})`;
        drawPixels($("spectrogram-before"), opened.pixels);
        $("spectrogram-before").setAttribute("aria-label", `Spectrogram before the plugin: ${name}, ` +
                                             `${seconds} s, time left to right, 0 to 12 kHz bottom to top`);
        $("play-before").disabled = false;
        renderCurrent();
        onOpened();
    }

    async function openFile(file) {
        await openSound(file.name, await file.arrayBuffer());
    }

    // The audio context is made in the click's own task, as browsers let only those start.
    async function play(which, button) {
        stopPlaying();
        const context = new AudioContext({ sampleRate: kRate });
        const token = ++playToken;
        player = { context, button };
        let answer;
        try {
            answer = await worker.floats(which);
        } catch (error) {
            if (token !== playToken) return;
            stopPlaying();
            message("render", `The sound could not be played: ${error.message}`);
            return;
        }
        if (token !== playToken) return;
        const buffer = new AudioBuffer({ length: Math.max(1, answer.floats.length), sampleRate: kRate });
        buffer.copyToChannel(answer.floats, 0);
        const source = new AudioBufferSourceNode(context, { buffer });
        source.connect(context.destination);
        source.onended = () => {
            if (player?.context === context) stopPlaying();
        };
        source.start();
        $("stop-playing").disabled = false;
    }

    function stopPlaying() {
        const playing = player;
        player = null;
        ++playToken;
        playing?.context.close();
        switchControls(playing ? [playing.button] : [], ["stop-playing"]);
    }

    return {
        // Takes files and clicks from here on.
        wire() {
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
        },
        // Opens the voice the site bundles, or says why it could not.
        async openBundled() {
            try {
                const response = await fetch(new URL("samples/voice.wav", document.baseURI));
                if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
                await openSound("voice.wav", await response.arrayBuffer(), { reveal: false });
            } catch (error) {
                message("file", `The bundled voice could not be loaded (${error.message}); open a file of your own.`,
                        { reveal: false });
            }
        },
        // The menu's setting changed: the render follows once the presses pause.
        settingChanged() {
            clearTimeout(renderTimer);
            renderTimer = setTimeout(renderCurrent, kRenderAfterMs);
        },
    };
}
