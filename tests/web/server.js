// SPDX-License-Identifier: MIT
// A static web server on the loopback address for the page's tests and figures: serves a folder, and
// other folders under given address prefixes; nothing else.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.txt': 'text/plain; charset=utf-8',
    '.png': 'image/png',
};

// mounts: {'/': folder, '/replays/': other folder, ...}; the addresses in missing answer 404 as if their
// files were not there. Resolves to {server, url} once listening.
function serve(mounts, missing = []) {
    const prefixes = Object.keys(mounts).sort((a, b) => b.length - a.length);
    const server = http.createServer((request, response) => {
        const address = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
        const prefix = prefixes.find((p) => address.startsWith(p));
        const root = path.resolve(mounts[prefix]);
        let file = path.resolve(root, '.' + address.substring(prefix.length - 1));
        if (file.endsWith(path.sep) || address.endsWith('/')) {
            file = path.join(file, 'index.html');
        }
        if (missing.includes(address) || !file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404, {'Content-Type': 'text/plain'});
            response.end('not found');
            return;
        }
        // Isolated from other origins, the page's clock reads to 5 microseconds instead of 100.
        response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                                 'Cache-Control': 'no-store', 'Cross-Origin-Opener-Policy': 'same-origin',
                                 'Cross-Origin-Embedder-Policy': 'require-corp'});
        fs.createReadStream(file).pipe(response);
    });
    return new Promise((resolve) => {
        server.listen(0, '127.0.0.1', () => {
            resolve({server, url: 'http://127.0.0.1:' + server.address().port + '/'});
        });
    });
}

module.exports = {serve};
