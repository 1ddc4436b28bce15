// The page as visitors meet it, in Debian's Chromium: an answer wherever they look, the
// keyboard and a screen reader's view (axe-core), figures that hold on any host, a long
// file that never freezes the page, and the share link and recording. The fake
// microphone plays the bundled voice.

import assert from "node:assert/strict";
import crypto from "node:crypto";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import { createRequire } from "node:module";

import { serve } from "../../tools/web/serve.mjs";
import { clickMenu, launchChromium, ready, renderedAs, sleep, text, watchProblems } from "./page_driver.mjs";
import { nativeRender, pcmWav, readWav, samplePath, siteDir, tempDir } from "./support.mjs";

const kAxe = fs.readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const kPhone = { width: 390, height: 844 };
const kLongMinutes = 10;

let site;
let plainSite;
let browser;
const problems = [];  // console errors and uncaught exceptions, of every page

// The site again without the cross-origin isolation headers, as most static hosts serve
// it: a pass-through to the project's server that drops them.
function servePlain(upstream) {
    const server = http.createServer((request, response) => {
        http.get(new URL(request.url, upstream), (answer) => {
            const headers = { ...answer.headers };
            delete headers["cross-origin-opener-policy"];
            delete headers["cross-origin-embedder-policy"];
            response.writeHead(answer.statusCode, headers);
            answer.pipe(response);
        });
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => {
        resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    }));
}

// options.isolated false: from the plain server. options.init: a function run in the
// page before its own scripts.
async function openPage({ hash = "", microphone = true, isolated = true, viewport, init } = {}) {
    const origin = isolated ? site.url : plainSite.url;
    const context = await browser.createBrowserContext();
    await context.overridePermissions(origin, microphone ? ["microphone"] : []);
    const page = await context.newPage();
    watchProblems(page, problems);
    await page.setBypassCSP(true);  // axe is injected as an inline script
    await page.setViewport(viewport ?? { width: 1000, height: 1300 });
    if (init) await page.evaluateOnNewDocument(init);
    await page.goto(origin + hash);
    await ready(page);
    return page;
}

async function liveRunning(page) {
    await page.waitForFunction(() => Number(document.getElementById("live-state").dataset.quanta) > 200,
                               { timeout: 20000 });
}

// Whether the element lies wholly inside the window.
const inView = (page, selector) => page.$eval(selector, (e) => {
    const r = e.getBoundingClientRect();
    return r.top >= 0 && r.bottom <= window.innerHeight;
});

async function seriousViolations(page) {
    if (!(await page.evaluate(() => typeof window.axe === "object"))) await page.addScriptTag({ content: kAxe });
    const { violations } = await page.evaluate(() => window.axe.run(document, { resultTypes: ["violations"] }));
    return violations.filter((v) => v.impact === "serious" || v.impact === "critical")
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
}

before(async () => {
    site = await serve(siteDir, 0);
    plainSite = await servePlain(site.url);
    browser = await launchChromium(["--autoplay-policy=no-user-gesture-required",
                                    "--use-fake-device-for-media-stream",
                                    `--use-file-for-fake-audio-capture=${samplePath}`,
                                    "--enable-blink-features=ForceEagerMeasureMemory"]);
});

after(async () => {
    await browser?.close();
    site?.server.close();
    plainSite?.server.close();
});

describe("the page as visitors meet it", () => {
    test("an answer for every state, beside the control, in view on a phone", async () => {
        // The permission question stays open until the test answers it, and the audio
        // device never starts, as in a browser without a sound output.
        const page = await openPage({ viewport: kPhone, init: () => {
            const real = navigator.mediaDevices.getUserMedia.bind(navigator.mediaDevices);
            window.streams = [];
            navigator.mediaDevices.getUserMedia = (constraints) => new Promise((resolve, reject) => {
                window.answerPrompt = () => real(constraints).then((s) => {
                    window.streams.push(s);
                    resolve(s);
                }, reject);
            });
            AudioContext.prototype.resume = () => new Promise(() => {});
        } });
        await page.$eval("#mic-start", (b) => b.scrollIntoView());
        await page.click("#mic-start");
        await page.waitForSelector('#live-messages [data-topic="permission"]');
        assert.match(await text(page, '[data-topic="permission"]'), /Waiting for permission/);
        assert.equal(await page.$eval("#mic-stop", (b) => b.disabled), false, "Stop stays usable");

        await page.evaluate(() => window.answerPrompt());
        await page.waitForSelector('#live-messages [data-topic="mic"]', { timeout: 20000 });
        assert.match(await text(page, '[data-topic="mic"]'), /did not start within \d+ seconds/);
        assert.equal(await page.$('[data-topic="permission"]'), null);
        assert.equal(await page.$eval("#mic-start", (b) => b.disabled), false);
        assert.equal(await page.evaluate(() => window.streams.flatMap((s) => s.getTracks())
            .every((t) => t.readyState === "ended")), true, "the microphone is released");

        const folder = tempDir("no-sound");
        const files = { "empty.wav": Buffer.alloc(0), "header.wav": pcmWav([[], []], 48000) };
        const reasons = { "empty.wav": /"empty\.wav" is empty/,
                          "header.wav": /"header\.wav" is a sound file with no samples/ };
        for (const [name, bytes] of Object.entries(files)) {
            fs.writeFileSync(path.join(folder, name), bytes);
            await page.evaluate(() => window.scrollTo(0, 0));
            await (await page.$("#file")).uploadFile(path.join(folder, name));
            await page.waitForFunction((n) => document.querySelector('#file-messages [data-topic="file"]')
                ?.textContent.includes(n), {}, name);
            assert.match(await text(page, '[data-topic="file"]'), reasons[name]);
            assert.ok(await inView(page, '[data-topic="file"]'), `the message about ${name} is in view`);
        }
        await page.browserContext().close();
    });

    test("keyboard and screen reader: every control reached, focus kept, no serious axe finding", async () => {
        const page = await openPage();
        assert.deepEqual(await seriousViolations(page), [], "on load");
        const strengthToggles = await page.$$eval("#menu button", (all) => all
            .filter((b) => /strength/.test(b.textContent)).map((b) => b.getAttribute("aria-pressed")));
        assert.deepEqual(strengthToggles, [null, null], "strength items are no toggles");

        let reached = false;
        for (let i = 0; i < 40 && !reached; ++i) {
            await page.keyboard.press("Tab");
            reached = await page.evaluate(() => document.activeElement?.id === "file");
        }
        assert.ok(reached, "the file chooser is reached with Tab");

        await page.focus("#mic-start");
        await page.keyboard.press("Enter");
        await liveRunning(page);
        assert.equal(await page.evaluate(() => document.activeElement.id), "mic-stop");
        await page.keyboard.press("Enter");
        await page.waitForFunction(() => !document.getElementById("mic-start").disabled);
        assert.equal(await page.evaluate(() => document.activeElement.id), "mic-start");

        await renderedAs(page, "No effect, strength 0.25");
        assert.deepEqual(await seriousViolations(page), [], "after a render and the live voice");
        await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
        assert.deepEqual(await seriousViolations(page), [], "in the dark scheme");
        await page.browserContext().close();
    });

    test("figures hold without cross-origin isolation; the delay check clears on a change", async (t) => {
        const page = await openPage({ isolated: false });
        assert.equal(await page.evaluate(() => self.crossOriginIsolated), false);
        await page.waitForFunction(() => document.getElementById("block-time").dataset.median, { timeout: 30000 });
        const median = Number(await page.$eval("#block-time", (e) => e.dataset.median));
        t.diagnostic(`engine time per block, not isolated: ${await text(page, "#block-time")}`);
        assert.ok(median > 1, `${median} µs per block`);

        await page.click("#mic-start");
        await liveRunning(page);
        // The voice has pauses: a check over one of them finds silence, and tries again.
        const verdicts = [];
        while (verdicts.length < 10 && verdicts.at(-1) !== "delay") {
            await page.click("#check-delay");
            await page.waitForFunction(() => document.getElementById("delay-check").dataset.verdict);
            verdicts.push(await page.$eval("#delay-check", (e) => e.dataset.verdict));
            if (verdicts.at(-1) !== "delay") await sleep(300);
        }
        assert.ok(verdicts.every((v) => v === "delay" || v === "silent"), verdicts.join(", "));
        assert.match(await text(page, "#delay-check"), /1024 samples later/);
        await clickMenu(page, "Robot");
        assert.equal(await text(page, "#delay-check"), "");
        await page.browserContext().close();
    });

    test(`a ${kLongMinutes}-minute stereo file, pressed during and after, renders off the page's thread`, async (t) => {
        const voice = readWav(fs.readFileSync(samplePath)).samples;
        const frames = kLongMinutes * 60 * 48000;
        const data = new Int16Array(2 * frames);
        for (let f = 0; f < frames; ++f) {
            data[2 * f] = voice[f % voice.length];
            data[2 * f + 1] = voice[(f + 12345) % voice.length] >> 1;
        }
        const header = pcmWav([[], []], 48000);
        header.writeUInt32LE(36 + data.byteLength, 4);
        header.writeUInt32LE(data.byteLength, 40);
        const long = path.join(tempDir("long"), "long.wav");
        fs.writeFileSync(long, Buffer.concat([header, Buffer.from(data.buffer)]));

        const page = await openPage({ microphone: false, init: () => {
            window.longest = 0;
            new PerformanceObserver((list) => {
                for (const e of list.getEntries()) window.longest = Math.max(window.longest, e.duration);
            }).observe({ type: "longtask" });
        } });
        await renderedAs(page, "No effect, strength 0.25");
        const memory = () => page.evaluate(async () => (await performance.measureUserAgentSpecificMemory()).bytes);
        const memoryBefore = await memory();
        await page.evaluate(() => {
            window.longest = 0;
            window.progress = [];
            const bar = document.getElementById("render-progress");
            window.barShown = false;
            new MutationObserver(() => {
                window.progress.push(bar.value);
                window.barShown ||= !bar.hidden;
            }).observe(bar, { attributes: true });
        });
        await (await page.$("#file")).uploadFile(long);
        await page.waitForFunction(() => window.progress.some((v) => v > 0), { timeout: 60000 });
        await clickMenu(page, "Robot");
        await renderedAs(page, "Robot, strength 0.25", 120000);
        await clickMenu(page, "Alien");
        await renderedAs(page, "Alien, strength 0.25", 120000);

        const { longest, progress, barShown } = await page.evaluate(() => ({
            longest: window.longest, progress: window.progress, barShown: window.barShown }));
        const hash = await page.$eval("#download", async (link) => {
            const digest = await crypto.subtle.digest("SHA-256", await (await fetch(link.href)).arrayBuffer());
            return Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join("");
        });
        t.diagnostic(`${kLongMinutes} min stereo: longest main-thread task ${longest.toFixed(0)} ms; ` +
                     `${progress.length} progress steps, bar shown: ${barShown}; memory ` +
                     `${(memoryBefore / 1e6).toFixed(0)} MB before, ` +
                     `${((await memory()) / 1e6).toFixed(0)} MB after`);
        assert.ok(progress.filter((v) => v > 0 && v < 1).length >= 2,
                  "the page's thread saw the render's progress while it ran");
        const native = crypto.createHash("sha256")
            .update(nativeRender({ effect: "Alien", strength: 0.25, input: long }));
        assert.equal(hash, native.digest("hex"), "the download equals the native render");
        fs.rmSync(path.dirname(long), { recursive: true, force: true });
        await page.browserContext().close();
    });

    test("a share link selects its setting, each press rewrites it; a recording keeps the samples", async () => {
        const bad = await openPage({ hash: "#effect=kazoo&strength=0.3", microphone: false });
        assert.match(await text(bad, '#messages [data-topic="link"]'), /"kazoo".*strength 0\.3/s);
        assert.equal(await bad.evaluate(() => location.hash), "#effect=none&strength=0.25");
        await bad.browserContext().close();

        const page = await openPage({ hash: "#effect=space-voice-2&strength=0.5", init: () => {
            const Node = AudioWorkletNode;
            window.AudioWorkletNode = class extends Node {
                constructor(...args) {
                    super(...args);
                    window.liveNode = this;
                }
            };
        } });
        assert.deepEqual([await text(page, "#effect"), await text(page, "#strength")], ["Space Voice 2", "0.5"]);
        await clickMenu(page, "Increase effect strength");
        assert.equal(await page.evaluate(() => location.hash), "#effect=space-voice-2&strength=1");
        await clickMenu(page, "No effect");
        assert.equal(await page.evaluate(() => location.hash), "#effect=none&strength=1");

        // The recording against the worklet's own history of the plugin's output, taken
        // while it records: that history is a stretch of the recording, sample for sample.
        await page.click("#mic-start");
        await liveRunning(page);
        await page.click("#record");
        await sleep(1500);
        const output = await page.evaluate(() => new Promise((resolve) => {
            window.liveNode.port.addEventListener("message", ({ data }) => {
                if (data.type === "snapshot") resolve(Array.from(data.output.subarray(-8192)));
            });
            window.liveNode.port.postMessage({ type: "snapshot" });
        }));
        await page.click("#record");
        await page.waitForFunction(() => document.getElementById("record-download").href);
        const bytes = await page.$eval("#record-download", async (link) =>
            Array.from(new Uint8Array(await (await fetch(link.href)).arrayBuffer())));
        const { rate, samples } = readWav(Uint8Array.from(bytes));
        assert.equal(rate, 48000);
        assert.ok(samples.length > 48000, `${samples.length} samples recorded`);
        const found = samples.findIndex((_, at) => output.every((v, i) => v === samples[at + i]));
        assert.ok(found >= 0 && output.some((v) => v !== 0), "the plugin's output is in the recording unchanged");
        await page.browserContext().close();
    });

    test("no console error and no uncaught exception on any page", () => {
        assert.deepEqual(problems, []);
    });
});
