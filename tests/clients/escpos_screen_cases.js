#!/usr/bin/env node
// Drives the npm package escpos-screen as a till program would and writes the bytes it sends.
// Usage: node escpos_screen_cases.js NODE_MODULES CASE OUTPUT
//        node escpos_screen_cases.js NODE_MODULES --list
// Each case starts from a display just switched on; the expected screens are in rows.txt.
'use strict';

const fs = require('fs');
const path = require('path');

const [modules, caseName, output] = process.argv.slice(2);
if (!modules || !caseName || (caseName !== '--list' && !output)) {
    console.error('Usage: node escpos_screen_cases.js NODE_MODULES CASE OUTPUT');
    process.exit(2);
}
const Screen = require(path.join(modules, 'escpos-screen'));

// The adapter a program gives the library: here every write is kept instead of sent to a port.
class BufferAdapter {
    constructor() { this.chunks = []; }
    write(data, callback) {
        this.chunks.push(Buffer.from(data));
        if (callback) callback(null);
    }
    close(callback) { if (callback) callback(null); }
    bytes() { return Buffer.concat(this.chunks); }
}

const cases = {
    // A receipt line and the total underneath, with the moves a till program uses.
    lines: (s) => s.clear().text('Artikel 1').moveBottom().text('Summe 11,50'),
    // Every cursor move: left, line start, line end with the eager wrap, up, down and the
    // absolute move, which counts columns and rows from 1.
    moves: (s) => s.clear().text('ABCDE').moveLeft().moveLeft().text('x')
        .moveMaxLeft().text('>').moveMaxRight().text('<')
        .moveUp().moveDown().text('unten').move(16, 2).text('11,50'),
    // The cursor's line cleared: the cursor is at its start afterwards.
    clearLine: (s) => s.clear().text('bleibt').moveDown().moveMaxLeft().text('weg damit')
        .clearLine().text('neu'),
    // Home after text on both lines, then overwrite from the upper left.
    home: (s) => s.clear().text('12345678901234567890abc').moveHome().text('X'),
    // Overwrite mode: after the 20th character the cursor is at the start of line 2.
    overwrite: (s) => s.overwrite().clear().text('ABCDEFGHIJKLMNOPQRSTUV'),
    // Vertical scroll: a line feed on line 2 moves line 2 up and blanks it.
    verticalScroll: (s) => s.verticalScroll().clear().text('Zeile eins').moveMaxLeft()
        .moveDown().text('Zeile zwei').moveMaxLeft().moveDown().text('Zeile drei'),
    // Horizontal scroll: past the right end every character moves line 1 one to the left.
    horizontalScroll: (s) => s.horizontalScroll().clear().text('1234567890ABCDEFGHIJKLMN'),
    // Settings that change no cell: brightness, cursor, reverse, blink interval, DTR.
    settings: (s) => s.clear().brightness(2).cursor(true).reverse(false).blink(0).DTR(1)
        .text('Hell 40 %'),
    // Blinking with the largest interval switches the display off; the cells are kept.
    displayOff: (s) => s.clear().text('dunkel').blink(255),
    // Umlauts and sharp s in PC437, after a mode command that only the Epson set has.
    umlauts: (s) => s.overwrite().clear().text('Grüße, Käse: 5 Stück'),
    // A text that ends in "!", the first byte of the AEDEX attention code, and nothing after it.
    thanks: (s) => s.clear().text('Vielen Dank!'),
    // The time counter set to 12:34 and shown at the right of line 2.
    timer: (s) => s.clear().text('Uhr').timer(12, 34).displayTimer(),
};

if (caseName === '--list') {
    console.log(Object.keys(cases).join('\n'));
    process.exit(0);
}
if (!(caseName in cases)) {
    console.error(`escpos_screen_cases.js: no case "${caseName}"; cases: ${Object.keys(cases).join(', ')}`);
    process.exit(2);
}
const adapter = new BufferAdapter();
// Text in the display's power-on code table, PC437 (the library's own default is GB18030).
const screen = new Screen(adapter, { encoding: 'cp437' });
cases[caseName](screen);
screen.close(() => {
    fs.writeFileSync(output, adapter.bytes());
});
