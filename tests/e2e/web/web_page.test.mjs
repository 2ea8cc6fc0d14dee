// The intro's web page in headless Chromium: it loads cleanly, animates after
// the click, draws exactly what the native build draws, plays the sound the
// native build computes, runs silent without Web Audio, fits the picture to
// the window (phones too), answers taps on its buttons, and, opened as a file,
// says how to serve it.
//
// Each test serves the built page (QUILLMOOR_WEB_ROOT) from its own
// `python3 -m http.server` on a free local port and drives its own browser,
// and stops both when it ends. The native reference program
// (QUILLMOOR_WEB_REFERENCE) runs in the assets folder (QUILLMOOR_ASSETS_DIR).
// playwright-core is loaded from the build tree (QUILLMOOR_WEB_DRIVER).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const Width = 640;
const Height = 400;
const Banner = 'Quillmoor & #plinthcrew - Cloudparcel - Volume #1';
const ClosingLine = 'WinStreamer successfully closed.';

function setting(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set (run the tests through ctest)`);
  return value;
}

const { chromium } = createRequire(join(setting('QUILLMOOR_WEB_DRIVER'), 'package.json'))('playwright-core');

// A static file server on a port the system picks; resolves once it listens.
function startServer(root) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', root],
                       { stdio: ['ignore', 'pipe', 'pipe'] });
  server.stderr.resume();   // the request log
  return new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => { server.kill(); reject(new Error('http.server did not start: ' + seen)); }, 15000);
    server.on('exit', (code) => { clearTimeout(timer); reject(new Error(`http.server exited (${code}): ${seen}`)); });
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const match = /port (\d+)/.exec(seen);
      if (match) {
        clearTimeout(timer);
        server.stdout.resume();
        resolve({ url: `http://127.0.0.1:${match[1]}/`, process: server });
      }
    });
  });
}

function stopServer(server) {
  if (server.process.exitCode !== null || server.process.signalCode !== null) return Promise.resolve();
  return new Promise((resolve) => {
    server.process.on('exit', resolve);
    server.process.kill('SIGTERM');
  });
}

// Serves the page, starts a fresh browser (Playwright gives it a new profile
// in a temporary folder and removes it on close), runs `body` and cleans up.
async function withBrowser(body) {
  const server = await startServer(setting('QUILLMOOR_WEB_ROOT'));
  let browser;
  try {
    browser = await chromium.launch({
      executablePath: setting('QUILLMOOR_CHROMIUM'),
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    await body(browser, server.url);
  } finally {
    if (browser) await browser.close();
    await stopServer(server);
  }
}

// Opens the page and records everything that went wrong on it.
async function openPage(browser, url, options = {}) {
  const { withoutWebAudio, ...contextOptions } = options;
  const context = await browser.newContext({ viewport: { width: 1400, height: 900 }, ...contextOptions });
  const page = await context.newPage();
  if (withoutWebAudio) {
    await page.addInitScript(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  }
  const problems = [];
  const logs = [];
  const dialogs = [];
  page.on('dialog', (dialog) => { dialogs.push(dialog.message()); dialog.accept(); });
  page.on('console', (message) => {
    logs.push(message.text());
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  await page.goto(url);
  await page.waitForSelector('#start[data-state="ready"]', { timeout: 30000 });
  return { page, problems, logs, dialogs };
}

const turns = (page) => page.evaluate(() => Module._QuillmoorTurns());

async function waitForTurns(page, count) {
  await page.waitForFunction((n) => Module._QuillmoorTurns() >= n, count, { timeout: 30000 });
}

// The canvas as R, G, B, A bytes.
async function canvasPixels(page) {
  const base64 = await page.evaluate(() => {
    const canvas = document.getElementById('picture');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000)
      text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
    return btoa(text);
  });
  return Buffer.from(base64, 'base64');
}

// Runs the native reference program and returns what it wrote.
function reference(kind, count) {
  const folder = mkdtempSync(join(tmpdir(), 'quillmoor-web-'));
  try {
    const out = join(folder, 'out');
    const run = spawnSync(setting('QUILLMOOR_WEB_REFERENCE'), [kind, String(count), out],
                          { cwd: setting('QUILLMOOR_ASSETS_DIR'), encoding: 'utf8', timeout: 60000 });
    assert.equal(run.status, 0, `web_reference ${kind} ${count} failed: ${run.error ?? run.stderr}`);
    return readFileSync(out);
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// Compares canvas RGBA with reference RGB; names the first difference.
function assertSamePicture(rgba, rgb, what) {
  assert.equal(rgba.length, Width * Height * 4);
  assert.equal(rgb.length, Width * Height * 3);
  let differing = 0;
  let first = null;
  for (let i = 0; i < Width * Height; ++i) {
    const a = rgba.subarray(i * 4, i * 4 + 4);
    const b = rgb.subarray(i * 3, i * 3 + 3);
    if (a[0] !== b[0] || a[1] !== b[1] || a[2] !== b[2] || a[3] !== 255) {
      if (!first) first = `(${i % Width}, ${Math.floor(i / Width)}): page ${[...a]} native ${[...b]}`;
      ++differing;
    }
  }
  assert.equal(differing, 0, `${what}: ${differing} pixels differ, the first at ${first}`);
}

test('LoadsCleanly', async () => {
  await withBrowser(async (browser, url) => {
    const { page, problems, logs, dialogs } = await openPage(browser, url);
    assert.deepEqual(problems, []);
    assert.deepEqual(dialogs, []);
    assert.ok(logs.includes(Banner), `banner missing from the console: ${JSON.stringify(logs)}`);
    assert.equal(await page.textContent('#start'), 'Click to start');
    assert.ok(await page.isVisible('#start'));
    // The first frame is drawn under the overlay, and the loop waits for the click.
    assert.equal(await turns(page), 1);
    await page.waitForTimeout(300);
    assert.equal(await turns(page), 1);
    assert.equal(await page.evaluate(() => Module['quillmoorAudio'] === undefined), true);
    // Leaving the page is closing the window: the closing line follows. (The
    // console of a page being left doesn't reach Playwright, so the event
    // is sent the way the browser sends it, to the page as it stands.)
    await page.evaluate(() => window.dispatchEvent(new PageTransitionEvent('pagehide')));
    await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 50)));
    assert.ok(logs.includes(ClosingLine), 'closing line missing from the console');
    assert.deepEqual(problems, []);
  });
});

test('FramesAdvance', async (t) => {
  await withBrowser(async (browser, url) => {
    const { page, problems } = await openPage(browser, url);
    await page.click('#start');
    assert.equal(await page.isVisible('#start'), false);
    await waitForTurns(page, 30);
    const before = await canvasPixels(page);
    const turnsBefore = await turns(page);
    await waitForTurns(page, turnsBefore + 30);
    const after = await canvasPixels(page);
    assert.notDeepEqual(after, before, 'the picture did not change over 30 turns');

    // Measured, not asserted: the machine may be busy.
    const started = Date.now();
    const from = await turns(page);
    await page.waitForTimeout(2000);
    const ran = (await turns(page)) - from;
    const timing = await page.evaluate(() => ({
      turn: Module._QuillmoorTurnMilliseconds(), present: Module._QuillmoorPresentMilliseconds() }));
    t.diagnostic(`turns per second ${(ran * 1000 / (Date.now() - started)).toFixed(1)}; ` +
                 `mean turn ${timing.turn.toFixed(2)} ms, mean present ${timing.present.toFixed(2)} ms`);
    assert.deepEqual(problems, []);
  });
});

test('FrameMatchesNative', async () => {
  const count = 300;
  await withBrowser(async (browser, url) => {
    const { page, problems, logs } = await openPage(browser, `${url}?turns=${count}`);
    assertSamePicture(await canvasPixels(page), reference('frame', 1), 'first frame, under the overlay');
    await page.click('#start');
    await page.waitForFunction(() => Module._QuillmoorEnded() === 1, null, { timeout: 60000 });
    assert.equal(await turns(page), count);
    assertSamePicture(await canvasPixels(page), reference('frame', count), `frame ${count}`);
    assert.ok(logs.includes(ClosingLine), 'closing line missing from the console');
    assert.deepEqual(problems, []);
  });
});

test('SoundPlays', async () => {
  await withBrowser(async (browser, url) => {
    const { page, problems } = await openPage(browser, url);
    await page.click('#start');
    await page.waitForFunction(() => Module['quillmoorAudio']?.context.state === 'running', null, { timeout: 15000 });
    assert.equal(await page.evaluate(() => Module['quillmoorAudio'].context.sampleRate), 44100);

    // The first 1.5 s as the page played them: the silence of the player's
    // unwritten first calls, then the music exactly as the native build makes it.
    const recordedBytes = await page.evaluate(() => Module['quillmoorAudio'].recording.byteLength);
    await page.waitForFunction((n) => Module._QuillmoorSoundBytesPlayed() >= n, recordedBytes, { timeout: 30000 });
    const played = new Int16Array(new Uint8Array(await page.evaluate(() => Array.from(
      new Uint8Array(Module['quillmoorAudio'].recording.buffer)))).buffer);
    const native = reference('sound', recordedBytes);
    const music = new Int16Array(native.buffer, native.byteOffset, native.length / 2);
    const firstSound = (samples) => samples.findIndex((sample) => sample !== 0);
    assert.ok(firstSound(music) >= 0, 'the native music is silent: is the song asset missing?');
    assert.ok(firstSound(played) >= 0, 'the page played only silence');
    const silence = firstSound(played) - firstSound(music);
    assert.ok(silence >= 4096, `only ${silence} samples of silence before the music: the first lap was written`);
    const length = played.length - silence;
    const differing = played.subarray(silence).findIndex((sample, i) => sample !== music[i]);
    assert.equal(differing, -1, `after ${silence} silent samples, played sample ${silence + differing} ` +
                 `is ${played[silence + differing]} where the native music has ${music[differing]}` +
                 ` (${length} samples compared)`);

    // M mutes and unmutes; the ring plays on meanwhile, so the music keeps time.
    await page.keyboard.press('m');
    assert.equal(await page.evaluate(() => Module['quillmoorAudio'].gain.gain.value), 0);
    assert.ok(await page.isVisible('#muted'));
    const mutedAt = await page.evaluate(() => Module._QuillmoorSoundBytesPlayed());
    await page.waitForFunction((n) => Module._QuillmoorSoundBytesPlayed() > n, mutedAt, { timeout: 15000 });
    await page.keyboard.press('m');
    assert.equal(await page.evaluate(() => Module['quillmoorAudio'].gain.gain.value), 1);
    assert.equal(await page.isVisible('#muted'), false);
    assert.deepEqual(problems, []);
  });
});

test('NoWebAudio', async () => {
  await withBrowser(async (browser, url) => {
    // A browser without Web Audio is a machine without a sound device: the
    // warning comes before the first frame, then the picture runs in silence.
    const { page, problems, dialogs } = await openPage(browser, url, { withoutWebAudio: true });
    assert.deepEqual(dialogs, ["ERROR: Can't open the SoundServer."]);
    assert.equal(await turns(page), 1);
    await page.click('#start');
    await waitForTurns(page, 20);
    assert.equal(await page.evaluate(() => Module['quillmoorAudio'] === undefined), true);
    assert.equal(await page.evaluate(() => Module._QuillmoorSoundBytesPlayed()), 0);
    assert.deepEqual(problems, []);
  });
});

test('Layout', async () => {
  await withBrowser(async (browser, url) => {
    // The largest whole-number scale that fits, centred, in device pixels.
    const cases = [
      { viewport: { width: 1400, height: 900 }, deviceScaleFactor: 1, box: [60, 50, 1280, 800] },
      { viewport: { width: 1300, height: 700 }, deviceScaleFactor: 1, box: [330, 150, 640, 400] },
      { viewport: { width: 500, height: 300 }, deviceScaleFactor: 1, box: [-70, -50, 640, 400] },
      { viewport: { width: 1400, height: 900 }, deviceScaleFactor: 2, box: [60, 50, 1280, 800] },
      { viewport: { width: 1000, height: 700 }, deviceScaleFactor: 1.5, box: [73.33, 83.33, 853.33, 533.33] },
    ];
    for (const { viewport, deviceScaleFactor, box } of cases) {
      const { page, problems } = await openPage(browser, url, { viewport, deviceScaleFactor });
      const got = await page.locator('#picture').boundingBox();
      const what = `${viewport.width}x${viewport.height} at ${deviceScaleFactor}`;
      [got.x, got.y, got.width, got.height].forEach((value, i) =>
        assert.ok(Math.abs(value - box[i]) < 0.02, `${what}: box ${JSON.stringify(got)}, wanted ${box}`));
      assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('picture')).imageRendering),
                   'pixelated');
      assert.deepEqual(problems, []);
      await page.context().close();
    }

    // F and a double-click toggle fullscreen; the picture is fitted again.
    const { page, problems } = await openPage(browser, url);
    const fitted = () => page.evaluate(() => {
      const box = document.getElementById('picture').getBoundingClientRect();
      const scale = Math.max(1, Math.floor(Math.min(innerWidth / 640, innerHeight / 400)));
      return box.width === 640 * scale && box.height === 400 * scale &&
             box.left === (innerWidth - box.width) / 2 && box.top === (innerHeight - box.height) / 2;
    });
    await page.keyboard.press('f');
    await page.waitForFunction(() => document.fullscreenElement?.id === 'stage', null, { timeout: 5000 });
    assert.ok(await fitted(), 'not fitted in fullscreen');
    await page.dblclick('#picture', { position: { x: 10, y: 10 } });   // beside the overlay's button
    await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 });
    assert.ok(await fitted(), 'not fitted after leaving fullscreen');
    assert.deepEqual(problems, []);
  });
});
