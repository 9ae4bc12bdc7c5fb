// SPDX-License-Identifier: MIT
// The game's page in headless Chromium, served on the loopback address (make web-test): each level's replay
// reaches the door with the headless game's log lines, real key events walk the player, music pauses and
// resumes, the page's cells are the golden screens, its canvas looks like the window, and what cannot
// start says why on the page.
// Every wait is for the page's own log lines or loop iterations.
'use strict';
const assert = require('node:assert');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const {after, before, test} = require('node:test');
const {chromium} = require('playwright-core');
const {CHROMIUM_FLAGS} = require('./chromium.js');
const {serve} = require('./server.js');

const ROOT = path.resolve(__dirname, '../..');
const PAGE = path.resolve(process.env.VL_WEB_DIR || path.join(ROOT, 'build-web'));
const GAME = path.resolve(process.env.VL_GAME || path.join(ROOT, 'build/veltrane-game'));
// Pictures and logs of the last run, for a look when something fails.
const OUT = path.join(ROOT, 'build-web-test');
fs.rmSync(OUT, {recursive: true, force: true});
fs.mkdirSync(OUT, {recursive: true});
const WAIT_MS = 120000;

let browser;
let site;

before(async () => {
    site = await serve({'/': PAGE, '/replays/': path.join(ROOT, 'tests/game/replays')});
    browser = await chromium.launch({executablePath: process.env.VL_CHROMIUM || '/usr/bin/chromium',
                                     args: CHROMIUM_FLAGS});
});

after(async () => {
    await browser.close();
    site.server.close();
});

// A fresh page (its own storage) whose console lines are kept; lines() gives the engine's log lines
// without their clock.
async function open(address, base = site.url) {
    const context = await browser.newContext({viewport: {width: 1100, height: 900}});
    const page = await context.newPage();
    const console_lines = [];
    page.on('console', (message) => console_lines.push(message.text()));
    page.on('pageerror', (error) => console_lines.push('pageerror: ' + error.message));
    await page.goto(base + address);
    return {
        page,
        context,
        lines: () => console_lines.filter((line) => /^\d\d:\d\d:\d\d /.test(line)).map((line) => line.substring(9)),
        // Only console events: anything evaluated in the page would count as a user's gesture.
        waitForLine: async (text) => {
            const deadline = Date.now() + WAIT_MS;
            while (!console_lines.some((line) => line.includes(text))) {
                if (Date.now() > deadline) {
                    throw new Error('no log line "' + text + '"; the page logged:\n' + console_lines.join('\n'));
                }
                await page.waitForEvent('console', {timeout: WAIT_MS});
            }
        },
    };
}

async function waitIterations(page, count) {
    const start = await page.evaluate(() => Module.veltraneIterations());
    await page.waitForFunction((until) => Module.veltraneIterations() >= until, start + count, {timeout: WAIT_MS});
}

// The column of the light player's head on the row it stands on, from what the canvas shows.
async function playerColumn(page, row) {
    const rows = await page.evaluate(() => Module.veltraneShownText());
    return rows[row].indexOf('o', 2);
}

function headlessLog(replay) {
    const work = fs.mkdtempSync(path.join(OUT, 'headless-'));
    fs.writeFileSync(path.join(work, 'config.txt'), 'headless:true,frame_time:0,random_seed:7\n');
    execFileSync(GAME, [], {cwd: ROOT, env: Object.assign({}, process.env, {
        XDG_DATA_HOME: path.join(work, 'home'), VELTRANE_CONFIG: path.join(work, 'config.txt'),
        VELTRANE_LOG: path.join(work, 'game.log'), VELTRANE_REPLAY: replay, ALSOFT_DRIVERS: 'null'})});
    return fs.readFileSync(path.join(work, 'game.log'), 'utf8').split('\n').filter((line) => line)
        .map((line) => line.substring(9));
}

// From the game's first line after start-up to the stop banner; the replay's own path differs, and the
// loop's warnings of a late frame depend on the machine, not on the game.
function played(lines) {
    const first = lines.findIndex((line) => line.includes('Starting level'));
    return lines.slice(first).filter((line) => !line.includes("Can't keep up!"))
        .map((line) => line.replace(/'[^']*replay[^']*'/, "'REPLAY'"));
}

// Each level's solution, all six pages at once; each ends back on the title and quits.
async function replayLevel(level) {
    const {page, context, lines, waitForLine} = await open('?replay=replays/level-' + level + '.txt&random_seed=7');
    await waitForLine('** Game engine stopped **');
    assert.ok(lines().some((line) => line.endsWith('door entered')), 'level ' + level + ':\n' + lines().join('\n'));
    assert.deepStrictEqual(played(lines()), played(headlessLog('tests/game/replays/level-' + level + '.txt')));
    await page.waitForFunction(() => document.getElementById('veltrane-message').textContent.includes('ended'));
    // The finished level is in the browser's storage, and back in the game's files on the next visit.
    const finished = '/home/web_user/.local/share/veltrane/finished';
    const marks = '000000'.substring(0, level - 1) + '1' + '000000'.substring(level) + '\n';
    assert.strictEqual(await page.evaluate((f) => localStorage.getItem('veltrane-file:' + f), finished), marks);
    const again = await context.newPage();
    await again.goto(site.url + '?random_seed=7');
    await again.waitForFunction(() => window.Module && Module.veltraneIterations && Module.veltraneIterations() > 0);
    assert.strictEqual(await again.evaluate((f) => Module.FS.readFile(f, {encoding: 'utf8'}), finished), marks);
    await context.close();
}

test('every level replayed in the page reaches its door with the headless game\'s log lines and is remembered',
     async () => {
         await Promise.all([1, 2, 3, 4, 5, 6].map(replayLevel));
     });

test('held keys as real browser key events walk the player, and it stops on release or lost focus', async () => {
    const {page, context, waitForLine} = await open('?random_seed=7');
    // Silent until the first key, which starts the level and lets the title's music be heard.
    await waitForLine("the page's audio is suspended until a key is pressed");
    await page.keyboard.press('Enter');
    await waitForLine('Starting level 1');
    await waitForLine("the page's audio is running");
    const row = 12;  // the light player's head once it has landed on the floor
    await page.waitForFunction((r) => Module.veltraneShownText()[r].indexOf('o', 2) === 7, row, {timeout: WAIT_MS});

    for (const letGo of [() => page.keyboard.up('d'),
                         () => page.evaluate(() => window.dispatchEvent(new Event('blur')))]) {
        const from = await playerColumn(page, row);
        await page.keyboard.down('d');
        await page.waitForFunction(([r, c]) => Module.veltraneShownText()[r].indexOf('o', 2) >= c + 3,
                                   [row, from], {timeout: WAIT_MS});
        await letGo();
        await waitIterations(page, 5);
        const stopped = await playerColumn(page, row);
        await waitIterations(page, 20);
        assert.strictEqual(await playerColumn(page, row), stopped, 'the player walked on after the key was let go');
        await page.keyboard.up('d');  // the browser's own state after the lost focus
    }
    await context.close();
});

test('the title\'s music starts at the first key, pauses for a level and resumes where it was', async () => {
    const {page, context, waitForLine} = await open('?random_seed=7');
    await waitForLine("the page's audio is suspended until a key is pressed");
    const title = () => page.evaluate(() => Module.veltraneAudioState().voices.find((v) => v && v.file.endsWith('Ember.mp3')));
    const playing = 2;
    const paused = 1;
    await page.keyboard.press('d');  // the next level on the title screen
    await waitForLine("the page's audio is running");
    await page.waitForFunction(() => Module.veltraneAudioState().voices.some(
        (v) => v && v.file.endsWith('Ember.mp3') && v.status === 2 && v.position > 0.5), null, {timeout: WAIT_MS});
    await page.keyboard.press('Enter');
    await waitForLine('Starting level 2');
    const at_pause = await title();
    assert.strictEqual(at_pause.status, paused);
    await waitIterations(page, 15);
    assert.strictEqual((await title()).position, at_pause.position, 'the paused music moved on');
    await page.keyboard.press('q');
    await waitForLine('Back on the title screen');
    const resumed = await title();
    assert.strictEqual(resumed.status, playing);
    assert.ok(resumed.position >= at_pause.position && resumed.position < at_pause.position + 0.5,
              'resumed at ' + resumed.position + ' s after pausing at ' + at_pause.position + ' s');
    await context.close();
});

test('the page\'s cells are the golden screens of the title and every level', async () => {
    const {page, context, waitForLine} = await open('?replay=replays/screens-levels.txt&random_seed=7&screens');
    await waitForLine('Replay finished');
    const names = await page.evaluate(() => Module.FS.readdir('/page/screens').filter((n) => n.endsWith('.txt')));
    assert.ok(names.includes('title.txt') && names.includes('level-1-light.txt'), names.join(' '));
    for (const name of names) {
        const shown = await page.evaluate((n) => Module.FS.readFile('/page/screens/' + n, {encoding: 'utf8'}), name);
        assert.strictEqual(shown, fs.readFileSync(path.join(ROOT, 'tests/game/screens', name), 'utf8'), name);
    }
    await context.close();
});

test('the canvas looks like the window: at most 2% of the title\'s pixels differ by more than a quarter', async () => {
    const window_png = path.join(OUT, 'window-title.png');
    execFileSync(path.join(__dirname, 'window-picture.sh'), [GAME, window_png]);
    const {page, context} = await open('?random_seed=7');
    await page.waitForFunction(() => window.Module && Module.veltraneFontReady && Module.veltraneFontReady(), null, {timeout: WAIT_MS});
    await waitIterations(page, 3);
    const page_png = path.join(OUT, 'page-title.png');
    await page.locator('canvas').screenshot({path: page_png});
    await context.close();
    // ImageMagick counts the pixels whose colours are further apart than the fuzz (and exits 1 when any are).
    let differing;
    try {
        differing = execFileSync('compare', ['-metric', 'AE', '-fuzz', '25%', window_png, page_png, 'null:'],
                                 {stdio: ['ignore', 'pipe', 'pipe']}).toString();
    } catch (error) {
        differing = error.stderr.toString();
    }
    const count = Number.parseFloat(differing);
    console.log('canvas against window: ' + count + ' of 786432 pixels differ by more than 25% (' + OUT + ')');
    assert.ok(Number.isFinite(count), 'compare said: ' + differing);
    assert.ok(count <= 15728, count + ' pixels differ; pictures in ' + OUT);
});

test('a missing data file and a page opened as a file say so on the page', async () => {
    const missing = await serve({'/': PAGE}, ['/veltrane.data']);
    const cases = [[missing.url, 'the server has no "veltrane.data"'],
                   ['file://' + path.join(PAGE, 'index.html'), 'has to come from a web server']];
    for (const [address, expected] of cases) {
        const {page, context} = await open('', address);
        const message = page.locator('#veltrane-message');
        await message.filter({hasText: expected}).waitFor({state: 'visible', timeout: WAIT_MS});
        assert.match(await message.getAttribute('class'), /error/);
        await context.close();
    }
    missing.server.close();
});
