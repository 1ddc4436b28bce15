// Messages for the visitor, each beside the control it is about: every part of the page
// has its own area (an element with role=alert, there from the start, so screen
// readers announce what appears in it). One message per topic; a later one on the same
// topic replaces it, null removes it. A message that answers the visitor's action is
// scrolled into view where it falls outside the window, as on a phone.

export function showMessage(area, topic, text, { kind = "error", reveal = true } = {}) {
    const home = document.getElementById(area);
    let box = home.querySelector(`[data-topic="${topic}"]`);
    if (text === null) {
        box?.remove();
        return;
    }
    if (!box) {
        box = document.createElement("p");
        box.dataset.topic = topic;
        home.append(box);
    }
    box.className = `message ${kind}`;
    box.textContent = text;
    if (!reveal) return;
    const { top, bottom } = box.getBoundingClientRect();
    if (top < 0 || bottom > window.innerHeight) box.scrollIntoView({ block: "center" });
}
