// The page in Debian's Firefox ESR, headless, driven through WebDriver BiDi: the second
// engine a visitor is likely to bring. No microphone and no sound output: these cases
// need neither.

import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";

import { serve } from "../../tools/web/serve.mjs";
import { clickMenu, downloadBytes, kMenuTexts, launchFirefox, openPage, renderedAs, renders, text }
    from "./page_driver.mjs";
import { nativeRender, siteDir } from "./support.mjs";

let site;
let browser;
const problems = [];

before(async () => {
    site = await serve(siteDir, 0);
    browser = await launchFirefox();
});

after(async () => {
    await browser?.close();
    site?.server.close();
});

describe("the page in Firefox ESR", () => {
    test("the menu, then a file rendered for Robot byte for byte as wacky-render", async () => {
        const page = await openPage(browser.defaultBrowserContext(), site.url, problems);
        const buttons = await page.$$eval("#menu button", (all) => all.map((b) => b.textContent));
        assert.deepEqual(buttons, kMenuTexts);
        assert.equal(await text(page, "#effect"), "No effect");
        assert.match(await text(page, "#engine"), /^WebAssembly/);

        await renders(page, 1);
        await clickMenu(page, "Robot");
        await clickMenu(page, "Increase effect strength");
        assert.equal(await text(page, "#effect"), "Robot");
        assert.equal(await text(page, "#strength"), "0.75");
        await renderedAs(page, "Robot, strength 0.75");
        const download = await downloadBytes(page);
        assert.ok(Buffer.compare(download, nativeRender({ effect: "Robot", strength: 0.75 })) === 0,
                  "the download equals the native render byte for byte");
        await page.close();
    });

    test("the share link selects its setting through the menu", async () => {
        const page = await openPage(browser.defaultBrowserContext(),
                                    `${site.url}#effect=robot&strength=0.75`, problems);
        await page.waitForFunction(() => document.getElementById("effect").textContent === "Robot",
                                   { timeout: 30000 });
        assert.equal(await text(page, "#strength"), "0.75");
        await clickMenu(page, "Space Voice 2");
        await page.waitForFunction(() => location.hash === "#effect=space-voice-2&strength=0.75",
                                   { timeout: 30000 });
        await page.close();
    });

    test("no console error and no uncaught exception on any page", () => {
        assert.deepEqual(problems, []);
    });
});
