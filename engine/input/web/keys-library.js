// SPDX-License-Identifier: MIT
// The page's keyboard and mouse for the engine (PageKeys.cpp): every press and release in order, the
// keys and buttons held down, the pointer in the window's pixels. Repeats of a held key are not reports;
// a page that loses the focus lets go of everything held, each with its release.
mergeInto(LibraryManager.library, {
    $VeltraneKeys: {
        PRESS: 0,
        RELEASE: 1,
        CLICK: 2,
        MOVE: 3,
        reports: [],
        held: {},      // KeyboardEvent.code -> engine key, for every key down
        buttons: 0,    // bit per engine button
        x: 0,
        y: 0,
        listening: false,
        // Physical keys by KeyboardEvent.code; letters follow the layout, as the window's do.
        CODES: null,

        codes: function() {
            if (VeltraneKeys.CODES) {
                return VeltraneKeys.CODES;
            }
            var codes = {
                Space: 0, Enter: 1, NumpadEnter: 1, Escape: 2, Tab: 3, ArrowLeft: 4, ArrowRight: 5,
                ArrowUp: 6, ArrowDown: 7, Pause: 8, NumpadSubtract: 9, NumpadAdd: 10, Backquote: 11,
                Period: 12, Comma: 13, Slash: 14, Equal: 15, Backslash: 16, NumpadMultiply: 17, Quote: 18,
                Semicolon: 19, ControlLeft: 20, ControlRight: 21, ShiftLeft: 22, ShiftRight: 23,
                Backspace: 72, BracketLeft: 74, BracketRight: 75, Digit0: 71,
            };
            for (var f = 1; f <= 12; f++) {
                codes['F' + f] = 23 + f;
            }
            for (var letter = 0; letter < 26; letter++) {
                codes['Key' + String.fromCharCode(65 + letter)] = 36 + letter;
            }
            for (var digit = 1; digit <= 9; digit++) {
                codes['Digit' + digit] = 61 + digit;
            }
            VeltraneKeys.CODES = codes;
            return codes;
        },

        keyOf: function(event) {
            if (event.key && event.key.length === 1 && /[a-z]/i.test(event.key)) {
                return event.key.toUpperCase().charCodeAt(0) - 65 + 36;
            }
            var key = VeltraneKeys.codes()[event.code];
            return key === undefined ? -1 : key;
        },

        // The pointer in the window's pixels, whatever size the page shows the canvas at.
        pointer: function(event) {
            var canvas = Module['canvas'] || document.getElementById('canvas');
            var box = canvas.getBoundingClientRect();
            var width = canvas.width / (window.devicePixelRatio || 1);
            var height = canvas.height / (window.devicePixelRatio || 1);
            VeltraneKeys.x = box.width > 0 ? (event.clientX - box.left) * width / box.width : 0;
            VeltraneKeys.y = box.height > 0 ? (event.clientY - box.top) * height / box.height : 0;
        },

        report: function(kind, key, button) {
            VeltraneKeys.reports.push([kind, key, button, VeltraneKeys.x, VeltraneKeys.y]);
        },

        // The browser keeps its own keys (reload, full screen, its tools, shortcuts with Ctrl, Alt or Meta).
        keepsDefault: function(event) {
            return event.ctrlKey || event.altKey || event.metaKey || /^F(5|11|12)$/.test(event.code);
        },

        onKeyDown: function(event) {
            if (!VeltraneKeys.keepsDefault(event)) {
                event.preventDefault();
            }
            if (event.repeat || event.code in VeltraneKeys.held) {
                return;
            }
            var key = VeltraneKeys.keyOf(event);
            VeltraneKeys.held[event.code] = key;
            VeltraneKeys.report(VeltraneKeys.PRESS, key, -1);
        },

        onKeyUp: function(event) {
            if (!(event.code in VeltraneKeys.held)) {
                return;
            }
            var key = VeltraneKeys.held[event.code];
            delete VeltraneKeys.held[event.code];
            VeltraneKeys.report(VeltraneKeys.RELEASE, key, -1);
        },

        onMouseMove: function(event) {
            VeltraneKeys.pointer(event);
            VeltraneKeys.report(VeltraneKeys.MOVE, -1, -1);
        },

        // The browser numbers the middle button 1 and the right one 2; the engine the other way round.
        button: function(event) {
            return [0, 2, 1][event.button] === undefined ? -1 : [0, 2, 1][event.button];
        },

        onMouseDown: function(event) {
            VeltraneKeys.pointer(event);
            var button = VeltraneKeys.button(event);
            if (button >= 0) {
                VeltraneKeys.buttons |= 1 << button;
            }
            VeltraneKeys.report(VeltraneKeys.CLICK, -1, button);
        },

        onMouseUp: function(event) {
            var button = VeltraneKeys.button(event);
            if (button >= 0) {
                VeltraneKeys.buttons &= ~(1 << button);
            }
        },

        onBlur: function() {
            Object.keys(VeltraneKeys.held).forEach(function(code) {
                VeltraneKeys.report(VeltraneKeys.RELEASE, VeltraneKeys.held[code], -1);
            });
            VeltraneKeys.held = {};
            VeltraneKeys.buttons = 0;
        },

        listen: function(on) {
            var canvas = Module['canvas'] || document.getElementById('canvas');
            var change = on ? 'addEventListener' : 'removeEventListener';
            window[change]('keydown', VeltraneKeys.onKeyDown);
            window[change]('keyup', VeltraneKeys.onKeyUp);
            window[change]('blur', VeltraneKeys.onBlur);
            window[change]('mouseup', VeltraneKeys.onMouseUp);
            if (canvas) {
                canvas[change]('mousemove', VeltraneKeys.onMouseMove);
                canvas[change]('mousedown', VeltraneKeys.onMouseDown);
                canvas[change]('contextmenu', VeltraneKeys.preventDefault);
            }
            VeltraneKeys.listening = on;
        },

        preventDefault: function(event) {
            event.preventDefault();
        },
    },

    vl_keys_start__deps: ['$VeltraneKeys'],
    vl_keys_start__sig: 'v',
    vl_keys_start: function() {
        if (!VeltraneKeys.listening) {
            VeltraneKeys.listen(true);
        }
    },

    vl_keys_stop__deps: ['$VeltraneKeys'],
    vl_keys_stop__sig: 'v',
    vl_keys_stop: function() {
        if (VeltraneKeys.listening) {
            VeltraneKeys.listen(false);
        }
        VeltraneKeys.reports = [];
        VeltraneKeys.held = {};
        VeltraneKeys.buttons = 0;
    },

    vl_keys_take__deps: ['$VeltraneKeys'],
    vl_keys_take__sig: 'iii',
    vl_keys_take: function(reports, max) {
        var taken = VeltraneKeys.reports.splice(0, max);
        for (var i = 0; i < taken.length; i++) {
            HEAPF64.set(taken[i], (reports >> 3) + i * 5);
        }
        return taken.length;
    },

    vl_keys_held__deps: ['$VeltraneKeys'],
    vl_keys_held__sig: 'viiii',
    vl_keys_held: function(keys, count, buttons, xy) {
        HEAPU8.fill(0, keys, keys + count);
        Object.keys(VeltraneKeys.held).forEach(function(code) {
            var key = VeltraneKeys.held[code];
            if (key >= 0 && key < count) {
                HEAPU8[keys + key] = 1;
            }
        });
        HEAP32[buttons >> 2] = VeltraneKeys.buttons;
        HEAPF64[xy >> 3] = VeltraneKeys.x;
        HEAPF64[(xy >> 3) + 1] = VeltraneKeys.y;
    },
});
