// Serves a folder (the built page) on 127.0.0.1, and only there.
//
//   node tools/web/serve.mjs [FOLDER] [PORT]     (defaults: build/web, 8048; 0 picks one)
//
// Every answer carries the headers that make the page cross-origin isolated, which gives
// the live voice a shared report and the page a 5 µs clock; the page works without them.
// Only GET and HEAD, only files inside the folder, no listings.

import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";

const kTypes = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".mjs": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".json": "application/json",
    ".wasm": "application/wasm",
    ".wav": "audio/wav",
    ".png": "image/png",
    ".svg": "image/svg+xml",
    ".ico": "image/x-icon",
};

const kIsolation = {
    "Cross-Origin-Opener-Policy": "same-origin",
    "Cross-Origin-Embedder-Policy": "require-corp",
    "Cross-Origin-Resource-Policy": "same-origin",
    "X-Content-Type-Options": "nosniff",
    "Cache-Control": "no-cache",
};

function answer(root, request, response) {
    const fail = (status, text) => {
        response.writeHead(status, { "Content-Type": "text/plain; charset=utf-8", ...kIsolation });
        response.end(`${text}\n`);
    };
    if (request.method !== "GET" && request.method !== "HEAD") return fail(405, "method not allowed");
    let pathname;
    try {
        pathname = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    } catch {
        return fail(400, "bad request");
    }
    if (pathname.endsWith("/")) pathname += "index.html";
    const file = path.resolve(root, `.${pathname}`);
    if (file !== root && !file.startsWith(root + path.sep)) return fail(404, "not found");
    fs.stat(file, (error, stat) => {
        if (error || !stat.isFile()) return fail(404, "not found");
        response.writeHead(200, {
            "Content-Type": kTypes[path.extname(file).toLowerCase()] ?? "application/octet-stream",
            "Content-Length": stat.size,
            ...kIsolation,
        });
        if (request.method === "HEAD") return response.end();
        fs.createReadStream(file).pipe(response);
    });
}

// Resolves to { server, url } once listening.
export function serve(folder, port = 0) {
    const root = path.resolve(folder);
    const server = http.createServer((request, response) => answer(root, request, response));
    return new Promise((resolve, reject) => {
        server.once("error", reject);
        server.listen(port, "127.0.0.1", () => {
            resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
        });
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const folder = process.argv[2] ?? "build/web";
    const port = Number(process.argv[3] ?? 8048);
    if (!fs.existsSync(path.join(folder, "index.html"))) {
        console.error(`${folder} holds no page: run make build-web first`);
        process.exit(1);
    }
    const { url } = await serve(folder, port);
    console.log(`Wacky Throats in the browser: ${url}  (Ctrl+C stops the server)`);
}
