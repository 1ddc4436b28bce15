// The service worker that keeps the site for use without a network. The build writes the
// site's copy of this file with the list of the site's files and a hash of their contents
// in place of the two placeholders (web/cmake/offline_site.cmake), so every build that
// changes any file is a new worker with a cache of its own name.
//
// Installing fetches every file of the site into the cache "wacky-throats-<hash>"; once
// active, the worker answers the site's requests from that cache (a folder's address from
// its index.html), anything else from the network, and deletes the caches of earlier
// builds. It takes over at once, and the page reloads itself when a newer worker takes
// over from an older one (web/offline.js), so a page never mixes the files of two builds.

const kVersion = "@SITE_VERSION@";
const kFiles = "@SITE_FILES@".split(" ");
const kPrefix = "wacky-throats-";
const kCache = kPrefix + kVersion;

self.addEventListener("install", (event) => {
    event.waitUntil((async () => {
        const cache = await caches.open(kCache);
        // Each file checked with the server (the page's own visit has most in the HTTP
        // cache, which answers when they are unchanged), never an earlier build's copy.
        await cache.addAll(kFiles.map((name) => new Request(name, { cache: "no-cache" })));
        await self.skipWaiting();
    })());
});

self.addEventListener("activate", (event) => {
    event.waitUntil((async () => {
        for (const name of await caches.keys()) {
            if (name.startsWith(kPrefix) && name !== kCache) await caches.delete(name);
        }
        await self.clients.claim();
    })());
});

self.addEventListener("fetch", (event) => {
    const request = event.request;
    const url = new URL(request.url);
    if (request.method !== "GET" || url.origin !== self.location.origin) return;
    event.respondWith((async () => {
        const cache = await caches.open(kCache);
        // A folder's address is its index.html, as the server has it.
        const key = url.pathname.endsWith("/") ? new URL("index.html", url) : request;
        return (await cache.match(key, { ignoreSearch: true })) ?? fetch(request);
    })());
});
