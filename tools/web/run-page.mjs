// The browser build standing in for the game's executable, for the native
// tests (VERMIX_TEST_GAME, see tools/test-web.sh):
//   node tools/web/run-page.mjs OPTION...
// plays the page served at VERMIX_URL with those options in a fresh
// headless Chromium, the files they name served from the working folder;
// prints the program's output and errors, copies every file the program left
// in its working folder into this one, and exits with the program's status.
import fs from 'node:fs';
import path from 'node:path';
import { play, readFile, withBrowser, workingFiles } from './page.mjs';

const args = process.argv.slice(2);
let status = 1;
try {
  await withBrowser(async (context) => {
    const run = await play(context, args, { folder: process.cwd() });
    for (const name of await workingFiles(run.page)) {
      const bytes = await readFile(run.page, name);
      if (bytes) fs.writeFileSync(path.join(process.cwd(), name), bytes);
    }
    if (run.stdout.length) process.stdout.write(run.stdout.join('\n') + '\n');
    if (run.exit.stderr) process.stderr.write(run.exit.stderr + '\n');
    status = run.exit.status;
  });
} catch (e) {
  process.stderr.write(`run-page: ${e.stack || e}\n`);
}
process.exit(status);
