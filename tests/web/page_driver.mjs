// Driving the page in a real browser, shared by the browser tests: Debian's Chromium or
// Firefox ESR (through WebDriver BiDi) launched by puppeteer-core, never downloaded.

import assert from "node:assert/strict";

import puppeteer from "puppeteer-core";

import { tempDir } from "./support.mjs";

export const kChromium = process.env.WT_CHROMIUM ?? "/usr/bin/chromium";
export const kFirefox = process.env.WT_FIREFOX ?? "/usr/bin/firefox-esr";
export const kMenuTexts = ["Higher", "Lower", "Monster", "Space Voice", "Space Voice 2", "Robot",
                           "Alien", "No effect", "Increase effect strength",
                           "Decrease effect strength"];

export function launchChromium(args = []) {
    return puppeteer.launch({
        executablePath: kChromium,
        headless: true,
        userDataDir: tempDir("chromium-profile"),
        args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               ...args],
    });
}

export function launchFirefox() {
    return puppeteer.launch({ browser: "firefox", executablePath: kFirefox, headless: true,
                              userDataDir: tempDir("firefox-profile") });
}

// Console errors and uncaught exceptions of `page` go to `problems`.
export function watchProblems(page, problems) {
    page.on("console", (m) => {
        if (m.type() === "error") problems.push(`console: ${m.text()}`);
    });
    page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
}

// A new page at `url` in `context`, once the page reports itself ready; its problems go
// to `problems`.
export async function openPage(context, url, problems) {
    const page = await context.newPage();
    watchProblems(page, problems);
    await page.goto(url);
    await ready(page);
    return page;
}

export const ready = (page) => page.waitForSelector("body[data-ready=true]", { timeout: 30000 });

export const text = (page, selector) => page.$eval(selector, (e) => e.textContent.trim());

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export async function clickMenu(page, label) {
    const [button] = await page.$$(`xpath/.//div[@id="menu"]/button[text()="${label}"]`);
    assert.ok(button, `no menu button "${label}"`);
    await button.click();
}

// Waits until the page has rendered the file `count` times in all.
export async function renders(page, count) {
    await page.waitForFunction(
        (n) => Number(document.getElementById("render-state").dataset.renders ?? 0) >= n,
        { timeout: 30000 }, count);
}

// Waits until the page has rendered the file with `setting` ("Robot, strength 0.75").
export async function renderedAs(page, setting, timeout = 30000) {
    await page.waitForFunction((s) => document.getElementById("render-state").textContent === `Rendered: ${s}.`,
                               { timeout }, setting);
}

// The bytes the page's download link holds.
export async function downloadBytes(page) {
    const bytes = await page.$eval("#download", async (link) => {
        const buffer = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
        let binary = "";
        for (const b of buffer) binary += String.fromCharCode(b);
        return btoa(binary);
    });
    return Buffer.from(bytes, "base64");
}
