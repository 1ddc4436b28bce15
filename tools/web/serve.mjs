// Serves a folder (the built page) on 127.0.0.1, and only there.
//
//   node tools/web/serve.mjs [FOLDER] [PORT]     (defaults: build/web, 8048; 0 picks one)
//
// Every answer carries the headers that make the page cross-origin isolated, which gives
// the live voice a shared report and the page a 5 µs clock (the page works without them),
// and the page's own Content-Security-Policy: the one its index.html declares in a meta
// tag for hosts that send no headers, read from there so that it is written once. Files
// carry an ETag and Last-Modified and must be revalidated, so a reload downloads only what
// changed (304 for the rest). Only GET and HEAD, only files inside the folder, no
// listings; a request that cannot be a file there gets 400 or 404, and nothing a client
// sends stops the server.

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
    ".webmanifest": "application/manifest+json",
    ".wasm": "application/wasm",
    ".wav": "audio/wav",
    ".png": "image/png",
    ".svg": "image/svg+xml",
    ".ico": "image/x-icon",
};

const kCommonHeaders = {
    "Cross-Origin-Opener-Policy": "same-origin",
    "Cross-Origin-Embedder-Policy": "require-corp",
    "Cross-Origin-Resource-Policy": "same-origin",
    "X-Content-Type-Options": "nosniff",
    "Cache-Control": "no-cache",
};

// The policy of the page's <meta http-equiv="Content-Security-Policy" content="...">.
export function pagePolicy(html) {
    const meta = html.match(/<meta\s+http-equiv="Content-Security-Policy"\s+content="([^"]+)"/i);
    return meta ? meta[1] : null;
}

// The file a request path names inside `root`, or null: a path that does not decode, holds
// a NUL byte or leads outside the folder names none.
function fileOf(root, url) {
    let pathname;
    try {
        pathname = decodeURIComponent(new URL(url, "http://localhost").pathname);
    } catch {
        return null;
    }
    if (pathname.includes("\0")) return null;
    if (pathname.endsWith("/")) pathname += "index.html";
    const file = path.resolve(root, `.${pathname}`);
    return file.startsWith(root + path.sep) ? file : null;
}

// A weak validator: the same size and modification time mean the same build output.
const etagOf = (stat) => `W/"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}"`;

function notModified(request, etag, stat) {
    const tags = request.headers["if-none-match"];
    if (tags !== undefined) {
        return tags.split(",").some((t) => t.trim() === etag || t.trim() === "*" ||
                                          t.trim() === etag.slice(2));
    }
    const since = Date.parse(request.headers["if-modified-since"] ?? "");
    return Number.isFinite(since) && Math.floor(stat.mtimeMs / 1000) * 1000 <= since;
}

function answer(root, headers, request, response) {
    const fail = (status, text, extra = {}) => {
        response.writeHead(status, { "Content-Type": "text/plain; charset=utf-8", ...headers, ...extra });
        response.end(`${text}\n`);
    };
    if (request.method !== "GET" && request.method !== "HEAD") {
        return fail(405, "method not allowed", { Allow: "GET, HEAD" });
    }
    const file = fileOf(root, request.url);
    if (file === null) return fail(400, "bad request");
    fs.stat(file, (error, stat) => {
        if (error || !stat.isFile()) return fail(404, "not found");
        const etag = etagOf(stat);
        const validators = { ETag: etag, "Last-Modified": stat.mtime.toUTCString() };
        if (notModified(request, etag, stat)) {
            response.writeHead(304, { ...headers, ...validators });
            return response.end();
        }
        response.writeHead(200, {
            "Content-Type": kTypes[path.extname(file).toLowerCase()] ?? "application/octet-stream",
            "Content-Length": stat.size,
            ...headers,
            ...validators,
        });
        if (request.method === "HEAD") return response.end();
        // A file removed or unreadable after the stat ends this answer only.
        fs.createReadStream(file).on("error", () => response.destroy()).pipe(response);
    });
}

// Resolves to { server, url } once listening; rejects with the listening error (a port
// in use: code EADDRINUSE).
export function serve(folder, port = 0) {
    const root = path.resolve(folder);
    const policy = pagePolicy(fs.readFileSync(path.join(root, "index.html"), "utf8"));
    if (policy === null) throw new Error(`${root}/index.html declares no Content-Security-Policy`);
    const headers = { ...kCommonHeaders, "Content-Security-Policy": policy };
    const server = http.createServer((request, response) => {
        try {
            answer(root, headers, request, response);
        } catch {
            if (!response.headersSent) response.writeHead(500);
            response.end();
        }
    });
    // A request the parser rejects (a request line beyond its limit, say) gets its answer
    // from node; a connection torn down meanwhile is simply dropped.
    server.on("clientError", (error, socket) => {
        if (socket.writable && !socket.writableEnded) {
            socket.end(error.code === "HPE_HEADER_OVERFLOW"
                ? "HTTP/1.1 431 Request Header Fields Too Large\r\nConnection: close\r\n\r\n"
                : "HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n");
        } else {
            socket.destroy();
        }
    });
    return new Promise((resolve, reject) => {
        server.once("error", reject);
        server.listen(port, "127.0.0.1", () => {
            server.off("error", reject);
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
    try {
        const { url } = await serve(folder, port);
        console.log(`Wacky Throats in the browser: ${url}  (Ctrl+C stops the server)`);
    } catch (error) {
        const why = { EADDRINUSE: "is in use", EACCES: "is not open to this user" }[error.code];
        console.error(why
            ? `Port ${port} on 127.0.0.1 ${why}: choose another with WEB_PORT, e.g. make web WEB_PORT=${port + 1}`
            : `Cannot serve ${folder}: ${error.message}`);
        process.exit(1);
    }
}
