// The page in a real browser: Debian's Chromium, headless, with a fake microphone that
// plays the bundled voice. Everything is done through the page's own controls.

import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { after, before, describe, test } from "node:test";

import { serve } from "../../tools/web/serve.mjs";
import { clickMenu, downloadBytes, kMenuTexts, launchChromium, ready, renderedAs, renders, sleep, text, watchProblems }
    from "./page_driver.mjs";
import { nativeRender, pcmWav, samplePath, siteDir, tempDir } from "./support.mjs";

const outputDir = process.env.WT_TEST_OUTPUT ?? tempDir("page-output");
const kQuantaPerSecond = 48000 / 128;

let site;
let browser;
const problems = [];  // console errors and uncaught exceptions, of every page

async function openPage({ microphone }) {
    const context = await browser.createBrowserContext();
    await context.overridePermissions(site.url, microphone ? ["microphone"] : []);
    const page = await context.newPage();
    watchProblems(page, problems);
    await page.setViewport({ width: 1000, height: 1300 });
    await page.goto(site.url);
    await ready(page);
    return page;
}

const data = (page, selector, key) => page.$eval(selector, (e, k) => e.dataset[k], key);

async function delayCheck(page) {
    await page.click("#check-delay");
    await page.waitForFunction(() => document.getElementById("delay-check").dataset.lag !== undefined);
    const lag = Number(await data(page, "#delay-check", "lag"));
    await page.$eval("#delay-check", (e) => delete e.dataset.lag);
    return lag;
}

before(async () => {
    fs.mkdirSync(outputDir, { recursive: true });
    site = await serve(siteDir, 0);
    browser = await launchChromium(["--autoplay-policy=no-user-gesture-required",
                                    "--use-fake-device-for-media-stream",
                                    `--use-file-for-fake-audio-capture=${samplePath}`]);
});

after(async () => {
    await browser?.close();
    site?.server.close();
});

describe("the page", () => {
    test("menu, live voice, strength and a rendered file, all through the page", async (t) => {
        const page = await openPage({ microphone: true });
        const buttons = await page.$$eval("#menu button", (all) => all.map((b) => b.textContent));
        assert.deepEqual(buttons, kMenuTexts);
        assert.equal(await text(page, "#effect"), "No effect");

        await page.click("#mic-start");
        await page.waitForFunction(() => Number(document.getElementById("live-state").dataset.quanta) > 200,
                                   { timeout: 20000 });
        await sleep(1000);
        assert.equal(await delayCheck(page), 1024, "No effect gives the input back 1024 samples late");

        await clickMenu(page, "Robot");
        assert.equal(await text(page, "#effect"), "Robot");
        await sleep(1000);  // the history the check reads now holds Robot's output only
        assert.equal(await delayCheck(page), -1, "Robot changes the voice");

        const quanta0 = Number(await data(page, "#live-state", "quanta"));
        const missed0 = Number(await data(page, "#live-state", "missed"));
        await sleep(10000);
        const quanta = Number(await data(page, "#live-state", "quanta")) - quanta0;
        const missed = Number(await data(page, "#live-state", "missed")) - missed0;
        t.diagnostic(`live: ${quanta} quanta in 10 s, ${missed} missed; since the start ` +
                     `${await data(page, "#live-state", "missed")} missed`);
        assert.equal(missed, 0);
        assert.ok(quanta > 9 * kQuantaPerSecond, `${quanta} quanta in 10 s`);

        const strengths = [];
        for (let i = 0; i < 3; ++i) {
            await clickMenu(page, "Increase effect strength");
            strengths.push(await text(page, "#strength"));
        }
        assert.deepEqual(strengths, ["0.75", "1", "1"]);

        // The bundled voice, rendered for Robot at strength 1 (the first render was at load).
        await renders(page, 2);
        await renderedAs(page, "Robot, strength 1");
        const download = await downloadBytes(page);
        fs.writeFileSync(path.join(outputDir, "voice-robot-1.wav"), download);
        assert.ok(Buffer.compare(download, nativeRender({ effect: "Robot", strength: 1 })) === 0,
                  "the download equals the native render byte for byte");

        await sleep(500);
        const worst = Number(await data(page, "#block-time", "worst"));
        const median = Number(await data(page, "#block-time", "median"));
        t.diagnostic(`engine time per block on the page: median ${median.toFixed(1)} µs, ` +
                     `worst ${worst.toFixed(0)} µs; ${await text(page, "#block-time")}`);
        await page.screenshot({ path: path.join(outputDir, "page.png"), fullPage: true });
        await page.browserContext().close();
    });

    test("a file that is not sound, then sound at another rate, then the voice", async () => {
        const page = await openPage({ microphone: false });
        await renders(page, 1);
        const notSound = path.join(tempDir("not-sound"), "notes.wav");
        fs.writeFileSync(notSound, "These are notes, not sound.\n".repeat(50));
        const input = await page.$("#file");
        await input.uploadFile(notSound);
        await page.waitForSelector('[data-topic="file"]', { timeout: 20000 });
        assert.match(await text(page, '[data-topic="file"]'),
                     /"notes\.wav" is not a sound file this browser can decode/);

        // Two channels at 44.1 kHz: the browser resamples, the page mixes down.
        const tone = Int16Array.from({ length: 44100 }, (_, i) => Math.round(8000 * Math.sin(i / 10)));
        const other = path.join(tempDir("tone"), "tone.wav");
        fs.writeFileSync(other, pcmWav([tone, tone.map((v) => -v)], 44100));
        await input.uploadFile(other);
        await renders(page, 2);
        assert.equal(await page.$('[data-topic="file"]'), null);
        assert.equal(await text(page, "#file-name"), "tone.wav (1.0 s, 2 channels, mixed down)");

        await input.uploadFile(samplePath);
        await renders(page, 3);
        assert.equal(await page.$('[data-topic="file"]'), null);
        assert.match(await text(page, "#file-name"), /^voice\.wav/);
        await page.browserContext().close();
    });

    test("a refused microphone, then the page goes on", async () => {
        const page = await openPage({ microphone: false });
        await renders(page, 1);
        await page.click("#mic-start");
        await page.waitForSelector('[data-topic="mic"]', { timeout: 20000 });
        assert.match(await text(page, '[data-topic="mic"]'), /The microphone was refused/);
        assert.equal(await page.$eval("#mic-start", (b) => b.disabled), false);

        await clickMenu(page, "Alien");
        assert.equal(await text(page, "#effect"), "Alien");
        await renders(page, 2);
        assert.match(await text(page, "#render-state"), /^Rendered: Alien, strength 0\.25\.$/);
        await page.browserContext().close();
    });

    test("no console error and no uncaught exception on any page", () => {
        assert.deepEqual(problems, []);
    });
});
