// Plays the browser build in Debian's Chromium, headless, for what only the
// page has: the time from load to the title (and a picture of the page), a
// high score kept across a reload, and the heavy replay as a timedemo. The
// golden replays and reference screens are the native tests, played by the
// page through run-page.mjs (tools/test-web.sh runs both). The page is served
// at VERMIX_URL from the folder VERMIX_ROOT (the site, with the replays
// beside it).
import fs from 'node:fs';
import path from 'node:path';
import { play, readFile, withBrowser } from './page.mjs';

const root = process.env.VERMIX_ROOT;
const outDir = process.env.VERMIX_OUT;
// VERMIX_ONLY runs the tests whose name has it; VERMIX_SKIP leaves out those
// whose name has it.
const only = process.env.VERMIX_ONLY || '';
const skip = process.env.VERMIX_SKIP || '';
const wanted = (name) => name.includes(only) && !(skip !== '' && name.includes(skip));

let passed = 0, failed = 0;
function result(name, ok, detail) {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'PASS' : 'FAIL'} ${name}${detail ? ': ' + detail : ''}`);
}

const line = (tick, event) => `${tick} ${event}\n`;
const click = (t) => line(t, 'button 1 down') + line(t, 'button 1 up');
const lastLine = (buffer) => {
  const lines = buffer.toString('utf8').split('\n').filter((l) => l.trim() !== '');
  return lines[lines.length - 1];
};
function writeScript(name, text) {
  fs.mkdirSync(path.join(root, 'scripts'), { recursive: true });
  fs.writeFileSync(path.join(root, 'scripts', name), text);
}

// --- A high score survives a reload ----------------------------------------
// A replay leaves the player's files alone, so the first load plays a plain
// input script: start a game and hold fire, then quit (which saves).
async function highScoreAfterReload() {
  if (!wanted('saves high score after reload')) return;
  writeScript('score.txt',
              click(1) + click(10) + line(40, 'button 1 down') + line(400, 'button 1 up') + line(402, 'end'));
  writeScript('look.txt', line(2, 'end'));
  await withBrowser(async (context) => {
    const first = await play(context,
      ['--window', '--fast', '--seed', '5', '--script', 'scripts/score.txt',
       '--dump-every', '1000000000', 'first.jsonl']);
    const firstDumps = await readFile(first.page, 'first.jsonl');
    const made = firstDumps && JSON.parse(lastLine(firstDumps)).high_score;
    // Let the page finish writing to IndexedDB before it goes.
    await first.page.waitForTimeout(1000);
    const second = await play(context,
      ['--window', '--fast', '--script', 'scripts/look.txt',
       '--dump-every', '1000000000', 'second.jsonl']);
    const secondDumps = await readFile(second.page, 'second.jsonl');
    const kept = secondDumps && JSON.parse(lastLine(secondDumps)).high_score;
    result('saves: high score after a reload', first.exit.status === 0 && second.exit.status === 0 &&
           made > 0 && kept === made,
           `made ${made} in the first load, ${kept} after the reload`);
  });
}

// --- The heavy replay as a timedemo ----------------------------------------
async function timedemo() {
  if (!wanted('timedemo heavy')) return;
  await withBrowser(async (context) => {
    const run = await play(context, ['--window', '--timedemo', 'replays/heavy.replay']);
    const lines = run.console.filter((l) => l.startsWith('timedemo:'));
    result('timedemo heavy', run.exit.status === 0 && lines.length > 0,
           lines.join(' | ') || `exit ${run.exit.status}: ${run.exit.stderr}`);
  });
}

// --- Time from page load to the title --------------------------------------
// Also keeps a picture of the page as the run ends.
async function loadToTitle() {
  if (!wanted('load to title')) return;
  // The intro skipped at once; the title is drawn by tick 2.
  writeScript('title.txt', click(1) + line(2, 'screenshot title-now.png') + line(3, 'end'));
  await withBrowser(async (context) => {
    const run = await play(context, ['--window', '--script', 'scripts/title.txt']);
    const shot = await readFile(run.page, 'title-now.png');
    await run.page.screenshot({ path: path.join(outDir, 'page.png') });
    result('load to title', run.exit.status === 0 && shot !== null,
           `page load to the end of a run that shows the title: ${run.seconds.toFixed(2)} s`);
  });
}

try {
  await loadToTitle();
  await highScoreAfterReload();
  await timedemo();
} catch (e) {
  result('driver', false, e.stack || String(e));
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
