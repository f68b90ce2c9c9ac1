// Plays the web remote's audio in headless Chromium and times it: the probe
// captures the private sound server's "air.monitor" and encodes it as the
// program does; the page decodes and plays the frames with the page's own
// audio module; the harness switches a 440 Hz tone on (a module-sine into
// the null sink "air") and waits until the page's analyser hears it.
// Run under recorder/tests/run-with-sound.sh:
//   node harness.mjs --probe PATH [--tones N] [--form opus|adpcm]
// Prints the delays, their median and the bandwidth per listener; exits 1
// when a tone is not heard, 77 when no browser or driver is at hand.
import { execFileSync, spawn } from "node:child_process";
import { existsSync, readFileSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const audioModule = join(here, "../../../../src/web/res/audio.js");
const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(name);
    return at >= 0 ? args[at + 1] : fallback;
};
const probePath = option("--probe");
const tones = Number(option("--tones", "20"));
const form = option("--form", "opus");
const browserPath = process.env.CHROMIUM ?? "/usr/bin/chromium";
const HEARD = 0.05;
const SILENT = 0.01;

function loadPuppeteer() {
    const require = createRequire(join(here, "package.json"));
    try {
        return require("puppeteer-core");
    } catch {
        execFileSync("npm", ["install", "--no-audit", "--no-fund", "--prefix", here], {
            stdio: "ignore",
        });
        return require("puppeteer-core");
    }
}

function skip(why) {
    console.log(`skipped: ${why}`);
    process.exit(77);
}

const pactl = (...words) => execFileSync("pactl", words, { encoding: "utf8" }).trim();
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

if (!existsSync(browserPath)) skip(`no browser at ${browserPath}`);
let puppeteer;
try {
    puppeteer = loadPuppeteer();
} catch {
    skip("puppeteer-core cannot be installed");
}

// The tone is off until the harness switches it on.
try {
    pactl("unload-module", "module-sine");
} catch {}

const probe = spawn(probePath, ["air.monitor", form], { stdio: ["ignore", "pipe", "inherit"] });
const listeners = new Set();
// What one listener receives over its socket: each frame plus the
// WebSocket header in front of it (2 bytes up to 125 bytes, 4 above).
let wireBytes = 0;
let frameCount = 0;
let firstFrameAt = 0;
let unread = Buffer.alloc(0);
probe.stdout.on("data", (chunk) => {
    if (!firstFrameAt) firstFrameAt = Date.now();
    unread = Buffer.concat([unread, chunk]);
    while (unread.length >= 4 && unread.length >= 4 + unread.readUInt32BE(0)) {
        const length = unread.readUInt32BE(0);
        wireBytes += length + (length < 126 ? 2 : 4);
        frameCount += 1;
        unread = unread.subarray(4 + length);
    }
    for (const response of listeners) response.write(chunk);
});

const server = createServer((request, response) => {
    const files = { "/": [join(here, "harness.html"), "text/html"], "/audio.js": [audioModule, "text/javascript"] };
    if (request.url === "/frames") {
        response.socket.setNoDelay(true);
        response.writeHead(200, { "Content-Type": "application/octet-stream", "Cache-Control": "no-store" });
        listeners.add(response);
        request.on("close", () => listeners.delete(response));
        return;
    }
    if (request.url === "/favicon.ico") {
        response.writeHead(204).end();
        return;
    }
    const file = files[request.url];
    if (!file) {
        response.writeHead(404).end();
        return;
    }
    response.writeHead(200, { "Content-Type": file[1] }).end(readFileSync(file[0]));
});
await new Promise((r) => server.listen(0, "127.0.0.1", r));

const browser = await puppeteer.launch({
    executablePath: browserPath,
    headless: true,
    args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required"],
});
let failed = false;
try {
    const page = await browser.newPage();
    page.on("console", (m) => console.log(`page: ${m.text()}`));
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    const problem = await page.evaluate((f) => window.begin(f), form);
    if (problem) throw new Error(`the page cannot play audio: ${problem}`);
    await sleep(500); // the stream settles in silence

    const delays = [];
    for (let i = 0; i < tones; ++i) {
        const heard = page.evaluate((t) => window.waitForLevel(t, true, 5000), HEARD);
        await sleep(50); // the page is watching
        const switchedOn = Date.now();
        const module = pactl("load-module", "module-sine", "sink=air", "frequency=440");
        const heardAt = await heard;
        pactl("unload-module", module);
        if (!heardAt) {
            console.log(`tone ${i + 1}: not heard within 5 s`);
            failed = true;
            break;
        }
        delays.push(heardAt - switchedOn);
        console.log(`tone ${i + 1}: heard after ${heardAt - switchedOn} ms`);
        await page.evaluate((t) => window.waitForLevel(t, false, 5000), SILENT);
        await sleep(200 + Math.random() * 200);
    }
    const stats = await page.evaluate(() => ({ ...window.player.stats }));
    console.log(`player: ${JSON.stringify(stats)}`);
    if (delays.length) {
        const sorted = [...delays].sort((a, b) => a - b);
        const mid = sorted.length >> 1;
        const median = sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
        console.log(`tone on -> heard in the page: median ${median} ms of ${delays.length}`);
    }
    // The probe's 4-byte length prefix is not sent to a real listener.
    const seconds = (Date.now() - firstFrameAt) / 1000;
    console.log(`audio form: ${form}, ${frameCount} frames in ${seconds.toFixed(1)} s`);
    console.log(`audio bandwidth per listener: ${((wireBytes * 8) / seconds / 1000).toFixed(1)} kbit/s`);
} catch (e) {
    console.log(`failed: ${e.message}`);
    failed = true;
} finally {
    await browser.close();
    probe.kill();
    server.close();
    for (const r of listeners) r.destroy();
}
process.exit(failed ? 1 : 0);
