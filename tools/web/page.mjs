// Debian's Chromium, headless, driving the browser build's page served at
// VERMIX_URL: shared by the page's tests (test-web.mjs) and by run-page.mjs,
// which stands in for the game's executable.
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const repo = path.resolve(here, '../..');
// The driver is installed under tools/ports/web (npm ci).
const { chromium } = createRequire(path.join(repo, 'tools/ports/web/package.json'))('playwright-core');
export const url = process.env.VERMIX_URL;
const chromiumArgs = [
  '--headless=new', '--no-sandbox', '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader', '--autoplay-policy=no-user-gesture-required',
  '--disable-background-networking', '--disable-component-update',
  '--no-first-run', '--disable-sync',
  ...(process.env.VERMIX_CHROMIUM_ARGS || '').split(' ').filter((a) => a !== ''),
];

// A browser of its own for each use: a fresh profile, so no saved file of
// one run reaches another.
export async function withBrowser(fn) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vermix-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: chromiumArgs,
    viewport: { width: 1280, height: 1024 },
  });
  try {
    return await fn(context);
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

// Loads the page with the program's `args` and waits for the program to
// end. `folder`: the options' files are served from there instead of beside
// the page; `base`: the page's address, when not VERMIX_URL. Returns the program's exit ({status, stderr}), its standard output
// (the console's log lines), the whole console, the seconds from load to the
// end, and the page.
export async function play(context, args, { folder, base = url, timeout = 900000 } = {}) {
  const page = context.pages()[0] || await context.newPage();
  const consoleLines = [], stdout = [];
  page.on('console', (m) => {
    consoleLines.push(m.text());
    if (m.type() === 'log') stdout.push(m.text());
  });
  page.on('pageerror', (e) => consoleLines.push('page error: ' + e.message));
  const pageUrl = `${base}/index.html?args=${encodeURIComponent(args.join(' '))}`;
  if (folder) {
    const files = new Map();
    for (const a of args.filter((a) => !a.startsWith('-'))) {
      const file = path.resolve(folder, a);
      if (fs.existsSync(file) && fs.statSync(file).isFile()) files.set(new URL(a, pageUrl).pathname, file);
    }
    await page.route(`${base}/**`, (route) => {
      const file = files.get(new URL(route.request().url()).pathname);
      return file ? route.fulfill({ body: fs.readFileSync(file) }) : route.continue();
    });
  }
  const started = Date.now();
  await page.goto(pageUrl);
  await page.waitForFunction(() => window.vermixExit !== undefined, null,
                             { timeout, polling: 100 });
  const seconds = (Date.now() - started) / 1000;
  const exit = await page.evaluate(() => window.vermixExit);
  page.removeAllListeners('console');
  page.removeAllListeners('pageerror');
  await page.unrouteAll();
  return { exit, stdout, console: consoleLines, seconds, page };
}

// The bytes of a file the program wrote, or null.
export async function readFile(page, file) {
  const bytes = await page.evaluate((p) => {
    const b = window.vermixReadFile(p);
    return b ? Array.from(b) : null;
  }, file);
  return bytes ? Buffer.from(bytes) : null;
}

// The names of the files in the program's working folder.
export function workingFiles(page) {
  return page.evaluate(() => FS.readdir(FS.cwd()).filter((n) => {
    try {
      return FS.isFile(FS.stat(n).mode);
    } catch (e) {
      return false;
    }
  }));
}
