// The page as an installed app in Debian's Chromium: what it needs to be installable,
// everything working with the server gone after one visit, a new build taking the old
// one's place, and what a reload costs.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { after, before, describe, test } from "node:test";

import { serve } from "../../tools/web/serve.mjs";
import { launchChromium, openPage, ready, renders, text } from "./page_driver.mjs";
import { siteDir, sourceDir, tempDir } from "./support.mjs";

let browser;
const problems = [];

const controlled = (page) => page.waitForFunction(() => navigator.serviceWorker.controller !== null,
                                                  { timeout: 30000 });
const cacheNames = (page) => page.evaluate(() => caches.keys());

async function stop(site) {
    site.server.closeAllConnections();
    await new Promise((resolve) => site.server.close(resolve));
}

// The site copied, so that a test may change it as a new build would.
function siteCopy() {
    const copy = path.join(tempDir("site"), "web");
    fs.cpSync(siteDir, copy, { recursive: true });
    return copy;
}

// A counter of the bytes `site`'s server has sent, headers included, to the page and its
// service worker alike.
function sentBytes(site) {
    let closed = 0;
    const open = new Set();
    site.server.on("connection", (socket) => {
        open.add(socket);
        socket.on("close", () => {
            closed += socket.bytesWritten;
            open.delete(socket);
        });
    });
    return () => closed + [...open].reduce((sum, socket) => sum + socket.bytesWritten, 0);
}

// The bytes sent while `action` runs, the service worker bypassed or not.
async function transfer(sent, page, bypassWorker, action) {
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.setBypassServiceWorker", { bypass: bypassWorker });
    const before = sent();
    await action();
    const bytes = sent() - before;
    await cdp.detach();
    return bytes;
}

before(async () => {
    browser = await launchChromium();
});

after(async () => {
    await browser?.close();
});

describe("installed and offline", () => {
    test("installable: manifest and icons as the browser reads them", async () => {
        const site = await serve(siteDir, 0);
        // Not a separate context: the browser installs nothing from one (as incognito).
        const page = await openPage(browser.defaultBrowserContext(), site.url, problems);
        await controlled(page);
        const cdp = await page.createCDPSession();
        const { errors } = await cdp.send("Page.getAppManifest");
        assert.deepEqual(errors, []);
        const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
        assert.deepEqual(installabilityErrors, []);
        await page.close();
        await stop(site);
    });

    test("after one visit: the page, both modules and the bundled voice with the server gone", async (t) => {
        const site = await serve(siteDir, 0);
        const sent = sentBytes(site);
        const context = await browser.createBrowserContext();
        const page = await context.newPage();
        page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
        const first = await transfer(sent, page, false, async () => {
            await page.goto(site.url);
            await ready(page);
            await controlled(page);
        });
        const cached = await transfer(sent, page, false, async () => {
            await page.reload();
            await ready(page);
        });
        const revalidated = await transfer(sent, page, true, async () => {
            await page.reload();
            await ready(page);
        });
        t.diagnostic(`sent: first visit ${first} bytes; reload ${cached} bytes through the ` +
                     `service worker, ${revalidated} bytes without it (validators)`);
        // Revalidated answers carry headers only: a small fraction of the first visit.
        assert.ok(revalidated < first / 20, `${revalidated} bytes on reload`);

        await stop(site);
        await page.reload();
        await ready(page);
        await renders(page, 1);
        assert.match(await text(page, "#file-name"), /^voice\.wav/);
        assert.equal(await page.$("#messages .message"), null);
        const modules = await page.evaluate(async () => {
            const sizes = [];
            for (const file of ["wacky_throats.wasm", "wacky_throats_simd.wasm"]) {
                const bytes = await (await fetch(file)).arrayBuffer();
                await WebAssembly.compile(bytes);
                sizes.push(bytes.byteLength);
            }
            return sizes;
        });
        assert.deepEqual(modules, ["wacky_throats.wasm", "wacky_throats_simd.wasm"]
            .map((file) => fs.statSync(path.join(siteDir, file)).size));
        await context.close();
    });

    test("a new build replaces the old one's files and cache on the next visit", async () => {
        const copy = siteCopy();
        const site = await serve(copy, 0);
        const context = await browser.createBrowserContext();
        const page = await openPage(context, site.url, problems);
        await controlled(page);
        const [oldCache] = await cacheNames(page);

        // The new build: another page title, and the worker written again as the build does.
        const index = path.join(copy, "index.html");
        fs.writeFileSync(index, fs.readFileSync(index, "utf8").replace("<title>", "<title>New: "));
        const worker = fs.readFileSync(path.join(copy, "service_worker.js"), "utf8");
        const files = worker.match(/const kFiles = "([^"]+)"/)[1].split(" ");
        execFileSync(process.env.WT_CMAKE ?? "cmake", [
            `-DSITE=${copy}`, `-DFILES=${files.join(";")}`,
            `-DTEMPLATE=${path.join(sourceDir, "web/offline/service_worker.js")}`,
            "-DOUTPUT=service_worker.js", "-P", path.join(sourceDir, "web/cmake/offline_site.cmake")]);

        // The reload still shows the old build; the new worker takes over and the page
        // reloads itself with the new one.
        await page.reload();
        await page.waitForFunction(() => document.title.startsWith("New: "), { timeout: 30000 });
        await ready(page);
        const names = await cacheNames(page);
        assert.equal(names.length, 1);
        assert.notEqual(names[0], oldCache);
        assert.match(names[0], /^wacky-throats-[0-9a-f]{16}$/);
        await context.close();
        await stop(site);
    });

    test("no console error and no uncaught exception on any page", () => {
        assert.deepEqual(problems, []);
    });
});
