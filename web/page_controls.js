// What every panel of the page does with its controls: finds them, switches them on and
// off without losing the keyboard's focus, and offers a file behind a link.

export const $ = (id) => document.getElementById(id);

// Enables the controls `on` and disables `off`. A disabled control drops the keyboard
// focus to the page's body, so focus on one of `off` moves to the first of `on` first.
export function switchControls(on, off) {
    for (const id of on) $(id).disabled = false;
    if (off.some((id) => $(id) === document.activeElement) && on.length > 0) $(on[0]).focus();
    for (const id of off) $(id).disabled = true;
}

export function enableLink(id, url, name) {
    const link = $(id);
    link.href = url;
    link.download = name;
    link.classList.remove("disabled");
    link.removeAttribute("aria-disabled");
}
