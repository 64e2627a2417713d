// Plays the browser build in Debian's Chromium, headless, for what only the
// page has: the time from load to the title (and a picture of the page), a
// high score kept across a reload, and the heavy replay as a timedemo. The
// golden replays and reference screens are the native tests, played by the
// page through run-page.mjs (tools/test-web.sh runs both). The page is served
// at VERMIX_URL from the folder VERMIX_ROOT (the site, with the replays
// beside it).
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { play, readFile, repo, withBrowser } from './page.mjs';

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

// --- Two pages online through the real server ------------------------------
// vermix-server (VERMIX_SERVER_EXE) on loopback serves the site and its
// WebSocket on one port; a page hosts, a page joins by the code the server
// gave, and they play the golden versus game split between them: the host's
// page gives all but the second stick, the guest's page that stick as its
// own first. With no input delay the merged stream is the recorded one, so
// both recordings are one and end in the golden game's final state.
function splitVersus() {
  const golden = fs.readFileSync(path.join(repo, 'tests/replays/versus.replay'), 'utf8');
  let host = '', guest = '';
  for (const l of golden.split('\n')) {
    if (l === '' || l.startsWith('#')) continue;
    const w = l.split(' ');
    if (w[1] === 'joy' && w[2] === '1') guest += `${w[0]} joy 0 ${w.slice(3).join(' ')}\n`;
    else host += l + '\n';
  }
  return { golden, host, guest };
}
// A recording's closing line as named hashes, its events' left out (the two
// machines' events of one tick are written host first).
function endState(replay) {
  const words = replay.slice(replay.lastIndexOf('#! end ') + 7).split('\n')[0].split(' ');
  return words.filter((w) => !w.startsWith('events=')).join(' ');
}

async function withServer(fn) {
  const state = fs.mkdtempSync(path.join(os.tmpdir(), 'vermix-server-'));
  const server = spawn(process.env.VERMIX_SERVER_EXE,
    ['--bind', '127.0.0.1', '--udp-port', '0', '--tcp-port', '0', '--state-dir', state,
     '--site', path.join(repo, 'build-web/site')], { stdio: ['ignore', 'ignore', 'pipe'] });
  let log = '';
  server.stderr.on('data', (d) => { log += d; });
  const logSays = async (pattern, seconds) => {
    for (let i = 0; i < seconds * 10; i++) {
      const m = pattern.exec(log);
      if (m) return m;
      await new Promise((r) => setTimeout(r, 100));
    }
    return null;
  };
  try {
    const listening = await logSays(/listening on udp (\d+) and tcp (\d+)/, 10);
    if (!listening) throw new Error('vermix-server did not start: ' + log);
    return await fn({ base: `http://127.0.0.1:${listening[2]}`, ws: `ws://127.0.0.1:${listening[2]}/ws`,
                      logSays, log: () => log });
  } finally {
    server.kill('SIGTERM');
    fs.rmSync(state, { recursive: true, force: true });
  }
}

async function twoPagesOnline() {
  if (!wanted('online two pages')) return;
  const name = 'online: two pages by invite code through the real server';
  // Not yet part of tools/test-web.sh: run by hand with VERMIX_SERVER_EXE.
  if (!process.env.VERMIX_SERVER_EXE) return console.log(`SKIP ${name}: no VERMIX_SERVER_EXE`);
  const split = splitVersus();
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vermix-online-'));
  fs.writeFileSync(path.join(folder, 'host.script'), split.host);
  fs.writeFileSync(path.join(folder, 'guest.script'), split.guest);
  try {
    await withServer(async (server) => {
      const seat = (args) => withBrowser(async (context) => {
        const run = await play(context, [...args, '--server', server.ws, '--record', 'game.replay'],
                               { folder, base: server.base, timeout: 600000 });
        return { ...run, replay: (await readFile(run.page, 'game.replay') || '').toString() };
      });
      const host = seat(['--window', '--fast', '--seed', '7', '--host', '--input-delay', '0',
                         '--script', 'host.script']);
      const opened = await server.logSays(/room ([A-Z0-9]{4}-[A-Z0-9]{4}) opened/, 60);
      if (!opened) throw new Error('no room opened: ' + server.log());
      const guest = seat(['--window', '--fast', '--join', opened[1], '--script', 'guest.script']);
      const [h, g] = await Promise.all([host, guest]);
      const same = h.replay !== '' && h.replay === g.replay;
      const golden = endState(h.replay) === endState(split.golden);
      const ended = /online: the host ended the game/.test(g.exit.stderr);
      result(name, h.exit.status === 0 && g.exit.status === 0 && same && golden && ended,
             `host ${h.exit.status}, guest ${g.exit.status}, recordings ${same ? 'equal' : 'differ'}, ` +
             `${golden ? 'the golden end' : 'not the golden end: ' + endState(h.replay)}` +
             (h.exit.status || g.exit.status ? `\n${h.exit.stderr}\n--\n${g.exit.stderr}` : ''));
    });
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

try {
  await twoPagesOnline();
  await loadToTitle();
  await highScoreAfterReload();
  await timedemo();
} catch (e) {
  result('driver', false, e.stack || String(e));
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
