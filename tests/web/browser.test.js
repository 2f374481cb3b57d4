// The browser build played in headless Chromium as a player plays it: the
// page, the start-up lines, the start screen against the Linux build's first
// frame, the countdown, held keys, the restart, Escape, a missing asset and
// the sound. Run by tests/web/run.sh, which serves the site and passes:
//   VELTRA_SITE_URL     where the site is served
//   VELTRA_LINUX_FRAME  the Linux build's headless first frame (PPM)
//   VELTRA_SOURCE_DIR   the source tree (screen checks, font, tutorial)
//   VELTRA_WORK         a folder for the frames taken
//   VELTRA_PYTHON       a python3 with numpy and PIL
'use strict';
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { chromium } = require('playwright-core');

const site = process.env.VELTRA_SITE_URL;
const linuxFrame = process.env.VELTRA_LINUX_FRAME;
const source = process.env.VELTRA_SOURCE_DIR;
const work = process.env.VELTRA_WORK;
const checks = path.join(source, 'tests/process/screen_checks.py');
const font = path.join(source, 'assets/textures/fonts/greek_outlined.tga');
const tutorial = path.join(source, 'assets/tutorial/Veltra_TutorialSTART.png');
// SwiftShader draws a flying frame in a quarter of a second or more here;
// slower builds stretch every limit by VELTRA_TIME_FACTOR.
const slow = 120000 * Number(process.env.VELTRA_TIME_FACTOR || 1);

const STARTUP_LINES = [
  ':::::: WELCOME TO VELTRA ::::::',
  'WindowManager was initialized.',
  'GLEW was initialized.',
  'Framework was initialized.',
  'Terrain loaded!',
];

let browser;

// A page of the game with its console lines and JavaScript errors recorded.
async function openGame(query = '', context = null) {
  const options = { viewport: { width: 1200, height: 900 } };
  const page = await (context !== null ? context.newPage(options) : browser.newPage(options));
  const lines = [];
  const errors = [];
  page.on('console', (message) => lines.push(message.text()));
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(site + query);
  await page.waitForSelector('#play:not([disabled])', { timeout: slow });
  return { page, lines, errors };
}

// The index of the first console line from index `after` on that matches,
// waiting for the game to print it.
async function waitForLine(game, pattern, after = 0) {
  const seen = () => game.lines.findIndex((line, i) => i >= after && pattern.test(line));
  if (seen() < 0) {
    await game.page
      .waitForEvent('console', { predicate: (message) => pattern.test(message.text()), timeout: slow })
      .catch(() => assert.fail(`no console line ${pattern}:\n${game.lines.slice(-20).join('\n')}`));
  }
  return seen();
}

// The canvas as the player sees it, 1080 by 720, in `count` frames in a
// row: each read in the frame's own animation callback, after the game's
// (registered a frame earlier), before the browser presents and clears it.
async function frames(game, name, count) {
  const urls = await game.page.evaluate(async (count) => {
    const canvas = document.getElementById('canvas');
    const taken = [];
    while (taken.length < count) {
      taken.push(await new Promise((resolve) => {
        requestAnimationFrame(() => resolve(canvas.toDataURL('image/png')));
      }));
    }
    return taken;
  }, count);
  return urls.map((url, index) => {
    const file = path.join(work, count === 1 ? `${name}.png` : `${name}${index + 1}.png`);
    fs.writeFileSync(file, Buffer.from(url.slice(url.indexOf(',') + 1), 'base64'));
    return file;
  });
}

async function frame(game, name) {
  return (await frames(game, name, 1))[0];
}

function screen(check, shot, ...args) {
  return execFileSync(process.env.VELTRA_PYTHON, [checks, check, shot, ...args], { encoding: 'utf8' }).trim();
}

function screenHolds(check, shot, ...args) {
  try {
    screen(check, shot, ...args);
    return true;
  } catch (error) {
    if (error.status === 1) return false;
    throw error;
  }
}

before(async () => {
  fs.mkdirSync(work, { recursive: true });
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
  });
});

after(async () => {
  await browser.close();
});

describe('a game played in the browser', () => {
  let game;

  before(async () => {
    game = await openGame();
  });

  after(async () => {
    await game.page.close();
  });

  it('starts on the click, with the start-up lines in order and the music playing', async () => {
    assert.equal(game.lines.length, 0, 'the game ran before the click');
    await game.page.click('#play');
    await waitForLine(game, /^FPS: /);
    let at = 0;
    for (const line of STARTUP_LINES) {
      at = game.lines.indexOf(line, at);
      assert.ok(at >= 0, `start-up line "${line}" missing or out of order:\n${game.lines.join('\n')}`);
    }
    assert.deepEqual(game.errors, []);
    const sound = await game.page.evaluate(() => {
      const context = AL.currentCtx;
      if (!context) return 'no OpenAL context';
      const playing = Object.values(context.sources).filter((s) => s.state === 0x1012);
      return `${context.audioCtx.state}, ${playing.length} playing`;
    });
    assert.match(sound, /^running, [1-9]/, `sound: ${sound}`);
  });

  it('shows the start screen, then counts down from 3 after Space', async () => {
    screen('tutorial', await frame(game, 'start'), tutorial);
    await game.page.keyboard.press('Space');
    // The frames first, as fast as they come, the checks after: the
    // countdown's three seconds are a dozen frames here.
    const shots = [];
    const pressed = Date.now();
    while (Date.now() - pressed < 5000) {
      shots.push(await frame(game, `countdown${shots.length + 1}`));
    }
    let digits = '';
    for (const [index, shot] of shots.entries()) {
      assert.ok(!screenHolds('tutorial', shot, tutorial), `frame ${index + 1} after Space shows the start screen`);
      const digit = screen('digit', shot, font);
      if (digit === 'none') break;
      assert.match(digit, /^[123]$/);
      assert.ok(digits === '' || digit <= digits.at(-1), `the countdown rose: ${digits} then ${digit}`);
      digits += digit;
    }
    assert.ok(digits.length < shots.length, `the countdown did not end within 5 s: ${digits}`);
    assert.equal(digits[0], '3', `the countdown began with ${digits[0]}`);
    // Three or more frames all showing 3 mean it never counted down; one or
    // two may all fall in its first second on a busy machine.
    assert.ok(digits.length < 3 || /[12]/.test(digits), `the countdown showed only 3 (${digits})`);
    screen('flight', await frame(game, 'flight'), font);
  });

  it('pauses the flight when the tab is hidden', async () => {
    await game.page.evaluate(() => {
      Object.defineProperty(document, 'hidden', { value: true, configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    });
    screen('shows', await frame(game, 'hidden'), font, 'subtitle', 'PAUSED');
    await game.page.evaluate(() => {
      Object.defineProperty(document, 'hidden', { value: false, configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await game.page.keyboard.press('Space');
    screen('hides', await frame(game, 'resumed'), font, 'subtitle', 'PAUSED');
  });

  it('dives into the ground while S is held, and Space shows LOADING and builds the level again', async () => {
    const from = game.lines.length;
    await game.page.keyboard.down('s');
    await waitForLine(game, /^Player collided with Terrain$/, from);
    await game.page.keyboard.up('s');
    // The frame that ran into the ground already shows the end.
    screen('shows', await frame(game, 'over'), font, 'title', 'GAME OVER');

    const restart = game.lines.length;
    await game.page.keyboard.press('Space');
    // The frame that reads Space, the run's end, then the loading screen in
    // a frame of its own before the build.
    const loading = await frames(game, 'loading', 3);
    assert.ok(loading.some((shot) => screenHolds('shows', shot, font, 'title', 'LOADING')),
      'no frame after Space showed LOADING');
    await waitForLine(game, /^Water vertices: 2500$/, restart);
    await game.page.waitForFunction(() => document.title === 'VELTRA', null, { timeout: slow });
    await waitForLine(game, /^FPS: /, game.lines.length);
    screen('tutorial', await frame(game, 'restarted'), tutorial);
  });

  it('ends cleanly on Escape', async () => {
    await game.page.keyboard.press('Escape');
    await game.page.waitForSelector('#message:not([hidden])', { timeout: slow });
    assert.match(await game.page.textContent('#message-text'), /^Thanks for flying/);
    assert.deepEqual(game.errors, []);
  });
});

it('draws the first frame as the Linux build does', async () => {
  const game = await openGame('?run_headless&filename=/tmp/first-frame');
  await game.page.click('#play');
  // The second level build begins after the first run's frame is saved;
  // the page's code runs between the game's frames, never inside a write.
  const first = await waitForLine(game, /^Water vertices: 2500$/);
  await waitForLine(game, /^Water vertices: 2500$/, first + 1);
  // A plain PPM is text.
  const text = await game.page.evaluate(() => Module.FS.readFile('/tmp/first-frame.ppm', { encoding: 'utf8' }));
  const file = path.join(work, 'browser-first-frame.ppm');
  fs.writeFileSync(file, text);
  console.log(screen('same-frame', file, linuxFrame));
  assert.deepEqual(game.errors, []);
  await game.page.close();
});

it('says so where the browser has no WebGL 2', async () => {
  const page = await browser.newPage();
  await page.addInitScript(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
    };
  });
  await page.goto(site);
  await page.waitForSelector('#message:not([hidden])');
  assert.match(await page.textContent('#message-text'), /^VELTRA needs WebGL 2/);
  await page.close();
});

it('says on the page which asset is missing', async () => {
  const game = await openGame();
  await game.page.evaluate(() => Module.FS.unlink('/veltra/assets/shaders/blur.frag'));
  await game.page.click('#play');
  await game.page.waitForSelector('#message:not([hidden])', { timeout: slow });
  assert.equal(await game.page.textContent('#message-text'),
    'Could not find shader file: assets/shaders/blur.frag');
  await game.page.close();
});

it('keeps the best runs in the browser\'s storage from one visit to the next', async () => {
  const context = await browser.newContext();
  const first = await openGame('', context);
  // What a won run leaves behind, kept as the game keeps it.
  await first.page.evaluate(() => new Promise((resolve, reject) => {
    const folder = '/home/web_user/.local/share/veltra';
    Module.FS.writeFile(folder + '/best-runs.txt',
      'VELTRA BEST RUNS 1\n# points, seconds left, date\n12 65.4 2026-12-10\n');
    Module.FS.syncfs(false, (error) => (error ? reject(error) : resolve()));
  }));
  await first.page.close();

  const second = await openGame('', context);
  await second.page.click('#play');
  await waitForLine(second, /^FPS: /);
  const shot = await frame(second, 'best-run');
  screen('tutorial', shot, tutorial, 'best-run');
  screen('shows', shot, font, 'best', 'BEST: 0012 POINTS 01:05 LEFT');
  await context.close();
});
