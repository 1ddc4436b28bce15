// The plugin's console: the lines the page's own load of the plugin prints, the latest
// kLogLines of them, scrolled to the newest.

import { $ } from "./page_controls.js";

const kLogLines = 400;

export function logLine(text) {
    const panel = $("log");
    const lines = panel.textContent ? panel.textContent.split("\n") : [];
    lines.push(text);
    panel.textContent = lines.slice(-kLogLines).join("\n");
    panel.scrollTop = panel.scrollHeight;
}
