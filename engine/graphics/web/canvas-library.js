// SPDX-License-Identifier: MIT
// The page's canvas, painted cell by cell from the frame the display keeps (DisplayCanvas.cpp), in the
// game's own font. Each cell is painted where the window paints it: its background a tenth of a cell
// left and a fifth down of its corner, its glyph on the baseline one character size below the corner,
// squeezed sideways to end before the next cell's background. A cell's background covers the glyphs of
// the cells before it, so a changed cell is repainted together with those it overlaps.
mergeInto(LibraryManager.library, {
    $VeltraneCanvas__deps: ['$FS'],
    // For tests: the characters the canvas shows, one string per row, and whether its font is in use.
    // For figures: when the first frame was painted, in milliseconds since the page's navigation began.
    $VeltraneCanvas__postset: 'Module["veltraneShownText"] = VeltraneCanvas.shownText; ' +
                              'Module["veltraneFontReady"] = function() { return VeltraneCanvas.fontReady; }; ' +
                              'Module["veltraneFirstFrame"] = function() { return VeltraneCanvas.firstFrame; };',
    $VeltraneCanvas: {
        FONT_FAMILY: 'VeltraneFont',
        context: null,
        columns: 0,
        rows: 0,
        cellWidth: 0,
        cellHeight: 0,
        size: 0,
        ratio: 1,
        glyphScale: 1,
        repaint: false,
        fontReady: false,
        firstFrame: null,
        STROKE: 0.7,  // pixels of outline: the window's emboldened glyphs, closest (docs/web.md)
        chars: null,  // what the canvas shows, cell by cell
        inks: null,
        backs: null,
        clear: 0,
        styles: {},

        style: function(rgb) {
            var style = VeltraneCanvas.styles[rgb];
            if (style === undefined) {
                style = '#' + (0x1000000 + rgb).toString(16).substring(1);
                VeltraneCanvas.styles[rgb] = style;
            }
            return style;
        },

        // As the window fits its glyphs: the widest printable one ends half a pixel before nine tenths
        // of a cell.
        measureGlyphScale: function() {
            var c = VeltraneCanvas.context;
            c.setTransform(1, 0, 0, 1, 0, 0);
            var widest = 0;
            for (var code = 33; code <= 126; code++) {
                widest = Math.max(widest, c.measureText(String.fromCharCode(code)).actualBoundingBoxRight);
            }
            var room = VeltraneCanvas.cellWidth * 0.9 - 0.5;
            VeltraneCanvas.glyphScale = widest > room ? room / widest : 1;
        },

        shownText: function() {
            var v = VeltraneCanvas;
            var rows = [];
            for (var row = 0; row < v.rows; row++) {
                rows.push(String.fromCharCode.apply(null, v.chars.subarray(row * v.columns, (row + 1) * v.columns)));
            }
            return rows;
        },

        inGrid: function(column, row) {
            return column >= 0 && row >= 0 && column < VeltraneCanvas.columns && row < VeltraneCanvas.rows;
        },

        background: function(column, row) {
            var v = VeltraneCanvas;
            var x = column * v.cellWidth - v.cellWidth / 10;
            var y = row * v.cellHeight + v.cellHeight / 5;
            v.context.fillStyle = v.style(v.inGrid(column, row) ? v.backs[row * v.columns + column] : v.clear);
            v.context.fillRect(x, y, v.cellWidth, v.cellHeight);
        },

        glyph: function(column, row) {
            var v = VeltraneCanvas;
            if (!v.inGrid(column, row)) {
                return;
            }
            var index = row * v.columns + column;
            if (v.chars[index] <= 32) {
                return;
            }
            var c = v.context;
            c.fillStyle = v.style(v.inks[index]);
            c.setTransform(v.ratio * v.glyphScale, 0, 0, v.ratio, v.ratio * column * v.cellWidth,
                           v.ratio * (row * v.cellHeight + v.size));
            // Emboldened as the window's glyphs are: filled, and outlined in the same colour.
            c.strokeStyle = c.fillStyle;
            c.lineWidth = v.STROKE;
            c.fillText(String.fromCharCode(v.chars[index]), 0, 0);
            c.strokeText(String.fromCharCode(v.chars[index]), 0, 0);
            c.setTransform(v.ratio, 0, 0, v.ratio, 0, 0);
        },

        // The whole frame in the window's order: each cell's background, then its glyph.
        paintAll: function() {
            var v = VeltraneCanvas;
            v.context.fillStyle = v.style(v.clear);
            v.context.fillRect(0, 0, v.columns * v.cellWidth, v.rows * v.cellHeight);
            for (var row = 0; row < v.rows; row++) {
                for (var column = 0; column < v.columns; column++) {
                    v.background(column, row);
                    v.glyph(column, row);
                }
            }
        },

        // One cell's background box as the window leaves it: the background, its own glyph and the
        // glyphs of the later cells that reach into it.
        paintBox: function(column, row) {
            var v = VeltraneCanvas;
            var c = v.context;
            c.save();
            c.beginPath();
            c.rect(column * v.cellWidth - v.cellWidth / 10, row * v.cellHeight + v.cellHeight / 5, v.cellWidth,
                   v.cellHeight);
            c.clip();
            v.background(column, row);
            v.glyph(column, row);
            v.glyph(column + 1, row);
            v.glyph(column - 1, row + 1);
            v.glyph(column, row + 1);
            v.glyph(column + 1, row + 1);
            c.restore();
        },
    },

    vl_canvas_open__deps: ['$VeltraneCanvas'],
    vl_canvas_open__sig: 'iiiiiii',
    vl_canvas_open: function(columns, rows, width, height, fontPath, size) {
        var v = VeltraneCanvas;
        var canvas = Module['canvas'] || document.getElementById('canvas');
        if (!canvas || !canvas.getContext) {
            return -1;
        }
        v.ratio = window.devicePixelRatio || 1;
        canvas.width = Math.round(width * v.ratio);
        canvas.height = Math.round(height * v.ratio);
        canvas.style.aspectRatio = width + ' / ' + height;
        v.context = canvas.getContext('2d', {alpha: false});
        v.columns = columns;
        v.rows = rows;
        v.cellWidth = width / columns;
        v.cellHeight = height / rows;
        v.size = size;
        v.chars = new Uint8Array(columns * rows).fill(32);
        v.inks = new Uint32Array(columns * rows);
        v.backs = new Uint32Array(columns * rows);
        var bytes = FS.readFile(UTF8ToString(fontPath));
        var face = new FontFace(v.FONT_FAMILY, bytes.slice().buffer);
        document.fonts.add(face);
        var font = size + 'px ' + v.FONT_FAMILY + ', monospace';
        v.context.font = font;
        v.context.textBaseline = 'alphabetic';
        v.measureGlyphScale();
        face.load().then(function() {
            v.context.font = font;
            v.measureGlyphScale();
            v.fontReady = true;
            v.repaint = true;
        }, function(error) {
            console.error('Veltrane: the browser cannot use the font ' + UTF8ToString(fontPath) + ': ' + error);
        });
        v.context.setTransform(v.ratio, 0, 0, v.ratio, 0, 0);
        return 0;
    },

    vl_canvas_paint__deps: ['$VeltraneCanvas'],
    vl_canvas_paint__sig: 'viiii',
    vl_canvas_paint: function(cells, count, clear, full) {
        var v = VeltraneCanvas;
        var words = HEAPU32.subarray(cells >> 2, (cells >> 2) + count * 4);
        v.clear = clear >>> 0;
        var dirty = {};
        for (var i = 0; i < count; i++) {
            var index = words[i * 4];
            v.chars[index] = words[i * 4 + 1];
            v.inks[index] = words[i * 4 + 2];
            v.backs[index] = words[i * 4 + 3];
            var column = index % v.columns;
            var row = (index - column) / v.columns;
            // This cell's box, and the boxes of the earlier cells its glyph reaches into.
            [[0, 0], [-1, 0], [-1, -1], [0, -1], [1, -1]].forEach(function(d) {
                dirty[(row + d[1] + 1) * (v.columns + 2) + column + d[0] + 1] = [column + d[0], row + d[1]];
            });
        }
        // Past a quarter of the cells, the whole frame in order costs less than the boxes one by one.
        if (full || count * 4 > v.columns * v.rows) {
            v.paintAll();
            if (v.firstFrame === null) {
                v.firstFrame = performance.now();
            }
            return;
        }
        Object.keys(dirty).forEach(function(key) {
            var box = dirty[key];
            if (box[0] >= 0) {
                v.paintBox(box[0], box[1]);
            }
        });
    },

    vl_canvas_take_repaint__deps: ['$VeltraneCanvas'],
    vl_canvas_take_repaint__sig: 'i',
    vl_canvas_take_repaint: function() {
        var repaint = VeltraneCanvas.repaint;
        VeltraneCanvas.repaint = false;
        return repaint ? 1 : 0;
    },

    vl_canvas_close__deps: ['$VeltraneCanvas'],
    vl_canvas_close__sig: 'v',
    vl_canvas_close: function() {
        VeltraneCanvas.context = null;
    },
});
