// SPDX-License-Identifier: MIT
// Serves a page's folder on the loopback address (and a second folder under /files/), opens the page in
// headless Chromium and prints its console lines until one contains the given text, or the time runs out
// (status 1): scripts/check-web-example.sh plays a page's replay with it.
//   node tests/web/play-page.js PAGE_FOLDER FILES_FOLDER QUERY UNTIL [SECONDS]
'use strict';
const {chromium} = require('playwright-core');
const {CHROMIUM_FLAGS} = require('./chromium.js');
const {serve} = require('./server.js');

(async () => {
    const [folder, files, query, until, seconds = '120'] = process.argv.slice(2);
    const site = await serve({'/': folder, '/files/': files});
    const browser = await chromium.launch({executablePath: process.env.VL_CHROMIUM || '/usr/bin/chromium',
                                           args: CHROMIUM_FLAGS});
    const page = await browser.newPage();
    let done;
    const finished = new Promise((resolve) => {
        done = resolve;
    });
    page.on('console', (message) => {
        console.log(message.text());
        if (message.text().includes(until)) {
            done(0);
        }
    });
    page.on('pageerror', (error) => console.log('pageerror: ' + error.message));
    await page.goto(site.url + query);
    const timer = setTimeout(() => done(1), Number(seconds) * 1000);
    const status = await finished;
    clearTimeout(timer);
    await browser.close();
    site.server.close();
    process.exit(status);
})();
