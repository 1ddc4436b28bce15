// What each item of the plugin's menu does, learnt from the plugin itself rather than
// from a copy of its table: each item is pressed in a fresh load of the module and the
// effect settings are read back. An item that changes the effect kind selects that kind;
// an item that leaves the kind as loaded is pressed again after one that changed it, and
// if the kind then returns to the loaded one, the item selects that. Whatever else
// changes the strength.
//
// Resolves to a Map from item ID to { selects: kind } or { strength: true } (or {}).

import { PluginSession } from "./plugin_session.js";

export async function learnMenu(module, layout, items) {
    const meaning = new Map();
    const pressedAlone = [];
    for (const item of items) {
        const session = await PluginSession.open(module, layout, { maxFrames: 1 });
        const before = session.settings();
        session.press(item.id);
        const after = session.settings();
        pressedAlone.push({ item, before, after });
    }
    const selector = pressedAlone.find((p) => p.after.kind !== p.before.kind);
    for (const { item, before, after } of pressedAlone) {
        if (after.kind !== before.kind) {
            meaning.set(item.id, { selects: after.kind });
            continue;
        }
        if (selector) {
            const session = await PluginSession.open(module, layout, { maxFrames: 1 });
            session.press(selector.item.id);
            session.press(item.id);
            if (session.settings().kind === before.kind) {
                meaning.set(item.id, { selects: before.kind });
                continue;
            }
        }
        meaning.set(item.id, after.strength !== before.strength ? { strength: true } : {});
    }
    return meaning;
}
