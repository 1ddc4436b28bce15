// tools/web/serve.mjs as `make web` runs it: a process of its own, spoken to over raw
// sockets, so that a request a browser would never send reaches it unaltered.

import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import fs from "node:fs";
import net from "node:net";
import path from "node:path";
import { after, before, describe, test } from "node:test";

import { pagePolicy } from "../../tools/web/serve.mjs";
import { siteDir, sourceDir } from "./support.mjs";

const kServer = path.join(sourceDir, "tools/web/serve.mjs");

function start(port) {
    const child = spawn(process.execPath, [kServer, siteDir, String(port)],
                        { stdio: ["ignore", "pipe", "pipe"] });
    child.stdout.setEncoding("utf8");
    child.stderr.setEncoding("utf8");
    child.output = { stdout: "", stderr: "" };
    child.stdout.on("data", (text) => { child.output.stdout += text; });
    child.stderr.on("data", (text) => { child.output.stderr += text; });
    child.ended = new Promise((resolve) => child.on("exit", (code) => resolve(code)));
    return child;
}

// One request as written, on its own connection: { status, headers, body }. The request
// side stays open, as a browser's does: the server closes after answering.
function raw(port, head) {
    return new Promise((resolve, reject) => {
        const socket = net.connect(port, "127.0.0.1");
        const chunks = [];
        socket.on("data", (chunk) => chunks.push(chunk));
        socket.on("error", reject);
        socket.on("end", () => {
            const text = Buffer.concat(chunks).toString("latin1");
            const [top, ...rest] = text.split("\r\n\r\n");
            const [statusLine, ...headerLines] = top.split("\r\n");
            const headers = Object.fromEntries(headerLines.map((line) => {
                const colon = line.indexOf(":");
                return [line.slice(0, colon).toLowerCase(), line.slice(colon + 1).trim()];
            }));
            resolve({ status: Number(statusLine.split(" ")[1]), headers, body: rest.join("\r\n\r\n") });
        });
        socket.write(`${head}\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n`);
    });
}

const get = (port, target, extra = "") => raw(port, `GET ${target} HTTP/1.1${extra}`);

let server;
let port;

before(async () => {
    server = start(0);
    await new Promise((resolve) => server.stdout.on("data", () => {
        if (server.output.stdout.includes("\n")) resolve();
    }));
    port = Number(server.output.stdout.match(/127\.0\.0\.1:(\d+)\//)[1]);
});

after(() => server?.kill());

describe("the server", () => {
    test("no request stops it; none reaches outside the folder", async () => {
        const hostile = [
            "/index.html%00", "/%00", "/ind%00ex.html", "/%E0%A4%A", "/%zz", "/%",
            `/${"a".repeat(70000)}`, `/${"%2e%2e/".repeat(2000)}etc/passwd`,
            "/../../../../etc/passwd", "/..%2f..%2f..%2f..%2fetc%2fpasswd",
            "/%2e%2e/%2e%2e/%2e%2e/etc/passwd", "/..\\..\\..\\etc\\passwd", "*", "http://[::1",
        ];
        for (const target of hostile) {
            const { status, body } = await get(port, target);
            assert.ok(status >= 400 && status < 500, `${target.slice(0, 40)}: ${status}`);
            assert.doesNotMatch(body, /root:/);
        }
        for (const head of ["GARBAGE", "GET / HTTP/9.9", "DELETE /index.html HTTP/1.1",
                            "GET /index.html HTTP/1.1\r\nIf-Modified-Since: never\r\nIf-None-Match: \"\0\""]) {
            await raw(port, head);
        }
        const page = await get(port, "/");
        assert.equal(page.status, 200);
        assert.equal(server.exitCode, null, server.output.stderr);
    });

    test("every file: validators, 304 on revalidation, the page's policy, isolation", async () => {
        const html = fs.readFileSync(path.join(siteDir, "index.html"), "utf8");
        const policy = pagePolicy(html);
        assert.match(policy, /script-src 'self' 'wasm-unsafe-eval'/);
        const files = fs.readdirSync(siteDir, { recursive: true })
            .filter((name) => fs.statSync(path.join(siteDir, name)).isFile());
        assert.ok(files.includes("wacky_throats_simd.wasm") && files.includes("samples/voice.wav"));
        for (const name of files) {
            const first = await get(port, `/${name}`);
            assert.equal(first.status, 200, name);
            assert.equal(first.headers["content-security-policy"], policy, name);
            assert.equal(first.headers["cross-origin-embedder-policy"], "require-corp", name);
            assert.ok(first.headers.etag && first.headers["last-modified"], name);
            const byTag = await get(port, `/${name}`, `\r\nIf-None-Match: ${first.headers.etag}`);
            const byDate = await get(port, `/${name}`, `\r\nIf-Modified-Since: ${first.headers["last-modified"]}`);
            for (const again of [byTag, byDate]) {
                assert.equal(again.status, 304, name);
                assert.equal(again.body, "", name);
            }
            const other = await get(port, `/${name}`, '\r\nIf-None-Match: W/"0-0"');
            assert.equal(other.status, 200, name);
        }
    });

    test("a port in use: one line that names WEB_PORT, and a failure", async () => {
        const taken = net.createServer();
        await new Promise((resolve) => taken.listen(0, "127.0.0.1", resolve));
        const second = start(taken.address().port);
        const code = await second.ended;
        taken.close();
        assert.equal(code, 1);
        assert.equal(second.output.stdout, "");
        const lines = second.output.stderr.split("\n").filter((line) => line);
        assert.equal(lines.length, 1, second.output.stderr);
        assert.match(lines[0], /WEB_PORT/);
    });
});
