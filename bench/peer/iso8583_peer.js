#!/usr/bin/env node
// The peer side of the ISO 8583 comparison: the npm package iso_8583 builds
// and parses the bundled ascii sample (examples/iso8583/ascii.msg), each for
// a fixed wall time in this one process, and one JSON line reports
//   {"parse_per_s", "compile_per_s", "bytes", "same_bytes", ...}
//
//   node --single-threaded bench/peer/iso8583_peer.js <scratch folder> [seconds]
//
// The scratch folder is where bench/peer/install_iso8583.sh put the package.
// payfmt_bench runs it with --single-threaded: with node's background GC and
// compiler threads its rates swung between runs on a two-core machine (parse
// 50k to 85k/s); on the main thread alone they are steady and higher, so
// the package is measured at its best.
//
// What the package can and cannot write like the sample:
// - MTI 0200 as 4 ASCII digits, both bitmaps as 16 binary bytes (it always
//   sends the secondary one; the sample needs it for DE 102), fixed fields
//   as ASCII, LLVAR/LLLVAR lengths as ASCII digits: the same bytes.
// - Fixed binary fields are hex text in its field values (DE 52 by default,
//   DE 64 given a custom format of 16 hex characters): 8 raw bytes each on
//   the wire, the same bytes.
// - DE 55 (113 raw EMV TLV bytes) differs: the package writes variable
//   fields from JS strings as UTF-8 and reads them back as UTF-8, so raw
//   bytes of 0x80 and above cannot go through a variable field. It is sent
//   as hex text instead (LLL 226), 113 bytes longer than the sample; every
//   other byte is as in ascii.msg.
// Parsing times the bytes the package built, so that every field decodes
// back to its value (checked once before timing). "parse_sample_per_s"
// times the package reading ascii.msg itself, where it finds every field
// but can only decode DE 55 as lossy UTF-8.
'use strict';

const fs = require('fs');
const path = require('path');
const {rate, workDone} = require('./timing');

const scratch = process.argv[2];
const seconds = Number(process.argv[3] || 2);
if (!scratch) {
    console.error('usage: iso8583_peer.js <scratch folder> [seconds]');
    process.exit(2);
}

const Iso8583 = require(path.join(path.resolve(scratch), 'node_modules', 'iso_8583'));
const peerVersion = require(path.join(path.resolve(scratch), 'node_modules', 'iso_8583', 'package.json')).version;

const examples = path.join(__dirname, '..', '..', 'examples', 'iso8583');
const sample = fs.readFileSync(path.join(examples, 'ascii.msg'));

// ascii.fields.txt: bit, name, value as IStr text (printable ASCII as
// itself, any other byte and '#' as '#' and two hex digits).
function istrBytes(text) {
    const out = [];
    for (let i = 0; i < text.length; i++) {
        if (text[i] === '#') {
            out.push(parseInt(text.substr(i + 1, 2), 16));
            i += 2;
        } else {
            out.push(text.charCodeAt(i));
        }
    }
    return Buffer.from(out);
}

const sampleFields = new Map();
for (const line of fs.readFileSync(path.join(examples, 'ascii.fields.txt'), 'latin1').split('\n')) {
    if (!line) continue;
    const [bit, , value] = line.split('\t');
    sampleFields.set(Number(bit), istrBytes(value));
}

// Binary fields travel as hex text in the package's field values.
const binaryFields = new Set([52, 55, 64]);

const data = {};
for (const [bit, bytes] of sampleFields) {
    if (bit === 0 || bit === 1) continue;  // the package makes the bitmaps
    const key = bit === -1 ? 0 : bit;
    data[key] = binaryFields.has(bit) ? bytes.toString('hex') : bytes.toString('latin1');
}

// Its defaults cover the other fields as the sample has them; DE 64 is 4
// bytes there, and DE 55 is declared binary (it stays hex text on the wire).
const customFormats = {
    '55': {ContentType: 'b', Label: 'ICC data', LenType: 'lllvar', MaxLen: 999},
    '64': {ContentType: 'b', Label: 'Message authentication code', LenType: 'fixed', MaxLen: 16},
};
const unpackConfig = {lenHeader: false};  // the sample has no length header

function compile() {
    return new Iso8583(data, customFormats).getRawMessage();
}

// One parser serves every message: it keeps no state between messages.
const parser = new Iso8583(undefined, customFormats);
function parse(bytes) {
    return parser.getIsoJSON(bytes, unpackConfig);
}

function fail(what) {
    console.error('iso8583_peer: ' + what);
    process.exit(1);
}

// Checked once before timing: the build succeeds, and parsing it gives back
// every field with its value and no other.
const built = compile();
if (!Buffer.isBuffer(built)) fail('build failed: ' + JSON.stringify(built));
const parsed = parse(built);
if (parsed.error) fail('parse failed: ' + parsed.error);
const wanted = Object.keys(data).sort().join(',');
if (Object.keys(parsed).sort().join(',') !== wanted) fail('parse gave fields ' + Object.keys(parsed));
for (const key of Object.keys(data)) {
    if (parsed[key] !== data[key]) fail('field ' + key + ' parsed as ' + JSON.stringify(parsed[key]));
}
const fromSample = parse(sample);
if (fromSample.error || Object.keys(fromSample).sort().join(',') !== wanted) fail('the sample does not parse');


const parseBuilt = () => parse(built)[102].length;
const parseSample = () => parse(sample)[102].length;
const compileOnce = () => compile().byteLength;

// Long enough for the hot paths to reach node's optimising compiler.
const warmUp = Math.min(2, seconds);
rate(parseBuilt, warmUp);
rate(parseSample, warmUp);
rate(compileOnce, warmUp);
const result = {
    parse_per_s: Math.round(rate(parseBuilt, seconds)),
    compile_per_s: Math.round(rate(compileOnce, seconds)),
    bytes: built.byteLength,
    same_bytes: built.equals(sample),
    sample_bytes: sample.byteLength,
    parse_sample_per_s: Math.round(rate(parseSample, seconds)),
    version: peerVersion,
    node: process.version,
};
if (!workDone()) fail('no work done');
console.log(JSON.stringify(result));
