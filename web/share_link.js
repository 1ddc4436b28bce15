// The page's address fragment as a link to a setting: #effect=robot&strength=0.75. The
// effect is a menu item's text lower-cased with spaces as hyphens, or "none" for the
// item that selects no effect; the strength a number. The page reaches a link's setting
// through the plugin's own menu items, as a visitor would: the effect's item, then the
// strength items, in the fewest presses found by trying them in fresh loads.

export const kNoEffect = "none";
const kMaxStrengthPresses = 4;

export function effectSlug(text) {
    return text.trim().toLowerCase().replace(/\s+/g, "-");
}

export function formatFragment(effect, strength) {
    return `#effect=${encodeURIComponent(effect)}&strength=${strength}`;
}

// { effect, strength, unknown } from a fragment ("#..."), each null where not given;
// unknown lists the parts the page does not read (other names, a strength that is not
// a number). null for an empty fragment.
export function parseFragment(hash) {
    const text = hash.replace(/^#/, "");
    if (text === "") return null;
    const link = { effect: null, strength: null, unknown: [] };
    for (const part of text.split("&")) {
        const [name, value = ""] = part.split("=");
        let decoded;
        try {
            decoded = decodeURIComponent(value).trim().toLowerCase();
        } catch {
            decoded = null;
        }
        if (name === "effect" && decoded) link.effect = decoded;
        else if (name === "strength" && decoded !== null && decoded !== "" && Number.isFinite(Number(decoded))) {
            link.strength = Number(decoded);
        } else link.unknown.push(part);
    }
    return link;
}

// The shortest list of presses of `steppers` (item IDs) that takes a fresh load, pressed
// with `prefix` first, to `strength`, or null; and every strength such lists reach.
// openSession() resolves to a fresh load (a PluginSession).
export async function strengthPath(openSession, prefix, steppers, strength) {
    const wanted = Math.fround(strength);  // the plugin keeps a float
    let level = [[]];
    const reached = new Map();  // strength -> the presses that reach it
    for (let depth = 0; depth <= kMaxStrengthPresses && level.length > 0; ++depth) {
        const next = [];
        for (const path of level) {
            const session = await openSession();
            for (const id of [...prefix, ...path]) session.press(id);
            const now = session.settings().strength;
            if (reached.has(now)) continue;
            reached.set(now, path);
            for (const id of steppers) next.push([...path, id]);
        }
        level = next;
    }
    const reachable = [...reached.keys()].sort((a, b) => a - b);
    return { presses: reached.get(wanted) ?? null, reachable };
}
