// The browser build's speed in Debian's headless Chromium (SwiftShader):
// how long the page takes until it can be played, from the click to the
// start screen's first frame, and the game's own FPS lines while flying.
//
//   tools/web/serve.sh 8080 &
//   NODE_PATH=tests/web/node_modules node bench/web/browser_fps.js http://127.0.0.1:8080/ [seconds]
//
// (tests/web/run.sh installs Playwright's driver into tests/web/node_modules.)
'use strict';
const { chromium } = require('playwright-core');

const url = process.argv[2] || 'http://127.0.0.1:8080/';
const flightSeconds = Number(process.argv[3] || 20);

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length === 0 ? NaN : sorted[Math.floor(sorted.length / 2)];
}

(async () => {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
  });
  const page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
  const lines = [];
  page.on('console', (message) => lines.push({ at: Date.now(), text: message.text() }));

  const opened = Date.now();
  await page.goto(url);
  await page.waitForSelector('#play:not([disabled])', { timeout: 120000 });
  const ready = Date.now();
  const clicked = Date.now();
  await page.click('#play');
  // The goal's model is the level's last asset; the start screen is drawn
  // in the frame after.
  while (!lines.some((line) => /^Loaded model: .*goal/.test(line.text))) {
    await page.waitForTimeout(10);
  }
  const built = Date.now();
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve())));
  const shown = Date.now();

  await page.keyboard.press('Space');
  const flying = Date.now() + 4000;  // after the countdown
  await page.waitForTimeout(4000 + flightSeconds * 1000);
  const rates = lines
    .filter((line) => line.at >= flying && /^FPS: /.test(line.text))
    .map((line) => Number(line.text.slice(5)));

  console.log(`page to "Click to play": ${ready - opened} ms`);
  console.log(`click to the level built: ${built - clicked} ms; to the start screen: ${shown - clicked} ms`);
  console.log(`flying FPS over ${rates.length} lines: median ${median(rates).toFixed(1)}, ` +
              `lowest ${Math.min(...rates).toFixed(1)}, highest ${Math.max(...rates).toFixed(1)}`);
  await browser.close();
})();
