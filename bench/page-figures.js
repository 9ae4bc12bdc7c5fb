// SPDX-License-Identifier: MIT
// The page's figures on this machine, in headless Chromium (scripts/web-perf.sh, docs/performance.md):
// its weight as served and gzip-compressed, the time to the first frame painted, and the work of one loop
// iteration on the title screen and in level 1 (its solution replayed), as the loop measures it (from
// waking to its next wait) and as main-thread task time (the browser's own work for the page included).
//   node bench/page-figures.js PAGE_FOLDER REPLAYS_FOLDER [LOADS]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {chromium} = require('playwright-core');
const {CHROMIUM_FLAGS} = require('../tests/web/chromium.js');
const {serve} = require('../tests/web/server.js');

const FRAME_MS = 33;
const TITLE_FROM = 30;  // iterations skipped: start-up, the font arriving
const TITLE_SAMPLES = 600;

function percentile(values, p) {
    const sorted = values.slice().sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.floor((sorted.length - 1) * p / 100 + 0.5))];
}

function describe(label, values) {
    const median = percentile(values, 50);
    const p99 = percentile(values, 99);
    return label + ': samples ' + values.length + '  median ' + median.toFixed(3) + ' ms (' +
           (median * 100 / FRAME_MS).toFixed(1) + '% of 33 ms)  p99 ' + p99.toFixed(3) + ' ms (' +
           (p99 * 100 / FRAME_MS).toFixed(1) + '%)  max ' + percentile(values, 100).toFixed(3) + ' ms';
}

function weight(folder) {
    const files = fs.readdirSync(folder).filter((name) => /\.(html|js|wasm|data)$/.test(name)).sort();
    let raw = 0;
    let packed = 0;
    for (const name of files) {
        const bytes = fs.readFileSync(path.join(folder, name));
        const gzipped = zlib.gzipSync(bytes, {level: 6}).length;  // what a server's default compression sends
        raw += bytes.length;
        packed += gzipped;
        console.log('weight ' + name.padEnd(18) + String(bytes.length).padStart(9) + ' bytes, gzip ' +
                    String(gzipped).padStart(9));
    }
    console.log('weight ' + 'total'.padEnd(18) + String(raw).padStart(9) + ' bytes, gzip ' + String(packed).padStart(9));
}

async function taskSeconds(cdp) {
    const {metrics} = await cdp.send('Performance.getMetrics');
    return metrics.find((m) => m.name === 'TaskDuration').value;
}

// Work of the iterations from..until, and main-thread task time over them.
async function loopWork(browser, url, from, until, whenDone) {
    const context = await browser.newContext({viewport: {width: 1100, height: 900}});
    const page = await context.newPage();
    const lines = [];
    page.on('console', (message) => lines.push(message.text()));
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    await page.goto(url);
    await page.waitForFunction((n) => window.Module && Module.veltraneIterations && Module.veltraneIterations() >= n,
                               from, {timeout: 300000});
    const tasks_before = await taskSeconds(cdp);
    const iterations_before = await page.evaluate(() => Module.veltraneIterations());
    await page.waitForFunction(whenDone || ((n) => Module.veltraneIterations() >= n), until, {timeout: 300000});
    const tasks_after = await taskSeconds(cdp);
    const iterations_after = await page.evaluate(() => Module.veltraneIterations());
    const work = await page.evaluate(() => Module.veltraneWork());
    await context.close();
    return {work, lines, tasks_ms: (tasks_after - tasks_before) * 1000 / (iterations_after - iterations_before)};
}

(async () => {
    const [folder, replays, loads = '5'] = process.argv.slice(2);
    weight(folder);
    const site = await serve({'/': folder, '/replays/': replays});
    const browser = await chromium.launch({executablePath: process.env.VL_CHROMIUM || '/usr/bin/chromium',
                                           args: CHROMIUM_FLAGS});
    console.log('browser ' + browser.version());

    const first = [];
    for (let i = 0; i < Number(loads); i++) {
        const context = await browser.newContext();
        const page = await context.newPage();
        await page.goto(site.url + '?random_seed=7');
        await page.waitForFunction(() => window.Module && Module.veltraneFirstFrame && Module.veltraneFirstFrame() !== null,
                                   null, {timeout: 60000});
        first.push(await page.evaluate(() => Module.veltraneFirstFrame()));
        await context.close();
    }
    console.log('first frame painted, from the start of navigation: median ' + percentile(first, 50).toFixed(0) +
                ' ms, ' + Math.min(...first).toFixed(0) + ' to ' + Math.max(...first).toFixed(0) + ' ms over ' +
                first.length + ' loads');

    const title = await loopWork(browser, site.url + '?random_seed=7', TITLE_FROM, TITLE_FROM + TITLE_SAMPLES);
    console.log(describe('work title', title.work.slice(TITLE_FROM, TITLE_FROM + TITLE_SAMPLES)));
    console.log('main-thread tasks title: ' + title.tasks_ms.toFixed(3) + ' ms per iteration');

    const level = await loopWork(browser, site.url + '?replay=replays/level-1.txt&random_seed=7', 1, null,
                                 () => Module.veltraneIterations() > 0 && document.getElementById('veltrane-message')
                                           .textContent.includes('ended'));
    const step = (text) => Number(level.lines.find((line) => line.endsWith(text)).substring(9, 13));
    const start = step('Starting level 1');
    const door = step('door entered');
    // work[i] is the work of iteration i + 1 (step i + 1).
    console.log(describe('work level 1', level.work.slice(start, door - 1)));
    console.log('main-thread tasks level 1 replay (title frames at its ends included): ' + level.tasks_ms.toFixed(3) +
                ' ms per iteration');
    await browser.close();
    site.server.close();
})();
