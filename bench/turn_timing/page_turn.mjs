// The page's own figure for its turn, as it runs in headless Chromium: the
// page served from its folder by `python3 -m http.server`, started with a
// click, then the loop's sums (_QuillmoorTurnMilliseconds and
// _QuillmoorPresentMilliseconds, means since the start) read after a second
// to settle and again SECONDS later, so the figure is of those SECONDS
// alone, as `quillmoor-turn-timing ASSETS --paced SECONDS` gives the
// native one.
//
//   node page_turn.mjs PAGE_FOLDER DRIVER_FOLDER CHROMIUM SECONDS
//
// DRIVER_FOLDER holds playwright-core (tests/e2e/web/install-playwright.sh).
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { join } from 'node:path';

const fail = (text) => { console.error(`page_turn.mjs: error: ${text}`); process.exit(1); };
if (process.argv.length !== 6 || !/^[1-9][0-9]*$/.test(process.argv[5])) {
  console.error('page_turn.mjs: error: usage: node page_turn.mjs PAGE_FOLDER DRIVER_FOLDER CHROMIUM SECONDS');
  process.exit(2);
}
const [folder, driver, chromiumPath, secondsText] = process.argv.slice(2);
const seconds = Number(secondsText);
const { chromium } = createRequire(join(driver, 'package.json'))('playwright-core');

function serve(root) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', root],
                       { stdio: ['ignore', 'pipe', 'ignore'] });
  return new Promise((resolve, reject) => {
    let seen = '';
    server.on('exit', (code) => reject(new Error(`http.server exited (${code}): ${seen}`)));
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const match = /port (\d+)/.exec(seen);
      if (match) resolve({ server, url: `http://127.0.0.1:${match[1]}/` });
    });
  });
}

const { server, url } = await serve(folder).catch((error) => fail(error.message));
let browser;
try {
  browser = await chromium.launch({
    executablePath: chromiumPath, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  await page.goto(url);
  await page.waitForSelector('#start[data-state="ready"]', { timeout: 30000 });
  await page.click('#start');
  const sums = () => page.evaluate(() => ({
    turns: Module._QuillmoorTurns(), turnMilliseconds: Module._QuillmoorTurnMilliseconds() * Module._QuillmoorTurns(),
    presents: Module._QuillmoorPresents(),
    presentMilliseconds: Module._QuillmoorPresentMilliseconds() * Module._QuillmoorPresents(),
  }));
  await page.waitForTimeout(1000);
  const settled = await sums();
  await page.waitForTimeout(seconds * 1000);
  const end = await sums();
  const turns = end.turns - settled.turns, presents = end.presents - settled.presents;
  if (turns <= 0 || presents <= 0) throw new Error('the page ran no turn');
  console.log(`page turn ${((end.turnMilliseconds - settled.turnMilliseconds) / turns).toFixed(4)} ms, ` +
              `present ${((end.presentMilliseconds - settled.presentMilliseconds) / presents).toFixed(4)} ms ` +
              `(means of ${turns} turns and ${presents} presents in ${seconds} s)`);
} catch (error) {
  console.error(`page_turn.mjs: error: ${error.message}`);
  process.exitCode = 1;
} finally {
  if (browser) await browser.close();
  server.kill();
}
