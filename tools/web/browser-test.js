#!/usr/bin/env node
// The page in a real browser: Debian's chromium, headless, driven through the DevTools protocol over its
// pipe (no library needed). It serves build-web/ on a free port of 127.0.0.1 and plays the demo as a player
// would: the title (its music going on without gaps while the page rests there), a new game, the hero's
// name typed into the HTML name dialog, the messages up to the childhood friend's greeting, the popup
// menu's セーブ, slot 1, the saves exported to a file, a file that is no SAVE.DAT refused, the exported
// file imported back (the page starts again on it), つづきから, slot 1 again, and the same scene. Both
// pictures of the scene must be within the golden tolerance of the native game's
// (demo/tests/story-greeting.png: 8 levels a channel, at most 16 pixels beyond), and the console must stay
// free of errors. Then the page with ?debug shows the debug window's panel, and with ?open plays the
// demo's folder chosen through the folder input.
//   tools/web/browser-test.js [BUILD_WEB_DIR] [--keep DIR]   (DIR keeps the screenshots)
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { Browser, serve } = require('./devtools-pipe');

const root = path.resolve(__dirname, '..', '..');
const args = process.argv.slice(2);
const keepAt = args.indexOf('--keep');
const keepDir = keepAt >= 0 ? args.splice(keepAt, 2)[1] : null;
const webDir = path.resolve(args[0] || path.join(root, 'build-web'));
const golden = path.join(root, 'demo', 'tests', 'story-greeting.png');
const goldenEnglish = path.join(root, 'demo', 'tests', 'story-en-greeting.png');
const gameFolder = path.join(root, 'build', 'demo-game');
const started = Date.now();
// The last step done, for the message when something does not come.
let lastStep = 'none yet';
const log = (text) => {
  lastStep = text;
  console.log(`browser-test ${((Date.now() - started) / 1000).toFixed(1)} s: ${text}`);
};
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

for (const f of ['index.html', 'mokuren.js', 'mokuren.wasm', 'fonts.data', 'fonts-data.js', 'game.data', 'game-data.js']) {
  if (!fs.existsSync(path.join(webDir, f))) {
    console.error(`browser-test: ${path.join(webDir, f)} is missing; ./dev web builds it`);
    process.exit(2);
  }
}

// Waits are generous for a slow, busy machine but bounded, and so is the whole run
// (MOKUREN_BROWSER_TEST_MINUTES, default 15): what did not come is named, with the last step done.
const minutes = Number(process.env.MOKUREN_BROWSER_TEST_MINUTES) || 15;
let browser = null;
setTimeout(() => {
  console.error(`browser-test: not done after ${minutes} min; the last step done: ${lastStep}`);
  if (browser) browser.proc.kill('SIGKILL');
  process.exit(1);
}, minutes * 60000).unref();

async function main() {
  // build-web/ and the golden picture, served as a static site would serve them.
  const { server, address } = await serve(webDir, { '/golden.png': golden, '/golden-en.png': goldenEnglish });
  browser = new Browser();
  const problems = [];
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'mokuren-browser-files-'));
  try {
    const { sessionId, page } = await browser.open();
    browser.listeners.push((m) => {
      if (m.sessionId !== sessionId) return;
      if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
        problems.push('console error: ' + m.params.args.map((a) => a.value ?? a.description).join(' '));
      if (m.method === 'Runtime.exceptionThrown')
        problems.push('exception: ' + (m.params.exceptionDetails.exception?.description ?? m.params.exceptionDetails.text));
      if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error')
        problems.push('browser error: ' + m.params.entry.text + ' ' + (m.params.entry.url || ''));
    });
    await page('Runtime.enable');
    await page('Log.enable');
    await page('Page.enable');
    // The frame at its own size: one canvas pixel to one page pixel.
    await page('Emulation.setDeviceMetricsOverride', { width: 800, height: 600, deviceScaleFactor: 1, mobile: false });
    // A browser whose language is Japanese: the game in its original language (the page follows it as the
    // desktop follows LANGUAGE); ?lang=en below asks for the English translation.
    const { userAgent } = await browser.send('Browser.getVersion');
    await page('Emulation.setUserAgentOverride', { userAgent, acceptLanguage: 'ja' });
    const evaluate = async (expression) => {
      const r = await page('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
      if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.exception?.description}`);
      return r.result.value;
    };
    const until = async (expression, what, ms = 60000) => {
      const end = Date.now() + ms;
      while (Date.now() < end) {
        if (await evaluate(expression)) return;
        await sleep(100);
      }
      const errors = await evaluate('window.mokurenTest ? window.mokurenTest.errors.join(" | ") : ""').catch(() => '');
      throw new Error(`waited ${ms / 1000} s for ${what}; the last step done: ${lastStep}` +
        (errors ? `; the engine said: ${errors}` : ''));
    };
    const click = async (x, y, button = 'left') => {
      await page('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
      await page('Input.dispatchMouseEvent', { type: 'mousePressed', x, y, button, clickCount: 1 });
      await page('Input.dispatchMouseEvent', { type: 'mouseReleased', x, y, button, clickCount: 1 });
    };
    const key = async (k, vk) => {
      await page('Input.dispatchKeyEvent', { type: 'keyDown', key: k, code: k, windowsVirtualKeyCode: vk });
      await sleep(60);
      await page('Input.dispatchKeyEvent', { type: 'keyUp', key: k, code: k, windowsVirtualKeyCode: vk });
    };
    // The canvas against the native golden picture: how many pixels differ by more than 8 in a channel.
    // The waiting icon turns with the page's own clock, so its box (bottom right) is left out.
    const offFromGolden = (picture = '/golden.png') => evaluate(`(async () => {
      const img = new Image(); img.src = '${picture}'; await img.decode();
      const c = document.createElement('canvas'); c.width = 800; c.height = 600;
      const g = c.getContext('2d'); g.drawImage(img, 0, 0);
      const want = g.getImageData(0, 0, 800, 600).data;
      const have = document.getElementById('frame').getContext('2d').getImageData(0, 0, 800, 600).data;
      let off = 0;
      for (let i = 0; i < want.length; i += 4) {
        const x = (i / 4) % 800, y = Math.floor(i / 4 / 800);
        if (x >= 748 && x < 788 && y >= 540 && y < 590) continue;
        if (Math.abs(want[i] - have[i]) > 8 || Math.abs(want[i + 1] - have[i + 1]) > 8 ||
            Math.abs(want[i + 2] - have[i + 2]) > 8) off++;
      }
      return off;
    })()`);
    // The scene against a golden picture, looked at again for a while when it is not there yet (a slow
    // machine may still be fading or typing): the pixels beyond the tolerance at the last look.
    const untilGolden = async (picture = '/golden.png', ms = 20000) => {
      const end = Date.now() + ms;
      let off = await offFromGolden(picture);
      while (off > 16 && Date.now() < end) {
        await sleep(500);
        off = await offFromGolden(picture);
      }
      return off;
    };
    const keep = async (name) => {
      if (!keepDir) return;
      fs.mkdirSync(keepDir, { recursive: true });
      const { data } = await page('Page.captureScreenshot', { format: 'png' });
      fs.writeFileSync(path.join(keepDir, name), Buffer.from(data, 'base64'));
    };
    // A file chosen in the page's file input `selector`.
    const choose = async (selector, files) => {
      const { root: doc } = await page('DOM.getDocument', {});
      const { nodeId } = await page('DOM.querySelector', { nodeId: doc.nodeId, selector });
      await page('DOM.setFileInputFiles', { nodeId, files });
    };
    const clickElement = (selector) => evaluate(`document.querySelector('${selector}').click()`);
    const load = async (query = '') => {
      const t0 = Date.now();
      await page('Page.navigate', { url: address + query });
      await until('window.mokurenTest && window.mokurenTest.ready && window.mokurenTest.frames > 0',
        `the first frame of ${address + query}`, 120000);
      return Date.now() - t0;
    };

    log(`first frame ${await load()} ms after navigating to ${address}`);
    const t = await evaluate('window.mokurenTest.timings');
    log(`  in the page (ms from navigation start): runtime ${t.runtime?.toFixed(0)}, data in place ${t.data?.toFixed(0)}, ` +
        `window shown ${t.shown?.toFixed(0)}, first frame ${t.firstFrame?.toFixed(0)}`);
    await sleep(300);
    // The title's music goes on while the page rests there, asking for no frames: through four seconds of
    // that rest the mixer has nearly every frame ready when the page's audio pulls it (a gap of silence is
    // a frame pulled before it was mixed).
    const titleSound = async () => {
      const sound = () => evaluate('[window.mokurenTest.audioFrames, window.mokurenTest.audioDryFrames]');
      const [frames0, dry0] = await sound();
      await sleep(4000);
      const [frames1, dry1] = await sound();
      const pulled = frames1 - frames0, dry = dry1 - dry0;
      log(`resting at the title: the page's audio pulled ${pulled} frames, ${dry} of them before they were mixed`);
      if (pulled === 0) problems.push('the page\'s audio pulled nothing while the title rested');
      else if (dry * 4 > pulled) problems.push(`the title's music had gaps at rest: ${dry} of ${pulled} frames silent`);
    };
    // From the opening movie to the childhood friend's greeting: the movie skipped, はじめから, the messages
    // clicked through, the hero's name typed into the HTML name dialog. `tag` names the kept screenshots.
    const toGreeting = async (tag = '') => {
      await key('Enter', 13);  // skips the opening movie
      await sleep(1500);
      await keep(`1-title${tag}.png`);
      if (!tag) await titleSound();
      await click(200, 110);  // はじめから
      // The messages before the name: clicked through until the name dialog comes (English types longer).
      const nameDialog = `document.querySelector('dialog[data-kind=name] input') !== null`;
      for (let i = 0; i < 12 && !(await evaluate(nameDialog)); ++i) {
        await sleep(700);
        if (!(await evaluate(nameDialog))) await click(400, 300);
      }
      await until(`document.querySelector('dialog[data-kind=name] input') !== null`, 'the name dialog');
      await keep(`2-name${tag}.png`);
      await evaluate(`document.querySelector('dialog[data-kind=name] input').value = 'ミナト'`);
      await keep(`2b-name-typed${tag}.png`);
      await evaluate(`document.querySelector('dialog[data-kind=name] button').click()`);
      await until(`document.querySelector('dialog') === null`, 'the name dialog to close');
      log('name entered through the HTML dialog');
      await sleep(600);
      await click(400, 300);
      await sleep(2500);
      await click(400, 300);
      await sleep(2500);
    };
    await toGreeting();
    await keep('3-greeting.png');
    const before = await untilGolden();
    log(`greeting: ${before} pixels beyond the golden tolerance`);
    if (before > 16) problems.push(`the greeting differs from the native golden in ${before} pixels`);
    await click(400, 300, 'right');
    await until(`document.querySelector('.mokuren-menu') !== null`, 'the popup menu');
    await keep('4-menu.png');
    await evaluate(`document.querySelector('.mokuren-menu [data-item="5"]').click()`);  // セーブ
    await sleep(800);
    await keep('5-save-screen.png');
    const saves = await evaluate('window.mokurenTest.saves');
    await click(150, 100);  // slot 1
    await until(`window.mokurenTest.saves > ${saves}`, 'the save to reach IndexedDB');
    log('saved to slot 1 and synced');
    await key('Escape', 27);
    await sleep(500);

    // The saves exported, a file that is no SAVE.DAT refused, and the exported file imported back: the page
    // then starts again on it.
    await clickElement('#tools-button');
    await clickElement('#export-saves');
    await until('window.mokurenTest.exported', 'the exported saves');
    const exported = Buffer.from(await evaluate(`fetch(window.mokurenTest.exported).then((r) => r.arrayBuffer())
      .then((b) => { let s = ''; for (const c of new Uint8Array(b)) s += String.fromCharCode(c); return btoa(s); })`), 'base64');
    log(`exported SAVE.DAT: ${exported.length} bytes`);
    if (exported.length !== 407472) problems.push(`the exported SAVE.DAT has ${exported.length} bytes`);
    const exportedFile = path.join(scratch, 'SAVE.DAT'), badFile = path.join(scratch, 'notes.txt');
    fs.writeFileSync(exportedFile, exported);
    fs.writeFileSync(badFile, 'x'.repeat(1000));
    await choose('#import-file', [badFile]);
    await until('window.mokurenTest.importRefused', 'the bad file to be refused');
    const refused = await evaluate('window.mokurenTest.importRefused');
    log(`a file of 1000 bytes is refused: ${refused}`);
    if (!refused.includes('1000 バイト')) problems.push('the bad file was refused without the desktop\'s words: ' + refused);
    await evaluate('window.beforeImport = true');
    const t0 = Date.now();
    await choose('#import-file', [exportedFile]);
    await until('!window.beforeImport && window.mokurenTest && window.mokurenTest.ready && window.mokurenTest.frames > 0',
      'the page to start again on the imported saves', 120000);
    log(`imported the exported file; the page started again: first frame ${Date.now() - t0} ms`);
    // A second tab of the same page is told the game is open already, and does not start it.
    {
      const tab = await browser.send('Target.createTarget', { url: address });
      const { sessionId: other } = await browser.send('Target.attachToTarget', { targetId: tab.targetId, flatten: true });
      const end = Date.now() + 60000;
      let told = false;
      while (!told && Date.now() < end) {
        await sleep(200);
        const r = await browser.send('Runtime.evaluate', { expression:
          `!!(window.mokurenTest && window.mokurenTest.secondTab && !window.mokurenTest.ready)`, returnByValue: true }, other);
        told = r.result.value === true;
      }
      await browser.send('Target.closeTarget', { targetId: tab.targetId });
      if (!told) problems.push('a second tab was not told that the game is already open');
      else log('a second tab is told the game is already open');
    }
    await sleep(300);
    await key('Enter', 13);
    await sleep(1500);
    await click(200, 154);  // つづきから
    await sleep(800);
    await click(150, 100);  // slot 1
    await sleep(3000);
    await keep('6-loaded.png');
    const after = await untilGolden();
    log(`loaded scene: ${after} pixels beyond the golden tolerance`);
    if (after > 16) problems.push(`the loaded scene differs from the native golden in ${after} pixels`);
    const level = await evaluate('window.mokurenTest.audioLevel');
    log(`Web Audio: highest mean square of a block ${level.toExponential(2)}`);
    if (!(level > 0)) problems.push('the Web Audio output stayed silent');
    const errors = await evaluate('window.mokurenTest.errors');
    for (const e of errors) problems.push('engine: ' + e);

    // ?debug: the debug window's status lines in the page.
    log(`with ?debug: first frame ${await load('?debug')} ms`);
    await until(`!!document.getElementById('debug') && !document.getElementById('debug').hidden &&
      document.getElementById('debug-label1').textContent !== ''`,
      'the debug panel');
    await keep('7-debug.png');
    log('the debug panel shows: ' + await evaluate(`document.getElementById('debug-label1').textContent`));

    // ?lang=en: the demo's English translation, read from its compiled copy in game.data, to the greeting.
    log(`with ?lang=en: first frame ${await load('?lang=en')} ms`);
    await sleep(300);
    await toGreeting('-en');
    await keep('3-greeting-en.png');
    const english = await untilGolden('/golden-en.png');
    log(`English greeting: ${english} pixels beyond the golden tolerance`);
    if (english > 16) problems.push(`the English greeting differs from the native golden in ${english} pixels`);

    // ?open: the demo's folder chosen through the folder input, and played from there.
    if (fs.existsSync(gameFolder)) {
      await page('Page.navigate', { url: address + '?open' });
      await until(`!!document.getElementById('folder') && !document.getElementById('folder').hidden`, 'the folder chooser');
      const t1 = Date.now();
      await choose('#folder-input', [gameFolder]);
      await until('window.mokurenTest.ready && window.mokurenTest.frames > 0', 'the first frame of the opened folder', 120000);
      log(`?open: the demo's folder played from the folder input, first frame ${Date.now() - t1} ms after choosing it`);
      await sleep(300);
      await key('Enter', 13);
      await sleep(1500);
      await keep('8-open-folder-title.png');
    }

    // For the eye only (--keep): the page on a phone-sized screen with touch, its ≡ menu open.
    if (keepDir) {
      await page('Emulation.setDeviceMetricsOverride', { width: 390, height: 844, deviceScaleFactor: 1, mobile: true });
      await page('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 2 });
      await load();
      await sleep(1500);
      await clickElement('#tools-button');
      await sleep(300);
      await keep('9-phone.png');
    }
  } finally {
    await browser.close();
    browser = null;
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  for (const p of problems) console.error('browser-test: ' + p);
  log(problems.length ? 'FAILED' : 'passed');
  process.exit(problems.length ? 1 : 0);
}

main().catch((e) => {
  console.error('browser-test: ' + e.message);
  process.exit(1);
});
