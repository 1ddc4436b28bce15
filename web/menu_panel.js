// The plugin's menu as buttons, the setting it has reached, and the share link. The page's
// own load of the plugin (`control`) keeps the menu's state, as the client's does; every
// press is kept too, to be replayed into each new load (the live voice, renders, timing).

import { learnMenu } from "./menu_meaning.js";
import { showMessage } from "./messages.js";
import { $ } from "./page_controls.js";
import { PluginSession } from "./plugin_session.js";
import { effectSlug, formatFragment, kNoEffect, parseFragment, strengthPath } from "./share_link.js";

const linkMessage = (text) => showMessage("messages", "link", text);

// plugin: { module, layout }. control: the page's PluginSession. onPress(id): told after
// each press, once the menu shows it.
export function createMenuPanel({ plugin, control, onPress }) {
    const loadedKind = control.settings().kind;  // a fresh load's: no effect
    const presses = [];
    let items = [];
    let meaning = new Map();

    const itemSelecting = (kind) => items.find((i) => meaning.get(i.id)?.selects === kind);
    const selectedEffectText = (kind) => itemSelecting(kind)?.text ?? `kind ${kind}`;
    const effectName = (item) =>
        meaning.get(item.id)?.selects === loadedKind ? kNoEffect : effectSlug(item.text);

    function settingText() {
        const { kind, strength } = control.settings();
        return `${selectedEffectText(kind)}, strength ${strength}`;
    }

    function showSettings() {
        const { kind, strength } = control.settings();
        $("effect").textContent = selectedEffectText(kind);
        $("strength").textContent = String(strength);
        // Only the items that select an effect are toggles; the strength items are plain.
        for (const button of $("menu").querySelectorAll("button")) {
            const itemMeaning = meaning.get(Number(button.dataset.id));
            if (itemMeaning?.selects === undefined) button.removeAttribute("aria-pressed");
            else button.setAttribute("aria-pressed", String(itemMeaning.selects === kind));
        }
    }

    function writeFragment() {
        const { kind, strength } = control.settings();
        const item = itemSelecting(kind);
        if (item) history.replaceState(null, "", formatFragment(effectName(item), strength));
    }

    function press(id) {
        presses.push(id);
        control.press(id);
        showSettings();
        writeFragment();
        linkMessage(null);  // its "now" is past
        onPress(id);
    }

    function buildMenu() {
        items = control.menu().items;
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
        const effects = items.filter((i) => meaning.get(i.id)?.selects !== undefined);
        if (link.effect !== null) {
            const item = effects.find((i) => effectName(i) === link.effect || effectSlug(i.text) === link.effect);
            if (item) press(item.id);
            else problems.push(`names the effect "${link.effect}", which the menu does not have`);
        }
        if (link.strength !== null) {
            const steppers = items.filter((i) => meaning.get(i.id)?.strength).map((i) => i.id);
            const open = () => PluginSession.open(plugin.module, plugin.layout, { maxFrames: 1 });
            const pressed = presses.length;
            const found = await strengthPath(open, presses, steppers, link.strength);
            if (presses.length !== pressed) return;  // the visitor's own presses came after the link
            if (found.presses) found.presses.forEach(press);
            else {
                problems.push(`asks for strength ${link.strength}, which the menu cannot reach from here ` +
                              `(it reaches ${found.reachable.join(", ")})`);
            }
        }
        if (link.unknown.length > 0) problems.push(`has parts this page does not read (${link.unknown.join(", ")})`);
        if (problems.length === 0) {
            linkMessage(null);
            return;
        }
        const names = effects.map(effectName).join(", ");
        linkMessage(`The link ${problems.join("; it ")}. It takes #effect=NAME&strength=NUMBER, NAME ` +
                    `one of ${names}. Now: ${settingText()}.`);
        writeFragment();
    }

    return {
        // Shows the menu and selects what the address links to; from then on follows it.
        async start() {
            buildMenu();
            meaning = await learnMenu(plugin.module, plugin.layout, items);
            showSettings();
            await applyLink();
            writeFragment();
            window.addEventListener("hashchange", () => {
                applyLink().catch((error) => linkMessage(`The link could not be applied: ${error?.message ?? error}`));
            });
        },
        // Every press so far, in order: what a new load replays to reach this setting. The
        // list itself, which grows with each press; not to be changed.
        presses,
        // "Robot, strength 0.75".
        settingText,
        // The selected effect's menu text.
        effectText: () => selectedEffectText(control.settings().kind),
        // The selected effect as the share link names it ("robot", "none").
        effectName: () => effectName(itemSelecting(control.settings().kind) ?? items[0]),
    };
}
