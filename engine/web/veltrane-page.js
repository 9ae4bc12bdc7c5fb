// SPDX-License-Identifier: MIT
// Starts a game's page: fetches the module and the packed data, says plainly on the page what went
// wrong when something is missing, and hands the engine the settings from the address:
//   ?random_seed=N    the seed of the game's random numbers
//   ?replay=FILE      plays the keys of a replay file (served beside the page) instead of the user's
//   ?screens          the replay's screens are kept, in the page's files under /page/screens/
(function() {
    'use strict';
    var me = document.currentScript;
    var script = me.getAttribute('data-script');
    var base = script.replace(/\.js$/, '');
    var canvas = document.getElementById('canvas');
    var message = document.getElementById('veltrane-message');

    function show(text, isError) {
        message.textContent = text;
        message.className = isError ? 'error' : '';
        if (isError) {
            console.error('Veltrane: ' + text);
        }
    }

    if (location.protocol === 'file:') {
        show('This page has to come from a web server: a browser does not let a page opened as a file ' +
             '(file://) load its game module and data. In the folder that holds index.html, run\n' +
             '    python3 -m http.server 8000\n' +
             'and open http://localhost:8000/ in the browser.', true);
        return;
    }

    function fetchFile(name, asText) {
        return fetch(name).then(function(response) {
            if (!response.ok) {
                throw new Error('The game cannot start: the server has no "' + name + '" (' + response.status +
                                ' ' + response.statusText + '). ' + base + '.js, ' + base + '.wasm and ' + base +
                                '.data belong beside index.html; build them again with make web.');
            }
            return asText ? response.text() : response.arrayBuffer();
        }, function(error) {
            throw new Error('The game cannot start: "' + name + '" could not be fetched (' + error.message + ').');
        });
    }

    function ended(status) {
        if (status === 0) {
            show('The game has ended. Reload the page to play again.');
        } else {
            show('The game could not go on (exit status ' + status + '). The browser\'s console has the log.', true);
        }
    }

    var params = new URLSearchParams(location.search);
    var page = {};
    var seed = params.get('random_seed');
    if (seed !== null) {
        if (!/^-?[0-9]+$/.test(seed)) {
            show('The address gives random_seed=' + seed + ', which is not a whole number.', true);
            return;
        }
        page.randomSeed = seed;
    }
    page.screens = params.has('screens');
    var replay = params.get('replay');
    var files = [fetchFile(base + '.wasm'), fetchFile(base + '.data')];
    if (replay) {
        files.push(fetchFile(replay, true));
    }
    show('Loading ' + base + '...');

    Promise.all(files).then(function(loaded) {
        if (replay) {
            page.replay = loaded[2];
        }
        window.Module = {
            canvas: canvas,
            veltranePage: page,
            wasmBinary: loaded[0],
            getPreloadedPackage: function(name, size) {
                if (loaded[1].byteLength !== size) {
                    show('The game cannot start: ' + base + '.data (' + loaded[1].byteLength + ' bytes) does ' +
                         'not belong to this ' + script + ', which packed ' + size + ' bytes. Build the page ' +
                         'again with make web.', true);
                    throw new Error('packed data of the wrong size');
                }
                return loaded[1];
            },
            print: function(line) {
                console.log(line);
            },
            printErr: function(line) {
                console.error(line);
            },
            // main runs as a call that may wait for the page, and says when it has returned.
            noInitialRun: true,
            onRuntimeInitialized: function() {
                show('');
                canvas.focus();
                Module.ccall('main', 'number', [], [], {async: true}).then(ended, function(error) {
                    show('The game stopped with an error: ' + error + '.', true);
                });
            },
            onAbort: function(what) {
                show('The game stopped with an error: ' + what + '. The browser\'s console has the log.', true);
            },
            onExit: ended,
        };
        var tag = document.createElement('script');
        tag.src = script;
        tag.onerror = function() {
            show('The game cannot start: the server has no "' + script + '".', true);
        };
        document.body.appendChild(tag);
    }, function(error) {
        show(error.message, true);
    });
})();
