// The web remote's page in the system's headless Chromium against the
// program in demo mode (its receiver simulator), with a home of its own:
// the page shows the frequency, Stop ends the scan, a typed frequency is
// tuned, and a hit of the scan appears in the list. Under a sound server it
// also listens: with WebCodecs (Opus), without them (the compatible form, as
// a phone over plain http has it), and with the sound input missing.
// Usage: node remote.test.mjs <kovo3000> [--figures]
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { connect, createServer } from 'node:net';
import { networkInterfaces, tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const program = process.argv[2];
const figures = process.argv.includes('--figures');
const browserPath = process.env.KOVO_CHROMIUM || '/usr/bin/chromium';
const home = mkdtempSync(join(tmpdir(), 'kovo-web-'));
let child;
let browser;
let rigctlPort = 0;
// Further runs of the program (each with a home of its own), ended at the close.
const others = [];

function fail(message) {
  throw new Error(message);
}

function freePort() {
  return new Promise((resolve) => {
    const server = createServer();
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

function environment(dir) {
  return {
    ...process.env,
    HOME: dir,
    XDG_CONFIG_HOME: join(dir, 'config'),
    XDG_DATA_HOME: join(dir, 'data'),
    QT_QPA_PLATFORM: 'offscreen',
  };
}

// Starts the program and resolves with the link it prints.
function startProgram(port) {
  const args = ['--demo', '--web-port', String(port)];
  if (rigctlPort) args.push('--rigctl-port', String(rigctlPort));
  child = spawn(program, args, { env: environment(home) });
  child.stderr.on('data', (d) => process.stderr.write(d));
  return new Promise((resolve, reject) => {
    let out = '';
    child.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/^Web remote: (http\S+)$/m);
      if (m) resolve(m[1]);
    });
    child.on('error', reject);
    child.on('exit', (code) => reject(new Error(`the program ended (${code}) before its link`)));
  });
}

// Another run of the program in demo mode with a home of its own, its
// settings files written first ({ 'KOVO3000.ini': text, ... }).
function startAnother(args, iniFiles) {
  const dir = mkdtempSync(join(tmpdir(), 'kovo-web-'));
  const config = join(dir, 'config', 'Fennelworks');
  mkdirSync(config, { recursive: true });
  for (const [name, text] of Object.entries(iniFiles)) writeFileSync(join(config, name), text);
  const other = spawn(program, ['--demo', ...args], { env: environment(dir) });
  other.stderr.on('data', (d) => process.stderr.write(d));
  others.push({ child: other, dir });
  return other;
}

async function waitForServer(url) {
  const deadline = Date.now() + 15000;
  while (Date.now() < deadline) {
    try {
      if ((await fetch(url)).ok) return;
    } catch {}
    await new Promise((r) => setTimeout(r, 100));
  }
  fail(`nothing answers at ${url}`);
}

// This machine's first IPv4 address that is not the loopback, if any.
function networkAddress() {
  for (const list of Object.values(networkInterfaces()))
    for (const a of list) if (a.family === 'IPv4' && !a.internal) return a.address;
  return null;
}

// Presses Listen, checks the form the page names, waits until the page's
// analyser hears the sound input's tone, and presses Listen again.
async function listenAndHear(page, formLabel) {
  const listen = page.getByRole('button', { name: 'Listen', exact: true });
  await listen.click();
  await page.waitForFunction(() => document.getElementById('listen').getAttribute('aria-pressed') === 'true'
    || document.getElementById('message').textContent.length > 0);
  const pressed = await listen.getAttribute('aria-pressed');
  if (pressed !== 'true') fail(`Listen did not start: ${await page.locator('#message').textContent()}`);
  const shownForm = (await page.getByRole('status', { name: 'Sound form' }).textContent()).trim();
  if (shownForm !== formLabel) fail(`the page plays "${shownForm}", not "${formLabel}"`);
  // The page's own instance of the sound module: the one its player runs in.
  const level = () => page.evaluate(async () => {
    const token = new URLSearchParams(location.search).get('token');
    return (await import(`./audio.js?token=${encodeURIComponent(token)}`)).currentLevel();
  });
  const deadline = Date.now() + 10000;
  let heard = 0;
  while (heard <= 0 && Date.now() < deadline) {
    heard = await level();
    if (heard <= 0) await new Promise((r) => setTimeout(r, 100));
  }
  if (heard <= 0) fail(`nothing heard: ${await page.locator('#message').textContent()}`);
  await listen.click();
  if ((await listen.getAttribute('aria-pressed')) !== 'false') fail('Listen did not toggle off');
  if ((await level()) !== 0) fail('still playing after Listen was pressed again');
}

async function waitForReadout(page) {
  await page.waitForFunction(() => /^\s*\d{1,4}\.\d{6}$/.test(document.getElementById('frequency').textContent), null, { timeout: 15000 });
}

async function readouts(link) {
  const url = new URL(link);
  url.pathname = '/api/state';
  const response = await fetch(url);
  if (!response.ok) fail(`/api/state answered ${response.status}`);
  return response.json();
}

// Processor seconds the program has used so far.
function cpuSeconds(pid) {
  const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) / 100;
}

async function cpuShare(seconds) {
  const c0 = cpuSeconds(child.pid);
  const t0 = Date.now();
  await new Promise((r) => setTimeout(r, seconds * 1000));
  return (100 * (cpuSeconds(child.pid) - c0)) / ((Date.now() - t0) / 1000);
}

// Tunes through the Hamlib network protocol, as another program would.
function rigctl(command) {
  return new Promise((resolve, reject) => {
    const socket = connect(rigctlPort, '127.0.0.1', () => socket.write(`${command}\n`));
    socket.once('data', () => { socket.end(); resolve(); });
    socket.on('error', reject);
  });
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

async function measureFigures(page, link) {
  const loads = [];
  for (let i = 0; i < 10; ++i) {
    const fresh = await browser.newPage();
    const start = Date.now();
    await fresh.goto(link);
    await fresh.waitForFunction(() => /^\s*\d{1,4}\.\d{6}$/.test(document.getElementById('frequency').textContent));
    loads.push(Date.now() - start);
    await fresh.close();
  }
  console.log(`figure: page load to first live read-out, median of 10: ${median(loads)} ms (max ${Math.max(...loads)})`);

  const changes = [];
  for (let i = 0; i < 20; ++i) {
    // 100 kHz apart: on the step grid whatever the step (tuning snaps to it).
    const hz = 430000000 + 100000 * (i + 1);
    const shown = (hz / 1e6).toFixed(6);
    const start = Date.now();
    await rigctl(`F ${hz}`);
    await page.waitForFunction((text) => document.getElementById('frequency').textContent.trim() === text, shown, { polling: 5 });
    changes.push(Date.now() - start);
  }
  console.log(`figure: frequency change on the receiver to shown in the page, median of 20: ${median(changes)} ms (max ${Math.max(...changes)})`);

  await page.getByRole('button', { name: 'Scan', exact: true }).click();
  await page.close();
  console.log(`figure: CPU while scanning, no page: ${(await cpuShare(20)).toFixed(1)} % of a core`);
  const pages = [];
  for (const count of [1, 8]) {
    while (pages.length < count) {
      const p = await browser.newPage();
      await p.goto(link);
      pages.push(p);
    }
    console.log(`figure: CPU while scanning, ${count} page(s): ${(await cpuShare(20)).toFixed(1)} % of a core`);
  }
  for (const p of pages) await p.close();
}

async function check(name, step) {
  await step();
  console.log(`ok - ${name}`);
}

try {
  if (figures) rigctlPort = await freePort();
  const link = await startProgram(await freePort());
  browser = await chromium.launch({ executablePath: browserPath, headless: true, args: ['--no-sandbox'] });
  const page = await browser.newPage({ viewport: { width: 390, height: 844 } });
  const frequency = page.getByRole('status', { name: 'Frequency' });
  const loadStart = Date.now();
  await page.goto(link);

  await check('the page shows the frequency as the panel does', async () => {
    await page.waitForFunction(() => /^\s*\d{1,4}\.\d{6}$/.test(document.getElementById('frequency').textContent), null, { timeout: 15000 });
    if (figures) console.log(`# program start to first read-out ${Date.now() - loadStart} ms`);
    const shown = (await frequency.textContent()).trim();
    const state = await readouts(link);
    if (figures || shown !== state.frequency.trim()) console.log(`# page ${shown}, core ${state.frequency}`);
  });

  await check('every control has its accessible name', async () => {
    for (const [role, name] of [['button', 'Scan'], ['button', 'Stop'], ['textbox', 'Tune to'],
      ['button', 'Listen'], ['list', 'Hits'], ['meter', 'Signal'], ['status', 'Frequency']]) {
      if ((await page.getByRole(role, { name, exact: true }).count()) !== 1) fail(`no ${role} named "${name}"`);
    }
    for (const label of ['Mode', 'Channel']) {
      if ((await page.getByLabel(label, { exact: true }).count()) < 1) fail(`nothing labelled "${label}"`);
    }
  });

  await check('Stop ends the scan and the receiver stays where it is', async () => {
    await page.getByRole('button', { name: 'Scan', exact: true }).click();
    await page.waitForFunction(() => document.getElementById('scanState').textContent.startsWith('memory scan'));
    await page.getByRole('button', { name: 'Stop', exact: true }).click();
    await page.waitForFunction(() => document.getElementById('scanState').textContent.startsWith('VFO'));
    const before = (await readouts(link)).hz;
    await new Promise((r) => setTimeout(r, 300));
    const after = await readouts(link);
    if (after.scanMode !== 'VFO' || after.hz !== before) fail(`still moving: ${JSON.stringify(after)}`);
  });

  await check('a typed frequency is tuned', async () => {
    const start = Date.now();
    await page.getByRole('textbox', { name: 'Tune to' }).fill('162.4');
    await page.getByRole('textbox', { name: 'Tune to' }).press('Enter');
    await page.waitForFunction(() => document.getElementById('frequency').textContent.trim() === '162.400000');
    if (figures) console.log(`figure: frequency typed in the page to shown in the page ${Date.now() - start} ms`);
    const state = await readouts(link);
    if (state.hz !== 162400000) fail(`the core has ${state.hz}`);
  });

  await check('a frequency refused by the receiver is reported', async () => {
    await page.getByRole('textbox', { name: 'Tune to' }).fill('3000');
    await page.getByRole('textbox', { name: 'Tune to' }).press('Enter');
    await page.waitForFunction(() => document.getElementById('message').textContent.length > 0);
  });

  await check('a hit of the scan appears in the list', async () => {
    await page.getByRole('button', { name: 'Scan', exact: true }).click();
    await page.getByRole('list', { name: 'Hits' }).getByRole('listitem').first().waitFor({ timeout: 30000 });
  });

  await check('Listen says when audio is not available', async () => {
    const available = await page.evaluate(() => document.getElementById('listen').dataset.available);
    if (available === 'no') {
      await page.getByRole('button', { name: 'Listen', exact: true }).click();
      await page.waitForFunction(() => document.getElementById('message').textContent.includes('not available'));
    }
  });

  // With a sound server (run under run-with-sound.sh: a tone on its input)
  // the page plays what the program captures.
  if (process.env.PULSE_SERVER) {
    await check('Listen plays the sound input in the page and toggles off', async () => {
      await listenAndHear(page, 'Opus');
    });

    await check('a browser without WebCodecs plays the compatible form', async () => {
      const context = await browser.newContext();
      await context.addInitScript(() => { delete window.AudioDecoder; });
      const plain = await context.newPage();
      await plain.goto(link);
      await waitForReadout(plain);
      if (await plain.evaluate(() => 'AudioDecoder' in window)) fail('WebCodecs are still there');
      await listenAndHear(plain, 'compatible');
      await context.close();
    });

    // A phone on the house network opens the page over plain http: not a
    // secure context, so no WebCodecs. Needs an address besides the loopback.
    const address = networkAddress();
    if (!address) {
      console.log('ok - a page over plain http from another device plays the compatible form # SKIP no network address');
    } else {
      await check('a page over plain http from another device plays the compatible form', async () => {
        const port = await freePort();
        const token = 'c0ffee'.repeat(10) + 'c0de';
        startAnother([], {
          'KOVO3000.ini': `[Soft%20Setting]\nWebRemote=1\nWebRemotePort=${port}\n`
            + `WebRemoteOtherDevices=1\nWebRemoteToken=${token}\n`,
        });
        const phoneLink = `http://${address}:${port}/?token=${token}`;
        await waitForServer(phoneLink);
        const phone = await browser.newPage({ viewport: { width: 390, height: 844 } });
        await phone.goto(phoneLink);
        await waitForReadout(phone);
        if (await phone.evaluate(() => window.isSecureContext)) fail(`${address} counts as a secure context`);
        await listenAndHear(phone, 'compatible');
        await phone.close();
      });
    }

    await check('Listen tells when the sound input is missing', async () => {
      const port = await freePort();
      const other = startAnother(['--web-port', String(port)], {
        'kovo-recorder.ini': '[Recorder]\nSource=no.such.source\n',
      });
      const otherLink = await new Promise((resolve, reject) => {
        let out = '';
        other.stdout.on('data', (d) => {
          out += d;
          const m = out.match(/^Web remote: (http\S+)$/m);
          if (m) resolve(m[1]);
        });
        other.on('exit', (code) => reject(new Error(`the program ended (${code}) before its link`)));
      });
      const missing = await browser.newPage();
      await missing.goto(otherLink);
      await waitForReadout(missing);
      await missing.getByRole('button', { name: 'Listen', exact: true }).click();
      await missing.waitForFunction(() => document.getElementById('message').textContent.includes('no.such.source'),
        null, { timeout: 10000 });
      const shown = await missing.locator('#message').textContent();
      if (!shown.includes('cannot be opened')) fail(`the page says "${shown}"`);
      // Told, the page no longer offers audio until the input is back.
      await missing.waitForFunction(() => document.getElementById('listen').dataset.available === 'no');
      await missing.close();
    });
  }

  if (figures) await measureFigures(page, link);
  if (process.env.KOVO_WEB_SCREENSHOT) await page.screenshot({ path: process.env.KOVO_WEB_SCREENSHOT, fullPage: true });
  console.log('all ok');
} catch (error) {
  console.error(`not ok - ${error.message}`);
  process.exitCode = 1;
} finally {
  if (browser) await browser.close();
  if (child) child.kill('SIGTERM');
  for (const other of others) other.child.kill('SIGTERM');
  rmSync(home, { recursive: true, force: true });
  for (const other of others) rmSync(other.dir, { recursive: true, force: true });
}
