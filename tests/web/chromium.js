// SPDX-License-Identifier: MIT
// The flags headless Chromium needs on a closed machine: no sandbox as root, no background connections.
// Audio waits for a gesture, as in a desktop browser (headless Chromium would otherwise allow it at once).
'use strict';
const CHROMIUM_FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                        '--disable-background-networking', '--disable-component-update', '--disable-sync',
                        '--autoplay-policy=document-user-activation-required'];
module.exports = {CHROMIUM_FLAGS};
