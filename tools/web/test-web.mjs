// Plays the browser build in Debian's Chromium, headless, and checks it the
// way the native tests do: every golden replay to its recorded final state,
// the reference screens pixel for pixel, and a high score kept across a
// reload. Run by tools/test-web.sh, which serves the page at VERMIX_URL from
// the folder VERMIX_ROOT (the site, with the replays beside it).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '../..');
// The driver is installed under tools/ports/web (npm ci).
const { chromium } = createRequire(path.join(repo, 'tools/ports/web/package.json'))('playwright-core');
const url = process.env.VERMIX_URL;
const root = process.env.VERMIX_ROOT;
const outDir = process.env.VERMIX_OUT;
// VERMIX_ONLY runs the tests whose name has it; VERMIX_SKIP leaves out those
// whose name has it.
const only = process.env.VERMIX_ONLY || '';
const skip = process.env.VERMIX_SKIP || '';
const wanted = (name) => name.includes(only) && !(skip !== '' && name.includes(skip));
const chromiumArgs = [
  '--headless=new', '--no-sandbox', '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader', '--autoplay-policy=no-user-gesture-required',
  '--disable-background-networking', '--disable-component-update',
  '--no-first-run', '--disable-sync',
  ...(process.env.VERMIX_CHROMIUM_ARGS || '').split(' ').filter((a) => a !== ''),
];

let passed = 0, failed = 0;
function result(name, ok, detail) {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'PASS' : 'FAIL'} ${name}${detail ? ': ' + detail : ''}`);
}

// A browser of its own for each test: a fresh profile, so no saved file of
// one test reaches another.
async function withBrowser(fn) {
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

// Loads the page with `args`, waits for the program to end and returns its
// exit, its console and the named files it wrote (null where it wrote none).
async function play(context, args, files, { timeout = 900000, screenshot } = {}) {
  const page = context.pages()[0] || await context.newPage();
  const consoleLines = [];
  page.on('console', (m) => consoleLines.push(m.text()));
  page.on('pageerror', (e) => consoleLines.push('page error: ' + e.message));
  const started = Date.now();
  await page.goto(`${url}/index.html?args=${encodeURIComponent(args.join(' '))}`);
  await page.waitForFunction(() => window.vermixExit !== undefined, null,
                             { timeout, polling: 100 });
  const seconds = (Date.now() - started) / 1000;
  const exit = await page.evaluate(() => window.vermixExit);
  const got = {};
  for (const f of files) {
    const bytes = await page.evaluate((p) => {
      const b = window.vermixReadFile(p);
      return b ? Array.from(b) : null;
    }, f);
    got[f] = bytes ? Buffer.from(bytes) : null;
  }
  if (screenshot) await page.screenshot({ path: screenshot });
  page.removeAllListeners('console');
  page.removeAllListeners('pageerror');
  return { exit, files: got, console: consoleLines, seconds, page };
}

function save(name, bytes) {
  const p = path.join(outDir, name);
  fs.mkdirSync(path.dirname(p), { recursive: true });
  fs.writeFileSync(p, bytes);
  return p;
}

function compare(kind, want, got) {
  try {
    const out = execFileSync('python3', [path.join(here, 'compare.py'), kind, want, got],
                             { encoding: 'utf8' });
    return { ok: true, detail: out.trim() };
  } catch (e) {
    return { ok: false, detail: ((e.stdout || '') + (e.stderr || '')).trim() };
  }
}

const lastLine = (buffer) => {
  const lines = buffer.toString('utf8').split('\n').filter((l) => l.trim() !== '');
  return lines[lines.length - 1];
};

// --- Golden replays --------------------------------------------------------
async function goldenReplays() {
  const dir = path.join(repo, 'tests', 'replays');
  for (const file of fs.readdirSync(dir).filter((f) => f.endsWith('.replay')).sort()) {
    const name = file.replace(/\.replay$/, '');
    if (!wanted('replay ' + name)) continue;
    await withBrowser(async (context) => {
      const run = await play(context,
        ['--window', '--fast', '--script', `replays/${file}`,
         '--dump-every', '1000000000', 'final.jsonl'], ['final.jsonl']);
      const dumps = run.files['final.jsonl'];
      if (run.exit.status !== 0 || !dumps) {
        result(`replay ${name}`, false,
               `exit ${run.exit.status}, ${dumps ? '' : 'no dumps, '}stderr: ${run.exit.stderr}`);
        return;
      }
      const got = save(`replays/${name}.final.json`, lastLine(dumps));
      const c = compare('json', path.join(dir, `${name}.final.json`), got);
      result(`replay ${name}`, c.ok, `${c.detail} (${run.seconds.toFixed(1)} s)`);
    });
  }
}

// --- Reference screens -----------------------------------------------------
// The scripts of tests/integration/screen_scenarios.cpp, written out here.
const line = (tick, event) => `${tick} ${event}\n`;
const click = (t) => line(t, 'button 1 down') + line(t, 'button 1 up');
const keyPress = (t, code) => line(t, `key ${code} down`) + line(t, `key ${code} up`);
const clickLine = (t, n) => line(t, `mouse 320 ${260 + 20 * n}`) + click(t + 1);
const escape = 27;

function seeded(seed) {
  return { args: ['--seed', String(seed)], script: line(1, 'button 1 down') + line(1, 'button 1 up'), shots: [] };
}
function shot(s, tick, name) {
  s.script += line(tick, `screenshot ${name}.png`);
  s.shots.push(name);
}
function flatTitle() {
  const s = seeded(1);
  shot(s, 8, 'title');
  s.script += clickLine(9, 3);
  shot(s, 20, 'title-retro');
  s.script += line(22, 'end');
  return s;
}
function flatGameAndPause() {
  const s = seeded(2);
  s.script += click(10);
  shot(s, 60, 'play');
  s.script += keyPress(61, escape);
  shot(s, 66, 'pause');
  s.script += clickLine(67, 3);
  shot(s, 72, 'pause-retro');
  s.script += clickLine(73, 0);
  shot(s, 90, 'play-retro');
  s.script += line(92, 'end');
  return s;
}
function stereoModes(extra) {
  const s = seeded(3);
  s.args.push(...extra);
  let t = 8;
  for (let mode = 1; mode <= 4; ++mode) {
    s.script += clickLine(t, 1);
    shot(s, t + 5, `title-3d${mode}`);
    t += 7;
  }
  s.script += clickLine(t, 2);
  shot(s, t + 5, 'title-3d4-deeper');
  s.script += clickLine(t + 6, 3);
  shot(s, t + 11, 'title-3d4-retro');
  s.script += clickLine(t + 12, 0);
  t += 50;
  shot(s, t, 'play-3d4-retro');
  s.script += keyPress(t + 1, escape);
  shot(s, t + 5, 'pause-3d4-retro');
  s.script += clickLine(t + 6, 1);
  shot(s, t + 11, 'pause-flat-retro');
  s.script += clickLine(t + 12, 1);
  shot(s, t + 17, 'pause-3d1-retro');
  s.script += clickLine(t + 18, 2);
  s.script += clickLine(t + 20, 3);
  shot(s, t + 25, 'pause-3d1-deeper');
  s.script += clickLine(t + 26, 0);
  shot(s, t + 40, 'play-3d1-deeper');
  s.script += line(t + 42, 'end');
  return s;
}

async function referenceScreens() {
  const scenarios = [
    ['flat-title', flatTitle(), 'flat-'],
    ['flat-game-and-pause', flatGameAndPause(), 'flat-'],
    ['stereo-scale-1', stereoModes(['--scale', '1']), 'stereo-'],
    ['stereo-scale-2', stereoModes(['--scale', '2']), 'stereo-'],
  ];
  const screens = path.join(repo, 'tests', 'references', 'screens');
  let offByOne = 0, ran = 0;
  for (const [name, s, prefix] of scenarios) {
    if (!wanted('screens ' + name)) continue;
    ran++;
    fs.mkdirSync(path.join(root, 'scripts'), { recursive: true });
    fs.writeFileSync(path.join(root, 'scripts', `${name}.txt`), s.script);
    await withBrowser(async (context) => {
      const run = await play(context,
        [...s.args, '--window', '--fast', '--script', `scripts/${name}.txt`],
        s.shots.map((n) => `${n}.png`),
        { screenshot: name === 'flat-game-and-pause' ? path.join(outDir, 'page.png') : undefined });
      if (run.exit.status !== 0) {
        result(`screens ${name}`, false, `exit ${run.exit.status}: ${run.exit.stderr}`);
        return;
      }
      for (const n of s.shots) {
        const bytes = run.files[`${n}.png`];
        if (!bytes) {
          result(`screen ${prefix}${n} (${name})`, false, 'no screenshot written');
          continue;
        }
        const got = save(`screens/${name}/${prefix}${n}.png`, bytes);
        const c = compare('png', path.join(screens, `${prefix}${n}.png`), got);
        const m = /^(\d+) pixels? off by one/.exec(c.detail);
        if (m) offByOne += Number(m[1]);
        result(`screen ${prefix}${n} (${name})`, c.ok, c.detail);
      }
    });
  }
  if (ran) console.log(`reference screens: ${offByOne} pixels in all differ by 1 in some channel`);
}

// --- A high score survives a reload ----------------------------------------
// A replay leaves the player's files alone, so the first load plays a plain
// input script: start a game and hold fire, then quit (which saves).
async function highScoreAfterReload() {
  if (!wanted('saves high score after reload')) return;
  fs.mkdirSync(path.join(root, 'scripts'), { recursive: true });
  fs.writeFileSync(path.join(root, 'scripts', 'score.txt'),
                   click(1) + click(10) + line(40, 'button 1 down') + line(400, 'button 1 up') + line(402, 'end'));
  fs.writeFileSync(path.join(root, 'scripts', 'look.txt'), line(2, 'end'));
  await withBrowser(async (context) => {
    const first = await play(context,
      ['--window', '--fast', '--seed', '5', '--script', 'scripts/score.txt',
       '--dump-every', '1000000000', 'first.jsonl'], ['first.jsonl']);
    const made = first.files['first.jsonl'] && JSON.parse(lastLine(first.files['first.jsonl'])).high_score;
    // Let the page finish writing to IndexedDB before it goes.
    await first.page.waitForTimeout(1000);
    const second = await play(context,
      ['--window', '--fast', '--script', 'scripts/look.txt',
       '--dump-every', '1000000000', 'second.jsonl'], ['second.jsonl']);
    const kept = second.files['second.jsonl'] && JSON.parse(lastLine(second.files['second.jsonl'])).high_score;
    result('saves: high score after a reload', first.exit.status === 0 && second.exit.status === 0 &&
           made > 0 && kept === made,
           `made ${made} in the first load, ${kept} after the reload`);
  });
}

// --- The heavy replay as a timedemo ----------------------------------------
async function timedemo() {
  if (!wanted('timedemo heavy')) return;
  await withBrowser(async (context) => {
    const run = await play(context, ['--window', '--timedemo', 'replays/heavy.replay'], []);
    const lines = run.console.filter((l) => l.startsWith('timedemo:'));
    result('timedemo heavy', run.exit.status === 0 && lines.length > 0,
           lines.join(' | ') || `exit ${run.exit.status}: ${run.exit.stderr}`);
  });
}

// --- Time from page load to the title --------------------------------------
async function loadToTitle() {
  if (!wanted('load to title')) return;
  fs.mkdirSync(path.join(root, 'scripts'), { recursive: true });
  // The intro skipped at once; the title is drawn by tick 2.
  fs.writeFileSync(path.join(root, 'scripts', 'title.txt'), line(1, 'button 1 down') + line(1, 'button 1 up') + line(2, 'screenshot title-now.png') + line(3, 'end'));
  await withBrowser(async (context) => {
    const run = await play(context, ['--window', '--script', 'scripts/title.txt'], ['title-now.png']);
    result('load to title', run.exit.status === 0 && run.files['title-now.png'] !== null,
           `page load to the end of a run that shows the title: ${run.seconds.toFixed(2)} s`);
  });
}

try {
  await loadToTitle();
  await goldenReplays();
  await referenceScreens();
  await highScoreAfterReload();
  await timedemo();
} catch (e) {
  result('driver', false, e.stack || String(e));
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
