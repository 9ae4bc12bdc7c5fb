// SPDX-License-Identifier: MIT
// The page side of the platform layer: the program's environment and files from the page's settings
// (Module.veltranePage, filled by veltrane-page.js from the address), the loop's wait for the browser's
// frames, and the files under $HOME kept in the browser's storage.
mergeInto(LibraryManager.library, {
    $VeltranePage__deps: ['$FS', '$ENV'],
    $VeltranePage__postset: 'VeltranePage.install();',
    $VeltranePage: {
        STORE_PREFIX: 'veltrane-file:',
        home: '/home/web_user',
        saved: {},  // path -> modification time last written to the storage
        iterations: 0,  // of the game loop, counted at its waits (for tests: Module.veltraneIterations)
        WORK_KEPT: 20000,
        work: null,  // milliseconds of work of each iteration, from waking to the next wait (for figures)
        woke: 0,

        settings: function() {
            return Module['veltranePage'] || {};
        },

        install: function() {
            Module['veltraneIterations'] = function() {
                return VeltranePage.iterations;
            };
            Module['veltraneWork'] = function() {
                return Array.from(VeltranePage.work.subarray(0, Math.min(VeltranePage.iterations, VeltranePage.WORK_KEPT)));
            };
            VeltranePage.work = new Float32Array(VeltranePage.WORK_KEPT);
            addOnPreRun(VeltranePage.setEnvironment);
            addOnPreMain(VeltranePage.writeFiles);
            window.addEventListener('pagehide', VeltranePage.saveFiles);
        },

        // Before the C++ runtime reads its environment.
        setEnvironment: function() {
            var page = VeltranePage.settings();
            VeltranePage.home = ENV['HOME'] || VeltranePage.home;
            ENV['VELTRANE_LOG'] = '/dev/stdout';  // the log is the console
            if (page.replay !== undefined) {
                ENV['VELTRANE_REPLAY'] = '/page/replay.txt';
            }
            if (page.screens) {
                ENV['VELTRANE_SCREENS'] = '/page/screens';
            }
            if (page.randomSeed !== undefined) {
                ENV['VELTRANE_CONFIG'] = '/page/vl-config.txt';
            }
        },

        // Once the packed data is in place, before main.
        writeFiles: function() {
            var page = VeltranePage.settings();
            FS.mkdirTree('/page/screens');
            if (page.replay !== undefined) {
                FS.writeFile('/page/replay.txt', page.replay);
            }
            if (page.randomSeed !== undefined) {
                // The first value of a key wins: the address's seed, then the game's own settings.
                var own = FS.analyzePath('/vl-config.txt').exists ? FS.readFile('/vl-config.txt', {encoding: 'utf8'}) : '';
                FS.writeFile('/page/vl-config.txt', 'random_seed:' + page.randomSeed + ',\n' + own);
            }
            VeltranePage.loadFiles();
        },

        loadFiles: function() {
            for (var i = 0; i < localStorage.length; i++) {
                var key = localStorage.key(i);
                if (key.indexOf(VeltranePage.STORE_PREFIX) !== 0) {
                    continue;
                }
                var path = key.substring(VeltranePage.STORE_PREFIX.length);
                var text = localStorage.getItem(key);
                var bytes = new Uint8Array(text.length);
                for (var j = 0; j < text.length; j++) {
                    bytes[j] = text.charCodeAt(j);
                }
                FS.mkdirTree(path.substring(0, path.lastIndexOf('/')));
                FS.writeFile(path, bytes);
                VeltranePage.saved[path] = FS.stat(path).mtime.getTime();
            }
        },

        // Every file under $HOME written since it was last saved.
        saveFiles: function() {
            var walk = function(dir) {
                var names;
                try {
                    names = FS.readdir(dir);
                } catch (e) {
                    return;
                }
                names.forEach(function(name) {
                    if (name === '.' || name === '..') {
                        return;
                    }
                    var path = dir + '/' + name;
                    var stat = FS.stat(path);
                    if (FS.isDir(stat.mode)) {
                        walk(path);
                    } else if (FS.isFile(stat.mode) && VeltranePage.saved[path] !== stat.mtime.getTime()) {
                        VeltranePage.saveFile(path, stat.mtime.getTime());
                    }
                });
            };
            walk(VeltranePage.home);
        },

        saveFile: function(path, mtime) {
            var bytes = FS.readFile(path);
            var text = '';
            for (var i = 0; i < bytes.length; i++) {
                text += String.fromCharCode(bytes[i]);
            }
            try {
                localStorage.setItem(VeltranePage.STORE_PREFIX + path, text);
                VeltranePage.saved[path] = mtime;
            } catch (e) {
                console.error('Veltrane: the browser refused to store ' + path + ': ' + e);
                VeltranePage.saved[path] = mtime;  // said once, not every frame
            }
        },
    },

    vl_page_wait__deps: ['$VeltranePage', '$Asyncify'],
    vl_page_wait__sig: 'vi',
    vl_page_wait: function(ms) {
        var now = performance.now();
        if (VeltranePage.iterations > 0 && VeltranePage.iterations <= VeltranePage.WORK_KEPT) {
            VeltranePage.work[VeltranePage.iterations - 1] = now - VeltranePage.woke;
        }
        VeltranePage.iterations++;
        VeltranePage.saveFiles();
        return Asyncify.handleSleep(function(wakeUp) {
            // Woken on the first animation frame within 2 ms of the deadline: a 60 Hz page runs a 33 ms
            // loop on every second frame instead of slipping to every third.
            var due = performance.now() + ms - 2;
            var tick = function(now) {
                if (now >= due) {
                    VeltranePage.woke = performance.now();
                    wakeUp();
                } else {
                    requestAnimationFrame(tick);
                }
            };
            requestAnimationFrame(tick);
        });
    },
});
