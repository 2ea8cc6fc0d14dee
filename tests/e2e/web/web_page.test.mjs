// The intro's web page in headless Chromium: it loads cleanly, animates after
// the click, draws exactly what the native build draws, plays the sound the
// native build computes, for its own song and for one the user picks, drops
// or names in the address, draws the text page, logo and font halves dropped
// or named in the address as the native build draws them, runs silent
// without Web Audio, loads the build without SIMD where SIMD is missing, fits
// the picture to the window (phones too), answers taps on its buttons, and,
// opened as a file, says how to serve it; comes back from the back-forward
// cache and plays again; plays in Firefox too; kept by its service worker, it
// starts and plays with the network gone and takes a new build on the next
// visit; and it says what is wrong when it can't run.
//
// Each test serves the built page (QUILLMOOR_WEB_ROOT) from its own
// `python3 -m http.server` on a free local port and drives its own browser,
// and stops both when it ends. The native reference program
// (QUILLMOOR_WEB_REFERENCE) runs in the assets folder (QUILLMOOR_ASSETS_DIR).
// playwright-core (Chromium) and puppeteer-core (Firefox, over WebDriver BiDi)
// are loaded from the build tree (QUILLMOOR_WEB_DRIVER).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, symlinkSync, utimesSync,
         writeFileSync } from 'node:fs';
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

const driverRequire = createRequire(join(setting('QUILLMOOR_WEB_DRIVER'), 'package.json'));
const { chromium } = driverRequire('playwright-core');

// A static file server on a port the system picks; resolves once it listens.
// `unlabelledWasm`: it sends .wasm files as application/octet-stream, as
// some servers do, which a browser won't compile as they stream in.
function startServer(root, { unlabelledWasm = false } = {}) {
  const serve = unlabelledWasm
    ? ['-c', 'import http.server as s; h = s.SimpleHTTPRequestHandler; ' +
             "h.extensions_map = {**h.extensions_map, '.wasm': 'application/octet-stream'}; " +
             "s.test(HandlerClass=h, port=0, bind='127.0.0.1')"]
    : ['-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', root];
  const server = spawn('python3', ['-u', ...serve], { cwd: root, stdio: ['ignore', 'pipe', 'pipe'] });
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

// Serves the page (from `root`, the built page by default), starts a fresh
// browser (Playwright gives it a new profile in a temporary folder and
// removes it on close), runs `body` and cleans up.
// `launch` adds to the browser's launch options, `serving` to the server's (startServer).
async function withBrowser(body, root = setting('QUILLMOOR_WEB_ROOT'), launch = {}, serving = {}) {
  const server = await startServer(root, serving);
  let browser;
  try {
    browser = await chromium.launch({
      ...launch,
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
  const { withoutWebAudio, withoutWorklet, withoutSimd, waitForReady = true, initScript, context: given, ...contextOptions } = options;
  const context = given ?? await browser.newContext({ viewport: { width: 1400, height: 900 }, ...contextOptions });
  const page = await context.newPage();
  if (withoutWebAudio) {
    await page.addInitScript(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  }
  if (withoutWorklet) await page.addInitScript(() => { delete window.AudioWorkletNode; });
  if (initScript) await page.addInitScript(initScript);
  // A browser without WebAssembly SIMD: every module using it fails to validate.
  if (withoutSimd) {
    await page.addInitScript(() => {
      const validate = WebAssembly.validate;
      WebAssembly.validate = (bytes) => !new Uint8Array(bytes).includes(0xfd) && validate(bytes);
    });
  }
  const requested = [];
  page.on('request', (request) => requested.push(new URL(request.url()).pathname));
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
  if (waitForReady) await page.waitForSelector('#start[data-state="ready"]', { timeout: 30000 });
  return { page, problems, logs, dialogs, requested };
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

// Runs the native reference program and returns what it wrote (the sound
// of `song`, a file, when given; `options` go before the command, such as
// --text FILE and --assets DIR).
function reference(kind, count, song, options = []) {
  const folder = mkdtempSync(join(tmpdir(), 'quillmoor-web-'));
  try {
    const out = join(folder, 'out');
    // frame N: the picture after N turns, the capture tool's frame N - 1.
    // sound N: the first N bytes of the stream from the first call that writes.
    const args = kind === 'frame' ? ['rgb', String(count - 1), out]
                                  : ['sound', '--seconds', String(Math.ceil(count / 88200)), '--raw', out,
                                     ...(song ? ['--song', song] : [])];
    const run = spawnSync(setting('QUILLMOOR_WEB_REFERENCE'), [...options, ...args],
                          { cwd: setting('QUILLMOOR_ASSETS_DIR'), encoding: 'utf8', timeout: 60000 });
    assert.equal(run.status, 0, `quillmoor-capture ${args.join(' ')} failed: ${run.error ?? run.stderr}`);
    return kind === 'frame' ? readFileSync(out) : readFileSync(out).subarray(0, count);
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
    assert.equal(await page.evaluate(() => window.quillmoorSound.context), null);
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

// The first frame under the overlay and frame `count` (the page opened
// with ?turns=count) are the native build's.
async function assertFramesMatchNative({ page, problems, logs }, count) {
  assertSamePicture(await canvasPixels(page), reference('frame', 1), 'first frame, under the overlay');
  await page.click('#start');
  await page.waitForFunction(() => Module._QuillmoorEnded() === 1, null, { timeout: 60000 });
  assert.equal(await turns(page), count);
  assertSamePicture(await canvasPixels(page), reference('frame', count), `frame ${count}`);
  assert.ok(logs.includes(ClosingLine), 'closing line missing from the console');
  assert.deepEqual(problems, []);
}

// Which of the two builds the page loaded.
const programsLoaded = (requested) => requested.filter((path) => /\/quillmoor(-plain)?\.wasm$/.test(path));

test('FrameMatchesNative', async () => {
  const count = 300;
  await withBrowser(async (browser, url) => {
    const opened = await openPage(browser, `${url}?turns=${count}`);
    assert.deepEqual(programsLoaded(opened.requested), ['/quillmoor.wasm']);
    await assertFramesMatchNative(opened, count);
  });
});

test('PlainWithoutSimd', async () => {
  // Where SIMD does not validate (Safari before 16.4), the plain build plays
  // and draws the same frames; here from a server that doesn't label it as
  // WebAssembly, so the page compiles it from its bytes.
  const count = 120;
  await withBrowser(async (browser, url) => {
    const opened = await openPage(browser, `${url}?turns=${count}`, { withoutSimd: true });
    assert.deepEqual(programsLoaded(opened.requested), ['/quillmoor-plain.wasm']);
    await assertFramesMatchNative(opened, count);
  }, undefined, {}, { unlabelledWasm: true });
});

// The sound as the page played it (sound.recording(): 16-bit samples as
// output, from the first song on, and where each song began in them), and
// its counts (sound.stats()).
const soundStats = (page) => page.evaluate(() => window.quillmoorSound.stats());

async function soundRecording(page) {
  const { base64, starts } = await page.evaluate(async () => {
    const { samples, starts } = await window.quillmoorSound.recording();
    const bytes = new Uint8Array(samples.buffer, samples.byteOffset, samples.byteLength);
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return { base64: btoa(text), starts };
  });
  return { samples: new Int16Array(Uint8Array.from(Buffer.from(base64, 'base64')).buffer), starts };
}

// Polls the sound's counts (they come from the audio thread, in answer to
// a message) until `done` says so.
async function waitForStats(page, done, what, timeout = 15000) {
  const end = Date.now() + timeout;
  for (;;) {
    const stats = await soundStats(page);
    if (done(stats)) return stats;
    assert.ok(Date.now() < end, `${what}: not within ${timeout} ms (${JSON.stringify(stats)})`);
    await new Promise((resolve) => setTimeout(resolve, 250));
  }
}

const waitForSongSamples = (page, count, timeout) =>
  waitForStats(page, (stats) => stats.sinceSong >= count, `${count} samples of the song`, timeout);

// The first `count` samples of the current song as the page played them
// (1.5 s unless asked): the silence of the player's unwritten first calls,
// then the music exactly as the native build makes it (of `song`, a file, or
// of the assets' own), but for its first 20 ms, which rise from 0 (no click
// at the start). A song played in place of another follows that one's 20 ms
// fade-out, and is heard within 250 ms of it.
async function assertPlaysAsNative(page, song, count = 65536) {
  await waitForSongSamples(page, count, 30000 + count / 44.1);
  const { samples, starts } = await soundRecording(page);
  const played = samples.subarray(starts.at(-1), starts.at(-1) + count);
  assert.equal(played.length, count);
  const native = reference('sound', played.length * 2, song);
  const music = new Int16Array(native.buffer, native.byteOffset, native.length / 2);
  const firstSound = (samples) => samples.findIndex((sample) => sample !== 0);
  const Fade = 882;
  const faded = (sample, gain) => Math.trunc(sample * gain / Fade);
  const musicStart = firstSound(music);
  assert.ok(musicStart >= 0, 'the native music is silent: is the song asset missing?');
  assert.ok(firstSound(played) >= 0, 'the page played only silence');
  // The fade starts at 0: the first audible sample says where the music began.
  let k0 = 0;
  while (faded(music[musicStart + k0], k0) === 0) ++k0;
  const silence = firstSound(played) - k0 - musicStart;
  assert.ok(silence >= 4096, `only ${silence} samples of silence before the music: the first lap was written`);
  if (starts.length > 1) assert.ok(silence <= 11025, `the song switched to began ${silence} samples after the switch`);
  const expected = (i) => i - musicStart < Fade ? faded(music[i], i - musicStart) : music[i];
  const length = played.length - silence;
  const differing = played.subarray(silence).findIndex((sample, i) => i >= musicStart && sample !== expected(i));
  assert.equal(differing, -1, `after ${silence} silent samples, played sample ${silence + differing} ` +
               `is ${played[silence + differing]} where the native music (faded in) has ${expected(differing)}` +
               ` (${length} samples compared)${song ? ' of ' + song : ''}`);
}

const audioRunning = (page) =>
  page.waitForFunction(() => window.quillmoorSound.ready && window.quillmoorSound.context.state === 'running', null,
                       { timeout: 15000 });

const soundMuted = async (page) => (await soundStats(page)).muted;

// Plays `seconds` with nothing amiss: no quantum the output had nothing for
// after the start, as many samples output as the audio clock went on, and
// every one the native stream (its fade-in aside).
async function assertPlaysThrough(t, page, seconds, during = async () => {}) {
  const startedAt = await page.evaluate(() => window.quillmoorSound.context.currentTime);
  await during();
  await assertPlaysAsNative(page, undefined, seconds * 44100);
  const stats = await soundStats(page);
  const clock = await page.evaluate(() => window.quillmoorSound.context.currentTime);
  assert.equal(stats.emptyQuanta, 0, `${stats.emptyQuanta} quanta had nothing to play: ${JSON.stringify(stats)}`);
  // Measured, not asserted: the browser's own output may skip on a loaded machine.
  if (stats.skippedQuanta !== undefined) t.diagnostic(`quanta the browser skipped: ${stats.skippedQuanta}`);
  assert.ok(stats.samplesOutput + 128 * (stats.skippedQuanta ?? 0) >= (clock - startedAt) * 44100 - 4096,
            `${stats.samplesOutput} samples output in ${clock - startedAt} s of the audio clock`);
}

test('SoundPlays', async (t) => {
  await withBrowser(async (browser, url) => {
    const { page, problems, logs } = await openPage(browser, url);
    assert.ok(logs.includes('sound: plays on the audio thread (AudioWorklet)'), logs.join('\n'));
    await page.click('#start');
    await audioRunning(page);
    assert.equal(await page.evaluate(() => window.quillmoorSound.context.sampleRate), 44100);
    await assertPlaysThrough(t, page, 20);

    // M mutes and unmutes; the ring plays on meanwhile, so the music keeps time.
    await page.keyboard.press('m');
    await waitForStats(page, (stats) => stats.muted, 'muted');
    assert.ok(await page.isVisible('#muted'));
    const mutedAt = (await soundStats(page)).samplesOutput;
    await waitForStats(page, (stats) => stats.samplesOutput > mutedAt + 4410, 'played on while muted');
    const { samples } = await soundRecording(page);
    assert.ok(samples.subarray(samples.length - 2205).every((sample) => sample === 0), 'muted, yet heard');
    await page.keyboard.press('m');
    assert.equal(await soundMuted(page), false);
    assert.equal(await page.isVisible('#muted'), false);
    assert.deepEqual(problems, []);
  });
});

// The page's own thread busy 300 ms five times over, then the page frozen
// for 9 s with the browser's background throttling in force: the audio thread plays
// on exactly. (Forcing the older path, `withoutWorklet`, makes this fail.)
test('SoundPlaysWhileBusyAndHidden', async (t) => {
  const throttled = { ignoreDefaultArgs: ['--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                                          '--disable-backgrounding-occluded-windows'] };
  await withBrowser(async (browser, url) => {
    const { page, problems } = await openPage(browser, url, { withoutWorklet: !!process.env.QUILLMOOR_WEB_FORCE_FALLBACK });
    await page.click('#start');
    await audioRunning(page);
    await assertPlaysThrough(t, page, 20, async () => {
      for (let i = 0; i < 5; ++i) {
        await page.evaluate(() => { const end = performance.now() + 300; while (performance.now() < end); });
        await page.waitForTimeout(700);
      }
      // Headless Chromium keeps every page visible; a frozen page (what a
      // background tab comes to) runs nothing at all on its thread.
      const lifecycle = await page.context().newCDPSession(page);
      await lifecycle.send('Page.setWebLifecycleState', { state: 'frozen' });
      await new Promise((resolve) => setTimeout(resolve, 9000));
      await lifecycle.send('Page.setWebLifecycleState', { state: 'active' });

    });
    assert.deepEqual(problems, []);
  }, undefined, throttled);
});

// Left for another page and back from the back-forward cache: the intro
// closed as the page went (its sound too) shows the overlay again, and the
// click starts the sound, from the song's start, and the picture, from its
// frame. Chromium's cache is on for this case (the runner's defaults turn
// it off); a page it would not cache is said, and stands in for nothing.
test('BackForwardCache', async (t) => {
  await withBrowser(async (browser, url) => {
    const { page, problems, logs } = await openPage(browser, url, { initScript: () => {
      window.quillmoorShows = [];
      window.addEventListener('pageshow', (event) => window.quillmoorShows.push(event.persisted));
    } });
    const cache = await page.context().newCDPSession(page);
    await cache.send('Page.enable');
    const notCached = [];
    cache.on('Page.backForwardCacheNotUsed', (event) => notCached.push(...event.notRestoredExplanations.map((e) => e.reason)));
    await page.click('#start');
    await audioRunning(page);
    await waitForTurns(page, 20);
    await page.goto('about:blank');
    await page.goBack({ waitUntil: 'commit' });   // a page from the cache has no load event
    await page.waitForSelector('#start[data-state="ready"]', { timeout: 10000 });
    assert.deepEqual(notCached, [], 'Chromium did not keep the page');
    assert.deepEqual(await page.evaluate(() => window.quillmoorShows), [false, true]);
    assert.ok(logs.includes(ClosingLine), 'closing line missing as the page went');
    assert.equal(await page.textContent('#start'), 'Click to start');
    const shownAt = await turns(page);
    await page.waitForTimeout(200);
    assert.equal(await turns(page), shownAt, 'the picture ran before the click');

    await page.click('#start');
    await audioRunning(page);
    await waitForTurns(page, shownAt + 20);
    await assertPlaysAsNative(page, undefined, 44100);
    assert.deepEqual(problems, []);
  }, undefined, { ignoreDefaultArgs: ['--disable-back-forward-cache'] });
});

// A context at 48,000 Hz, as a browser that ignores the rate asked for
// gives: the console says the music is resampled, the module's stream is
// still the native one, and the output runs at the context's rate.
test('Resampled', async () => {
  await withBrowser(async (browser, url) => {
    const { page, problems, logs } = await openPage(browser, url, { initScript: () => {
      const Given = window.AudioContext;
      window.AudioContext = class extends Given {
        constructor(options = {}) { super({ ...options, sampleRate: 48000 }); }
      };
    } });
    await page.click('#start');
    await audioRunning(page);
    assert.equal(await page.evaluate(() => window.quillmoorSound.context.sampleRate), 48000);
    const started = await soundStats(page);
    await assertPlaysAsNative(page, undefined, 2 * 44100);
    assert.ok(logs.includes('sound: the audio context runs at 48000 Hz, not 44100: the music is resampled to it'),
              logs.join('\n'));
    // Each count as the audio thread had it at one moment: the module's
    // samples went at 44,100 for each 48,000 frames output, none skipped.
    const stats = await soundStats(page);
    assert.equal(stats.sampleRate, 48000);
    const frames = stats.framesOutput - started.framesOutput;
    const samples = stats.samplesOutput - started.samplesOutput;
    assert.ok(frames >= 48000, `only ${frames} frames output`);
    assert.ok(Math.abs(samples - frames * 44100 / 48000) <= 2, `${samples} samples for ${frames} frames`);
    assert.equal(stats.emptyQuanta, 0);
    assert.deepEqual(problems, []);
  });
});

// Firefox plays only where it can open an audio output: a PulseAudio of the
// test's own, its one sink a null one, serves it. Resolves once it answers.
async function startSoundServer(folder) {
  const socket = join(folder, 'native');
  const daemon = spawn(setting('QUILLMOOR_PULSEAUDIO'),
                       ['-n', '--daemonize=no', '--exit-idle-time=-1', '--use-pid-file=no', '--disallow-exit',
                        '-L', 'module-null-sink sink_name=quiet', '-L', `module-native-protocol-unix socket=${socket} auth-anonymous=1`],
                       { env: { ...process.env, HOME: folder, XDG_RUNTIME_DIR: folder }, stdio: 'ignore' });
  for (const end = Date.now() + 10000; !readdirSync(folder).includes('native'); await new Promise((r) => setTimeout(r, 50)))
    assert.ok(Date.now() < end && daemon.exitCode === null, 'pulseaudio did not start');
  return { daemon, server: `unix:${socket}` };
}

// The page in Debian's firefox-esr, driven by puppeteer-core over WebDriver
// BiDi (headless, with a sound server of its own), as withBrowser does.
async function withFirefox(body) {
  const puppeteer = driverRequire('puppeteer-core');
  const folder = mkdtempSync(join(tmpdir(), 'quillmoor-pulse-'));
  const server = await startServer(setting('QUILLMOOR_WEB_ROOT'));
  let sound, browser;
  try {
    sound = await startSoundServer(folder);
    browser = await puppeteer.launch({
      browser: 'firefox', protocol: 'webDriverBiDi', executablePath: setting('QUILLMOOR_FIREFOX'), headless: true,
      env: { ...process.env, MOZ_HEADLESS: '1', PULSE_SERVER: sound.server },
      extraPrefsFirefox: { 'media.autoplay.default': 0, 'media.autoplay.block-webaudio': false } });
    await body(browser, server.url);
  } finally {
    if (browser) await browser.close();
    if (sound) sound.daemon.kill('SIGTERM');
    await stopServer(server);
    rmSync(folder, { recursive: true, force: true });
  }
}

test('FirefoxPlays', async (t) => {
  await withFirefox(async (browser, url) => {
    const page = await browser.newPage();
    const logs = [];
    const problems = [];
    page.on('console', (message) => {
      logs.push(message.text());
      if (message.type() === 'error') problems.push(message.text());
    });
    page.on('pageerror', (error) => problems.push(error.message));
    await page.goto(url);
    await page.waitForSelector('#start[data-state="ready"]', { timeout: 30000 });
    assert.ok(logs.includes('sound: plays on the audio thread (AudioWorklet)'), logs.join('\n'));
    await page.click('#start');
    await page.waitForFunction(() => window.quillmoorSound.ready && window.quillmoorSound.context.state === 'running',
                               { timeout: 15000 });
    // The page's own thread busy 300 ms three times over meanwhile.
    await assertPlaysThrough(t, page, 10, async () => {
      for (let i = 0; i < 3; ++i) {
        await page.evaluate(() => { const end = performance.now() + 300; while (performance.now() < end); });
        await new Promise((resolve) => setTimeout(resolve, 700));
      }
    });
    assert.deepEqual(problems, []);
  });
});

// Without AudioWorkletNode the program plays the sound itself, through a
// ScriptProcessorNode, and the console says so and why.
test('ScriptProcessorFallback', async () => {
  await withBrowser(async (browser, url) => {
    const { page, problems, logs } = await openPage(browser, url, { withoutWorklet: true });
    assert.ok(logs.includes("sound: plays through a ScriptProcessorNode on the page's thread: " +
                            'this browser has no AudioWorkletNode'), logs.join('\n'));
    await page.click('#start');
    await audioRunning(page);
    assert.equal(await page.evaluate(() => window.quillmoorSound.path), 'script-processor');
    await assertPlaysAsNative(page);
    assert.deepEqual(problems, []);
  });
});

// Test songs, each unlike the assets' and the others. Raw: 14 bytes a frame
// (tone periods A, B, C little-endian, noise, mixer, volumes A, B, C,
// envelope period, shape; 255: not restarted), here a tone on A that steps
// up and down.
function rawSong(frames) {
  const song = Buffer.alloc(frames * 14);
  for (let i = 0; i < frames; ++i) {
    const frame = song.subarray(i * 14);
    frame.writeUInt16LE(120 + (i * 37) % 400, 0);
    frame[7] = 0x3e;   // tone A only
    frame[8] = 13;
    frame[13] = 255;
  }
  return song;
}

// "YMDX": a 32-byte header, then per frame a big-endian mask (bit 15 - r for
// register r) and the marked registers' values; the first frame writes all
// 14. Here two tones, B gliding under a steady A.
function ymdxSong(frames) {
  const header = Buffer.alloc(32);
  header.write('YMDX', 0, 'latin1');
  header.writeUInt32BE(frames, 4);
  header.writeUInt16BE(50, 12);
  header.writeUInt16BE(1, 14);
  header.write('test', 16, 'latin1');
  const first = Buffer.from([0xff, 0xfc, 0x40, 0x01, 0x00, 0x02, 0, 0, 0, 0x3c, 12, 10, 0, 0, 0, 0]);
  const parts = [header, first];
  for (let i = 1; i < frames; ++i) {
    const period = 0x200 + i * 5;
    parts.push(Buffer.from([0x30, 0x00, period & 0xff, period >> 8]));   // registers 2 and 3
  }
  return Buffer.concat(parts);
}

// Writes the songs into a fresh folder and hands `body` their paths.
async function withSongs(songs, body) {
  const folder = mkdtempSync(join(tmpdir(), 'quillmoor-songs-'));
  try {
    const paths = {};
    for (const [name, bytes] of Object.entries(songs)) {
      paths[name] = join(folder, name);
      writeFileSync(paths[name], bytes);
    }
    await body(paths, folder);
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// Drops files on the picture as a browser does (dragenter, dragover, drop,
// each with the files); true when the page took the drop.
function dropFiles(page, paths) {
  const files = paths.map((path) => ({ name: path.replace(/^.*\//, ''), base64: readFileSync(path).toString('base64') }));
  return page.evaluate((files) => {
    const transfer = new DataTransfer();
    for (const { name, base64 } of files)
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    const target = document.getElementById('picture');
    let taken = true;
    for (const type of ['dragenter', 'dragover', 'drop']) {
      const proceeded = target.dispatchEvent(new DragEvent(type, { bubbles: true, cancelable: true, dataTransfer: transfer }));
      if (type !== 'dragenter') taken &&= !proceeded;
    }
    return taken;
  }, files);
}

const songShown = (page, text) =>
  page.waitForFunction((text) => !document.getElementById('song').hidden &&
                                 document.getElementById('song').textContent.includes(text), text, { timeout: 15000 });

// Pieces unlike the assets' own, made from them: a text page, the logo upside
// down, the font's table with each letter drawn as the next one, its glyphs
// inverted; and a text page with a line too long. `assets(names)` is a copy
// of the assets folder with the pieces named in it, for the native tool.
function withPieces(body) {
  const from = setting('QUILLMOOR_ASSETS_DIR');
  const logo = readFileSync(join(from, 'quillmoor_cut2_632x246x8.bmp'));
  const pixels = logo.readUInt32LE(10);
  const flipped = Buffer.from(logo);
  for (let row = 0; row < 246; ++row)
    logo.copy(flipped, pixels + row * 632, pixels + (245 - row) * 632, pixels + (246 - row) * 632);
  const table = readFileSync(join(from, 'FNT1616.FTB'));
  const shifted = Buffer.from(table);
  for (let c = 0; c < 26; ++c) shifted[65 + c] = table[65 + (c + 1) % 26];
  const glyphs = Buffer.from(readFileSync(join(from, 'FNT1616.GFX')).map((byte) => byte ^ 0xff));
  const page = 'YOUR OWN INTRO\r\n\r\n  DRAWN FROM A PAGE OF TEXT: 0123456789\r\nlower case too!\r\n';
  const bad = 'FINE\n' + 'X'.repeat(41) + '\n';
  const assetNames = { 'logo.bmp': 'quillmoor_cut2_632x246x8.bmp', 'font.ftb': 'FNT1616.FTB', 'font.gfx': 'FNT1616.GFX' };
  return withSongs({ 'page.txt': page, 'logo.bmp': flipped, 'font.ftb': shifted, 'font.gfx': glyphs, 'bad.txt': bad },
                   (pieces, folder) => {
    let copies = 0;
    const assets = (names) => {
      const copy = join(folder, `assets-${++copies}`);
      cpSync(from, copy, { recursive: true });
      for (const name of names) cpSync(pieces[name], join(copy, assetNames[name]));
      return copy;
    };
    return body(pieces, assets, folder);
  });
}

test('PiecesDropped', async () => {
  // A text page and a logo dropped together under the overlay, then after
  // the start the font's halves one at a time: each is named, and the
  // picture goes on where it was, its last frame the native one with all of
  // them.
  const count = 240;
  await withPieces(async (pieces, assets) => {
    const expected = reference('frame', count, null,
                               ['--text', pieces['page.txt'], '--assets', assets(['logo.bmp', 'font.ftb', 'font.gfx'])]);
    await withBrowser(async (browser, url) => {
      const { page, problems } = await openPage(browser, `${url}?turns=${count}`);
      assert.ok(await dropFiles(page, [pieces['page.txt'], pieces['logo.bmp']]), 'the page did not take the drop');
      await songShown(page, 'page.txt: the text page\nlogo.bmp: the logo');
      await page.click('#start');
      await waitForTurns(page, 30);
      assert.ok(await dropFiles(page, [pieces['font.ftb']]));
      await songShown(page, "font.ftb: the font's glyph table");
      assert.ok(await dropFiles(page, [pieces['font.gfx']]));
      await songShown(page, "font.gfx: the font's glyphs");
      assert.ok(await turns(page) < count, 'the pieces came too late to be seen');
      await page.waitForFunction(() => Module._QuillmoorEnded() === 1, null, { timeout: 60000 });
      assertSamePicture(await canvasPixels(page), expected, `frame ${count} with the pieces dropped`);
      assert.deepEqual(problems, []);
    });
  });
});

test('PiecesFromAddress', async () => {
  // ?text= and ?logo= are drawn from the first frame; a text page that
  // can't be used is named with the reason, and the built-in page stays.
  await withPieces(async (pieces, assets, folder) => {
    const site = join(folder, 'site');
    mkdirSync(join(site, 'pieces'), { recursive: true });
    const root = setting('QUILLMOOR_WEB_ROOT');
    for (const name of readdirSync(root)) symlinkSync(join(root, name), join(site, name));
    for (const name of ['page.txt', 'logo.bmp', 'bad.txt']) symlinkSync(pieces[name], join(site, 'pieces', name));
    const expected = reference('frame', 1, null, ['--text', pieces['page.txt'], '--assets', assets(['logo.bmp'])]);
    await withBrowser(async (browser, url) => {
      const chosen = await openPage(browser, `${url}?text=pieces/page.txt&logo=pieces/logo.bmp`);
      assertSamePicture(await canvasPixels(chosen.page), expected, 'first frame with ?text= and ?logo=');
      assert.deepEqual(chosen.problems, []);
      await chosen.page.context().close();

      const { page, problems } = await openPage(browser, `${url}?text=pieces/bad.txt`);
      await songShown(page, 'bad.txt:2:41: the line is longer than 40 characters (the text page before stays)');
      assertSamePicture(await canvasPixels(page), reference('frame', 1), 'first frame after a bad ?text=');
      assert.deepEqual(problems, []);
    }, site);
  });
});

test('SongPicked', async () => {
  // A raw song larger than the player reads (it plays what the player
  // reads of it), then a YMDX one dropped on it: each plays from its start
  // as the native player plays it, its name shown.
  await withSongs({ 'long tune.dmp': rawSong(40000), 'glide.ymdx': ymdxSong(200) }, async (songs) => {
    await withBrowser(async (browser, url) => {
      const { page, problems } = await openPage(browser, url);
      await page.click('#start');
      await audioRunning(page);
      const chooser = page.waitForEvent('filechooser');
      await page.click('#song-button');
      await (await chooser).setFiles(songs['long tune.dmp']);
      await songShown(page, 'long tune.dmp');
      await assertPlaysAsNative(page, songs['long tune.dmp']);

      assert.ok(await dropFiles(page, [songs['glide.ymdx']]), 'the page did not take the drop');
      await songShown(page, 'glide.ymdx');
      await assertPlaysAsNative(page, songs['glide.ymdx']);
      assert.equal(await page.evaluate(() => window.quillmoorSound.context.state), 'running');
      assert.deepEqual(problems, []);
    });
  });
});

test('SongDroppedBeforeStart', async () => {
  // Dropped under the overlay, the song is what the start plays; of several
  // files the first plays and the others are named as ignored.
  await withSongs({ 'glide.ymdx': ymdxSong(200), 'other.dmp': rawSong(100) }, async (songs) => {
    await withBrowser(async (browser, url) => {
      const { page, problems } = await openPage(browser, url);
      assert.ok(await dropFiles(page, [songs['glide.ymdx'], songs['other.dmp']]), 'the page did not take the drop');
      await songShown(page, 'glide.ymdx (1 more ignored');
      assert.equal(await page.evaluate(() => window.quillmoorSound.context), null);
      await page.click('#start');
      await audioRunning(page);
      await assertPlaysAsNative(page, songs['glide.ymdx']);
      assert.deepEqual(problems, []);
    });
  });
});

test('SongFromAddress', async () => {
  // ?song=PATH: the start waits for the song and plays it; one the site
  // doesn't have is said, and the start plays the intro's own.
  await withSongs({ 'glide.ymdx': ymdxSong(200) }, async (songs, folder) => {
    const site = join(folder, 'site');
    mkdirSync(join(site, 'songs'), { recursive: true });
    const root = setting('QUILLMOOR_WEB_ROOT');
    for (const name of readdirSync(root)) symlinkSync(join(root, name), join(site, name));
    symlinkSync(songs['glide.ymdx'], join(site, 'songs', 'glide.ymdx'));
    await withBrowser(async (browser, url) => {
      const missing = await openPage(browser, `${url}?song=songs/none.dmp`);
      await songShown(missing.page, "can't load none.dmp: HTTP 404");
      // The only things amiss: the missing file, and the browser's own line about it.
      assert.ok(missing.problems.includes(`HTTP 404: ${url}songs/none.dmp`), missing.problems.join('\n'));
      assert.deepEqual(missing.problems.filter((problem) => !/404/.test(problem)), []);
      await missing.page.context().close();

      const { page, problems } = await openPage(browser, `${url}?song=songs/glide.ymdx`);
      await songShown(page, 'glide.ymdx');
      await page.click('#start');
      await audioRunning(page);
      await assertPlaysAsNative(page, songs['glide.ymdx']);
      assert.deepEqual(problems, []);
    }, site);
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
    assert.equal(await page.evaluate(() => window.quillmoorSound.context), null);
    assert.equal((await soundStats(page)).samplesOutput, 0);
    assert.deepEqual(problems, []);
  });
});

// The picture as the browser paints it, from a screenshot in device pixels
// with the stage green and the overlays hidden: its box, and how many of its
// screen pixels are not the colour of a picture pixel at or next to where
// they fall (a smoothed picture has many).
async function paintedPicture(page) {
  await page.addStyleTag({ content: '#stage { background: #0f0 !important; } ' +
                                    '#start, #hint, #muted, #controls { visibility: hidden !important; }' });
  const png = await page.screenshot();
  return page.evaluate(async (base64) => {
    const bitmap = await createImageBitmap(await (await fetch('data:image/png;base64,' + base64)).blob());
    const screen = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    screen.drawImage(bitmap, 0, 0);
    const shot = screen.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const picture = document.getElementById('picture');
    const source = picture.getContext('2d').getImageData(0, 0, picture.width, picture.height).data;
    const green = (i) => shot[i] < 40 && shot[i + 1] > 215 && shot[i + 2] < 40;
    let left = Infinity, top = Infinity, right = -1, bottom = -1;
    for (let y = 0; y < bitmap.height; ++y) {
      for (let x = 0; x < bitmap.width; ++x) {
        if (green((y * bitmap.width + x) * 4)) continue;
        left = Math.min(left, x); right = Math.max(right, x);
        top = Math.min(top, y); bottom = Math.max(bottom, y);
      }
    }
    const width = right - left + 1;
    const height = bottom - top + 1;
    let blurred = 0;
    for (let y = top; y <= bottom; ++y) {
      for (let x = left; x <= right; ++x) {
        const i = (y * bitmap.width + x) * 4;
        const sx = Math.floor((x - left + 0.5) * picture.width / width);
        const sy = Math.floor((y - top + 0.5) * picture.height / height);
        let found = false;
        for (let dy = -1; dy <= 1 && !found; ++dy) {
          for (let dx = -1; dx <= 1 && !found; ++dx) {
            const px = Math.min(picture.width - 1, Math.max(0, sx + dx));
            const py = Math.min(picture.height - 1, Math.max(0, sy + dy));
            const j = (py * picture.width + px) * 4;
            found = shot[i] === source[j] && shot[i + 1] === source[j + 1] && shot[i + 2] === source[j + 2];
          }
        }
        if (!found) ++blurred;
      }
    }
    return { box: [left, top, width, height], blurred };
  }, png.toString('base64'));
}

const phone = { isMobile: true, hasTouch: true, deviceScaleFactor: 3 };

test('Layout', async () => {
  await withBrowser(async (browser, url) => {
    // A window that holds the picture gets the largest whole-number scale
    // that fits, in device pixels; a smaller one (a phone) the largest 8:5
    // size in whole device pixels that fits. Centred on whole device pixels,
    // never cut, never smoothed. (box: CSS px; device: device px.)
    const cases = [
      { viewport: { width: 1400, height: 900 }, deviceScaleFactor: 1,
        box: [60, 50, 1280, 800], device: [60, 50, 1280, 800] },
      { viewport: { width: 1300, height: 700 }, deviceScaleFactor: 1,
        box: [330, 150, 640, 400], device: [330, 150, 640, 400] },
      { viewport: { width: 500, height: 300 }, deviceScaleFactor: 1,
        box: [10, 0, 480, 300], device: [10, 0, 480, 300] },
      { viewport: { width: 1400, height: 900 }, deviceScaleFactor: 2,
        box: [60, 50, 1280, 800], device: [120, 100, 2560, 1600] },
      { viewport: { width: 1000, height: 700 }, deviceScaleFactor: 1.5,
        box: [73.33, 83.33, 853.33, 533.33], device: [110, 125, 1280, 800] },
      { viewport: { width: 390, height: 844 }, ...phone,
        box: [0.33, 300.33, 389.33, 243.33], device: [1, 901, 1168, 730] },
      { viewport: { width: 360, height: 640 }, ...phone,
        box: [0, 207.33, 360, 225], device: [0, 622, 1080, 675] },
      { viewport: { width: 844, height: 390 }, ...phone,
        box: [110, 0, 624, 390], device: [330, 0, 1872, 1170] },
    ];
    for (const { box, device, ...options } of cases) {
      const { viewport, deviceScaleFactor } = options;
      const { page, problems } = await openPage(browser, url, options);
      const got = await page.locator('#picture').boundingBox();
      const what = `${viewport.width}x${viewport.height} at ${deviceScaleFactor}`;
      [got.x, got.y, got.width, got.height].forEach((value, i) =>
        assert.ok(Math.abs(value - box[i]) < 0.02, `${what}: box ${JSON.stringify(got)}, wanted ${box}`));
      assert.ok(got.x >= 0 && got.y >= 0 && got.x + got.width <= viewport.width + 0.01 &&
                got.y + got.height <= viewport.height + 0.01, `${what}: the picture is cut`);
      assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('picture')).imageRendering),
                   'pixelated');
      const painted = await paintedPicture(page);
      assert.deepEqual(painted.box, device, `${what}: the painted picture in device pixels`);
      assert.equal(painted.blurred, 0, `${what}: ${painted.blurred} screen pixels are not picture pixels`);
      if (options.hasTouch) {
        for (const button of ['#help-button', '#song-button', '#mute-button', '#fullscreen-button']) {
          const { x, y, width, height } = await page.locator(button).boundingBox();
          assert.ok(x + width <= got.x || x >= got.x + got.width || y + height <= got.y || y >= got.y + got.height,
                    `${what}: ${button} covers the picture`);
        }
      }
      assert.deepEqual(problems, []);
      await page.context().close();
    }

    // F and a double-click toggle fullscreen; the picture is fitted again.
    const { page, problems } = await openPage(browser, url);
    const fitted = async () => {
      const { width, height } = await page.evaluate(() => ({ width: innerWidth, height: innerHeight }));
      const scale = Math.max(1, Math.floor(Math.min(width / 640, height / 400)));
      const got = await page.locator('#picture').boundingBox();
      return got.width === 640 * scale && got.height === 400 * scale &&
             got.x === Math.floor((width - got.width) / 2) && got.y === Math.floor((height - got.height) / 2);
    };
    await page.keyboard.press('f');
    await page.waitForFunction(() => document.fullscreenElement?.id === 'stage', null, { timeout: 5000 });
    assert.ok(await fitted(), 'not fitted in fullscreen');
    await page.dblclick('#picture', { position: { x: 10, y: 10 } });   // beside the overlay's button
    await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 });
    assert.ok(await fitted(), 'not fitted after leaving fullscreen');
    assert.deepEqual(problems, []);
  });
});

test('Touch', async () => {
  await withBrowser(async (browser, url) => {
    // A small phone held upright: every control answers a tap.
    const { page, problems } = await openPage(browser, url, { viewport: { width: 360, height: 640 }, ...phone });
    for (const button of ['#help-button', '#song-button', '#mute-button', '#fullscreen-button']) {
      const box = await page.locator(button).boundingBox();
      assert.ok(box.width >= 44 && box.height >= 44, `${button} is too small to tap: ${JSON.stringify(box)}`);
      assert.ok(box.x >= 0 && box.x + box.width <= 360 && box.y >= 0, `${button} is off the screen`);
    }
    const expanded = () => page.getAttribute('#help-button', 'aria-expanded');
    assert.ok(await page.isVisible('#hint'), 'the key hint is not shown before the start');
    assert.equal(await page.isEnabled('#mute-button'), false);

    await page.tap('#start');
    await page.waitForSelector('#start', { state: 'hidden', timeout: 5000 });
    await waitForTurns(page, 5);
    assert.equal(await page.isVisible('#hint'), false);
    assert.equal(await expanded(), 'false');
    await page.tap('#help-button');
    assert.ok(await page.isVisible('#hint'), 'the help button does not bring the key hint back');
    assert.equal(await expanded(), 'true');

    await audioRunning(page);
    const gain = async () => ((await soundMuted(page)) ? 0 : 1);
    await page.tap('#mute-button');
    assert.equal(await gain(), 0);
    assert.ok(await page.isVisible('#muted'));
    assert.equal(await page.getAttribute('#mute-button', 'aria-pressed'), 'true');
    // The hint and the muted badge side by side or one above the other, on the screen.
    const hint = await page.locator('#hint').boundingBox();
    const badge = await page.locator('#muted').boundingBox();
    assert.ok(hint.y + hint.height <= badge.y || hint.x + hint.width <= badge.x,
              `the hint ${JSON.stringify(hint)} and the muted badge ${JSON.stringify(badge)} overlap`);
    assert.ok(hint.x >= 0 && badge.x + badge.width <= 360 && badge.y + badge.height <= 640);
    await page.tap('#help-button');
    assert.equal(await page.isVisible('#hint'), false);
    await page.tap('#mute-button');
    assert.equal(await gain(), 1);
    assert.equal(await page.isVisible('#muted'), false);
    assert.equal(await page.getAttribute('#mute-button', 'aria-pressed'), 'false');

    await page.tap('#fullscreen-button');
    await page.waitForFunction(() => document.fullscreenElement?.id === 'stage', null, { timeout: 5000 });
    await page.waitForSelector('#fullscreen-button[aria-pressed="true"]', { timeout: 5000 });   // on the change event
    await page.tap('#fullscreen-button');
    await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 });
    await page.waitForSelector('#fullscreen-button[aria-pressed="false"]', { timeout: 5000 });   // on the change event

    // The same buttons answer a mouse; two quick clicks on one are two
    // presses of it, not a double-click that toggles fullscreen.
    await page.click('#mute-button');
    assert.equal(await gain(), 0);
    await page.click('#mute-button');
    assert.equal(await gain(), 1);
    await page.dblclick('#help-button');
    assert.equal(await page.isVisible('#hint'), false);
    assert.equal(await page.evaluate(() => document.fullscreenElement), null);
    assert.deepEqual(problems, []);
  });
});

test('OpenedAsFile', async () => {
  await withBrowser(async (browser) => {
    // No server: the page says so and how to serve it, and loads nothing
    // that would fail.
    const root = setting('QUILLMOOR_WEB_ROOT');
    const { page, problems } = await openPage(browser, pathToFileURL(join(root, 'index.html')).href,
                                              { waitForReady: false });
    await page.waitForSelector('#notice', { state: 'visible', timeout: 10000 });
    const notice = await page.textContent('#notice');
    assert.match(notice, /has to be served by a web server/);
    assert.ok(notice.includes(`python3 -m http.server -d "${join(root, '/')}" 8000`), notice);
    assert.equal(await page.isVisible('#start'), false);
    assert.equal((await page.innerText('body')).includes('Loading'), false);
    assert.equal(await page.evaluate(() => document.querySelector('script[src="quillmoor.js"]')), null);
    assert.deepEqual(problems, []);
  });
});

// Records when the first frame reaches the canvas, in ms after navigation.
function recordFirstFrame() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (window.quillmoorFirstFrame === undefined) window.quillmoorFirstFrame = performance.now();
    return put.apply(this, args);
  };
}

const workerControls = (page) =>
  page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 20000 });

test('Offline', async (t) => {
  await withBrowser(async (browser, url) => {
    const { page, problems } = await openPage(browser, url, { initScript: recordFirstFrame });
    const fromNetwork = await page.evaluate(() => window.quillmoorFirstFrame);
    await workerControls(page);
    // Installable as Chromium judges it: the manifest, its icons, the worker.
    const session = await page.context().newCDPSession(page);
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors.filter(({ errorId }) => errorId !== 'in-incognito'), []);

    await page.context().setOffline(true);
    await page.reload();
    await page.waitForSelector('#start[data-state="ready"]', { timeout: 30000 });
    const fromCache = await page.evaluate(() => window.quillmoorFirstFrame);
    assertSamePicture(await canvasPixels(page), reference('frame', 1), 'first frame, offline');
    await page.click('#start');
    await audioRunning(page);
    await waitForTurns(page, 30);
    t.diagnostic(`first frame ${fromNetwork.toFixed(0)} ms after navigation from the network, ` +
                 `${fromCache.toFixed(0)} ms from the service worker's cache`);
    assert.deepEqual(problems, []);
  });
});

// A copy of the built page in a fresh folder, for `body` to change.
async function withPageCopy(body) {
  const folder = mkdtempSync(join(tmpdir(), 'quillmoor-page-'));
  try {
    await body(folder);
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

test('Update', async () => {
  await withPageCopy(async (site) => {
    cpSync(setting('QUILLMOOR_WEB_ROOT'), site, { recursive: true });
    await withBrowser(async (browser, url) => {
      const context = await browser.newContext();
      const visit = async () => (await openPage(browser, url, { context })).page;
      const build = (page) => page.evaluate(() =>
        getComputedStyle(document.getElementById('stage')).getPropertyValue('--build').trim());
      const first = await visit();
      await workerControls(first);
      const [oldCache] = await first.evaluate(() => caches.keys());
      await first.close();

      // The page rebuilt with a changed stylesheet, its worker written as the
      // build writes it. (Dated later than the copy, which the server's
      // whole-second dates might not tell apart.)
      const css = join(site, 'page.css');
      appendFileSync(css, '#stage { --build: second; }\n');
      const later = new Date(Date.now() + 5000);
      utimesSync(css, later, later);
      const source = setting('QUILLMOOR_PAGE_SOURCE');
      const written = spawnSync(setting('QUILLMOOR_CMAKE'), [`-DFOLDER=${site}`, `-DTEMPLATE=${join(source, 'service_worker.js.in')}`,
                                                        '-P', join(source, 'service_worker.cmake')], { encoding: 'utf8' });
      assert.equal(written.status, 0, written.stderr);

      // This visit runs the build it has, and the new one replaces it meanwhile.
      const second = await visit();
      assert.equal(await build(second), '');
      for (const deadline = Date.now() + 20000; ; await second.waitForTimeout(100)) {
        const names = await second.evaluate(() => caches.keys());
        if (names.length === 1 && names[0] !== oldCache) break;
        assert.ok(Date.now() < deadline, `the new build did not replace the old one: ${names}`);
      }
      await second.close();

      const third = await visit();
      assert.equal(await build(third), 'second');
      await third.click('#start');
      await waitForTurns(third, 10);
    }, site);
  });
});

test('Failure', async () => {
  await withPageCopy(async (site) => {
    const root = setting('QUILLMOOR_WEB_ROOT');
    const variant = (name, change) => {
      cpSync(root, join(site, name), { recursive: true });
      change(join(site, name));
    };
    variant('intact', () => {});
    variant('junk-wasm', (folder) => writeFileSync(join(folder, 'quillmoor.wasm'), 'not a program'));
    variant('no-script', (folder) => rmSync(join(folder, 'quillmoor.js')));
    variant('no-data', (folder) => rmSync(join(folder, 'quillmoor.data')));
    variant('no-wasm', (folder) => rmSync(join(folder, 'quillmoor.wasm')));
    const cases = [
      { path: 'junk-wasm/', says: /program did not start.*reload the page/ },
      { path: 'no-script/', says: /\(quillmoor\.js\) did not load.*reload the page/ },
      { path: 'no-data/', says: /files did not load.*reload the page/ },
      { path: 'no-wasm/', says: /files did not load.*reload the page/ },
      { path: 'intact/', says: /cannot run WebAssembly.*open the page in a current/,
        initScript: () => { delete window.WebAssembly; } },
    ];
    await withBrowser(async (browser, url) => {
      for (const { path, says, initScript } of cases) {
        const { page } = await openPage(browser, url + path, { waitForReady: false, initScript });
        await page.waitForSelector('#notice', { state: 'visible', timeout: 5000 });
        assert.match(await page.textContent('#notice'), says, path);
        assert.equal(await page.isVisible('#start'), false, path);
        await page.context().close();
      }
    }, site);
  });
});
