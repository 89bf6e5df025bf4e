#!/usr/bin/env node
// The peer side of the EDIFACT comparison: the npm packages edifact and
// ts-edifact parse the bundled PAYMUL interchange (examples/edifact/
// paymul.msg: the UNA service string advice and 34 segments, 850 bytes),
// each for a fixed wall time in this one process, and one JSON line reports
//   {"edifact_parse_per_s", "ts_edifact_parse_per_s", "segments", "bytes",
//    "edifact_segments", "ts_edifact_segments", ...}
//
//   node --single-threaded bench/peer/edifact_peer.js <scratch folder> [seconds]
//
// The scratch folder is the one given to bench/peer/install_edifact.sh; the
// packages are in its subfolder edifact/. --single-threaded for the reason
// told in iso8583_peer.js.
//
// What is timed: parse only, the sample's text (read once, as a string) to
// the package's segment objects, {name, elements: [[component, ...], ...]}.
// Neither package can write EDIFACT: edifact lists writing as a plan, and
// ts-edifact's InterchangeBuilder only groups parsed segments into objects.
// So there are no compile rates, and payfmt's compile stands alone.
// - edifact: Reader.parse(text) on one Reader, as its README shows. The
//   Reader takes the character set from UNB (UNOC here) and validates with
//   the segment and element definitions the package bundles; those cover
//   BGM, DTM, RFF, NAD, LIN, MOA, FTX, CNT, UNT and UNZ of this sample, and
//   it lets FII, SEQ, UNB and UNH's elements through unchecked.
// - ts-edifact: a Parser with a ValidatorImpl, on the event hooks its README
//   shows, collecting the same objects. It ships no PAYMUL definitions; the
//   nearest directory it has is D.96A, for INVOIC, which defines every
//   segment of the sample but SEQ, and the service segments come from its
//   own defaults. SEQ and its composite C286 are added here in the same
//   form (an..3; an..6, an..3, an..3, an..3), since the validator warns on
//   the console for each segment it has no definition for, on every parse.
//   So every segment is validated. The charset is set to UNOC once before
//   timing, as its README does (on its default UNOA it stops at the '%' in
//   FTX); its own Reader takes it from UNB but cannot be reused, as its
//   result list only grows.
// Both skip the UNA advice rather than report it as a segment: they read
// the separators from it and start at UNB. Parsing must give every segment
// of the sample in order, and the released separators in the RFF, FII and
// FTX values, or the script fails: it is checked once per package before
// timing.
'use strict';

const fs = require('fs');
const path = require('path');
const {rate, workDone} = require('./timing');

const scratch = process.argv[2];
const seconds = Number(process.argv[3] || 2);
if (!scratch) {
    console.error('usage: edifact_peer.js <scratch folder> [seconds]');
    process.exit(2);
}

const modules = path.join(path.resolve(scratch), 'edifact', 'node_modules');
const Edifact = require(path.join(modules, 'edifact'));
// ts-edifact's index loads its directory downloader, which needs
// htmlparser2, a package it lists only for its own development: from npm,
// require('ts-edifact') fails. Its parsing modules load on their own.
const tsLibDir = path.join(modules, 'ts-edifact', 'lib');
const tsLib = (name) => require(path.join(tsLibDir, name));
const edifactVersion = require(path.join(modules, 'edifact', 'package.json')).version;
const tsEdifactVersion = require(path.join(modules, 'ts-edifact', 'package.json')).version;

const sample = fs.readFileSync(path.join(__dirname, '..', '..', 'examples', 'edifact', 'paymul.msg'), 'latin1');

function fail(what) {
    console.error('edifact_peer: ' + what);
    process.exit(1);
}

// The sample's segment tags, read without either package: after the UNA
// advice, a segment is a three-letter tag up to the next terminator that the
// release character does not escape. The sample keeps the default
// separators, so its UNA need not be read.
if (!sample.startsWith("UNA:+.? '")) fail('the sample does not start with the default UNA advice');
const wantedTags = [];
for (let at = 9, start = 9; at < sample.length; at++) {
    if (sample[at] === '?') at++;
    else if (sample[at] === "'") {
        wantedTags.push(sample.slice(start, start + 3));
        start = at + 1;
    }
}
// Values that only come out right when the release character is honoured.
const released = ['BATCH+2026:12', "ACME TRADING O'BRIEN", 'INVOICE 4711: PARTS', 'Q?A 50%'];

// A package that throws on the sample fails the run with its message.
function parsedOnce(name, parse) {
    try {
        return parse();
    } catch (error) {
        fail(name + ' cannot parse the sample: ' + (error && error.message));
    }
}

// edifact
const reader = new Edifact.Reader({autoDetectEncoding: true});
const edifactParse = () => reader.parse(sample);
const edifactSegments = parsedOnce('edifact', edifactParse);

// ts-edifact
const {Parser} = tsLib('parser');
const {Configuration} = tsLib('configuration');
const {ValidatorImpl, Dictionary} = tsLib('validator');
const {SegmentTableBuilder} = tsLib('segments');
const {ElementTableBuilder} = tsLib('elements');
// The folder of message definitions it ships, found by the D.96A INVOIC ones.
const tables = fs.readdirSync(tsLibDir).map((name) => path.join(tsLibDir, name))
    .find((dir) => fs.existsSync(path.join(dir, 'D96A_INVOIC.segments.json')));
if (!tables) fail('ts-edifact ships no D96A_INVOIC definitions');
const segmentTable = new Dictionary(require(path.join(tables, 'D96A_INVOIC.segments.json')));
const elementTable = new Dictionary(require(path.join(tables, 'D96A_INVOIC.elements.json')));
segmentTable.add('SEQ', {requires: 0, elements: ['1245', 'C286']});
elementTable.add('1245', {requires: 0, components: ['an..3']});
elementTable.add('C286', {requires: 1, components: ['an..6', 'an..3', 'an..3', 'an..3']});
const validator = new ValidatorImpl();
validator.define(SegmentTableBuilder.enrichWithDefaultSegments(segmentTable));
validator.define(ElementTableBuilder.enrichWithDefaultElements(elementTable));
const parser = new Parser(new Configuration({validator}));
let collected, elements, components;
parser.onOpenSegment = (segment) => collected.push({name: segment, elements: (elements = [])});
parser.onElement = () => elements.push((components = []));
parser.onComponent = (value) => components.push(value);
parser.onCloseSegment = () => {};
parser.updateCharset('UNOC');
function tsEdifactParse() {
    collected = [];
    parser.write(sample);
    parser.end();
    return collected;
}
const tsEdifactSegments = parsedOnce('ts-edifact', tsEdifactParse);

// Checked once before timing: every segment in order, and the values with
// released separators among the components.
function check(name, segments) {
    const tags = segments.map((s) => s.name);
    const want = tags[0] === 'UNA' ? ['UNA', ...wantedTags] : wantedTags;
    if (tags.join(' ') !== want.join(' '))
        fail(name + ' parsed the segments\n  ' + tags.join(' ') + '\nnot\n  ' + want.join(' '));
    const values = new Set(segments.flatMap((s) => s.elements.flat()));
    for (const value of released)
        if (!values.has(value)) fail(name + ' did not give the value ' + JSON.stringify(value));
    return segments.length;
}
const edifactCount = check('edifact', edifactSegments);
const tsEdifactCount = check('ts-edifact', tsEdifactSegments);

const edifactParseOnce = () => edifactParse().length;
const tsEdifactParseOnce = () => tsEdifactParse().length;

// Long enough for the hot paths to reach node's optimising compiler.
const warmUp = Math.min(2, seconds);
rate(edifactParseOnce, warmUp);
rate(tsEdifactParseOnce, warmUp);
const result = {
    edifact_parse_per_s: Math.round(rate(edifactParseOnce, seconds)),
    ts_edifact_parse_per_s: Math.round(rate(tsEdifactParseOnce, seconds)),
    segments: wantedTags.length + 1,  // UNA counted, as payfmt's tree holds it
    edifact_segments: edifactCount,
    ts_edifact_segments: tsEdifactCount,
    bytes: Buffer.byteLength(sample, 'latin1'),
    edifact_version: edifactVersion,
    ts_edifact_version: tsEdifactVersion,
    node: process.version,
};
if (!workDone()) fail('no work done');
console.log(JSON.stringify(result));
