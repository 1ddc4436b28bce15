// Makes the site work without a network after one visit: registers the service worker
// the build writes (service_worker.js, from web/offline/service_worker.js). A newer build
// replaces the worker and its cache on the next visit; the page then reloads once, so
// that it never runs with files of two builds. Without service workers (an old browser,
// a page not served over HTTPS or from this computer) the page simply stays online-only.

if ("serviceWorker" in navigator) {
    const updating = navigator.serviceWorker.controller !== null;
    navigator.serviceWorker.addEventListener("controllerchange", () => {
        if (updating) location.reload();
    });
    // After the page's own loading, so that the worker finds most files in the HTTP cache.
    addEventListener("load", () => {
        navigator.serviceWorker.register("service_worker.js").catch((error) => {
            console.warn(`Offline use is not available: ${error.message}`);
        });
    });
}
