#!/usr/bin/env node
// The peer side of the BER-TLV comparison: the npm packages ber-tlv and
// node-tlv parse and compile the bundled DE 55 sample (examples/emv/de55.msg,
// 18 primitive EMV tags in 113 bytes), each for a fixed wall time in this one
// process, and one JSON line reports
//   {"ber_tlv_parse_per_s", "ber_tlv_compile_per_s", "ber_tlv_same_bytes",
//    "node_tlv_parse_per_s", "node_tlv_compile_per_s", "node_tlv_same_bytes",
//    "tags", "bytes", ...}
//
//   node --single-threaded bench/peer/tlv_peer.js <scratch folder> [seconds]
//
// The scratch folder is the one given to bench/peer/install_tlv.sh; the
// packages are in its subfolder tlv/. --single-threaded for the reason told
// in iso8583_peer.js: node's background threads make the rates swing on a
// small machine, and on the main thread alone each package is at its best.
//
// What is timed:
// - parse: the sample's bytes to the package's tag objects.
//   ber-tlv: TlvFactory.parse(buffer), a tag as hex text and a value as a
//   Buffer copy per item.
//   node-tlv: TLV.parse on each item in turn, stepping by its getSize().
//   TLV.parseList does the same inside a wrapper TLV of tag 20 that first
//   turns the whole list into hex text; the loop is a few per cent faster,
//   so the package is timed that way. Every value is held as hex text, and
//   each tag is looked up in its EMV dictionary for a name and describer.
// - compile: the tag objects, parsed once before timing, back to bytes.
//   ber-tlv: TlvFactory.serialize(items), which gives a Buffer.
//   node-tlv: it has no way to write a list to bytes; each object's getTLV()
//   gives its tag, length and value as hex text, so the texts are joined and
//   decoded with Buffer.from(text, 'hex').
// Both write each length in its shortest form, which the sample uses, so
// both give the sample's bytes back. A sample with a longer length form than
// needed (81 05 for 5) would come back shorter from ber-tlv, and node-tlv
// could not read it at all: its getSize() counts the shortest form, not the
// bytes read, so both the loop and TLV.parseList lose their place after such
// a tag. "*_same_bytes" says whether a package's compile gave exactly the
// sample; it is reported, not required.
// Parsing must find every tag of the sample with its value, in order, or the
// script fails: it is checked once per package before timing against a plain
// walk of the bytes here.
'use strict';

const fs = require('fs');
const path = require('path');
const {rate, workDone} = require('./timing');

const scratch = process.argv[2];
const seconds = Number(process.argv[3] || 2);
if (!scratch) {
    console.error('usage: tlv_peer.js <scratch folder> [seconds]');
    process.exit(2);
}

const modules = path.join(path.resolve(scratch), 'tlv', 'node_modules');
const BerTlv = require(path.join(modules, 'ber-tlv'));
const NodeTlv = require(path.join(modules, 'node-tlv'));
const berTlvVersion = require(path.join(modules, 'ber-tlv', 'package.json')).version;
const nodeTlvVersion = require(path.join(modules, 'node-tlv', 'package.json')).version;

const sample = fs.readFileSync(path.join(__dirname, '..', '..', 'examples', 'emv', 'de55.msg'));

function fail(what) {
    console.error('tlv_peer: ' + what);
    process.exit(1);
}

// The sample's tags and values as upper-case hex, read without either
// package: multi-byte tags, short and long length forms. The sample is one
// flat list of primitive tags, so a constructed tag is refused rather than
// walked.
function walk(bytes) {
    const items = [];
    let at = 0;
    while (at < bytes.length) {
        const tagStart = at;
        if ((bytes[at++] & 0x1f) === 0x1f) {
            while (at < bytes.length && (bytes[at] & 0x80)) at++;
            at++;
        }
        const tagEnd = at;
        if ((bytes[tagStart] & 0x20) !== 0) fail('the sample has a constructed tag at byte ' + tagStart);
        let length = bytes[at++];
        if (length & 0x80) {
            const count = length & 0x7f;
            length = 0;
            for (let i = 0; i < count; i++) length = length * 256 + bytes[at++];
        }
        if (at > bytes.length || at + length > bytes.length) fail('the sample is cut short at byte ' + tagStart);
        items.push({
            tag: bytes.subarray(tagStart, tagEnd).toString('hex').toUpperCase(),
            value: bytes.subarray(at, at + length).toString('hex').toUpperCase(),
        });
        at += length;
    }
    return items;
}
const wanted = walk(sample);

// A package that throws on the sample fails the run with its message.
function parsedOnce(name, parse) {
    try {
        return parse();
    } catch (error) {
        fail(name + ' cannot parse the sample: ' + (error && error.message));
    }
}

// ber-tlv
const {TlvFactory} = BerTlv;
const berParse = () => TlvFactory.parse(sample);
const berItems = parsedOnce('ber-tlv', berParse);
const berCompile = () => TlvFactory.serialize(berItems);

// node-tlv
function nodeParse() {
    const items = [];
    for (let at = 0; at < sample.length;) {
        const item = NodeTlv.parse(sample.subarray(at));
        items.push(item);
        at += item.getSize();
    }
    return items;
}
const nodeItems = parsedOnce('node-tlv', nodeParse);
function nodeCompile() {
    let text = '';
    for (let i = 0; i < nodeItems.length; i++) text += nodeItems[i].getTLV();
    return Buffer.from(text, 'hex');
}

// Checked once before timing: every tag with its value, in order, and no
// other; then whether compiling gives the sample back.
function check(name, items, toTag, toValue) {
    const got = items.map((item) => toTag(item) + '=' + toValue(item)).join(' ');
    const want = wanted.map((item) => item.tag + '=' + item.value).join(' ');
    if (got !== want) fail(name + ' parsed the sample as\n  ' + got + '\nnot\n  ' + want);
}
check('ber-tlv', berItems, (item) => item.tag.toUpperCase(),
      (item) => item.value.toString('hex').toUpperCase());
check('node-tlv', nodeItems, (item) => item.getTag().toUpperCase(),
      (item) => item.getValue().toUpperCase());
const berSameBytes = berCompile().equals(sample);
const nodeSameBytes = nodeCompile().equals(sample);


const berParseOnce = () => berParse().length;
const berCompileOnce = () => berCompile().byteLength;
const nodeParseOnce = () => nodeParse().length;
const nodeCompileOnce = () => nodeCompile().byteLength;

// Long enough for the hot paths to reach node's optimising compiler.
const warmUp = Math.min(2, seconds);
rate(berParseOnce, warmUp);
rate(berCompileOnce, warmUp);
rate(nodeParseOnce, warmUp);
rate(nodeCompileOnce, warmUp);
const result = {
    ber_tlv_parse_per_s: Math.round(rate(berParseOnce, seconds)),
    ber_tlv_compile_per_s: Math.round(rate(berCompileOnce, seconds)),
    ber_tlv_same_bytes: berSameBytes,
    node_tlv_parse_per_s: Math.round(rate(nodeParseOnce, seconds)),
    node_tlv_compile_per_s: Math.round(rate(nodeCompileOnce, seconds)),
    node_tlv_same_bytes: nodeSameBytes,
    tags: wanted.length,
    bytes: sample.byteLength,
    ber_tlv_version: berTlvVersion,
    node_tlv_version: nodeTlvVersion,
    node: process.version,
};
if (!workDone()) fail('no work done');
console.log(JSON.stringify(result));
