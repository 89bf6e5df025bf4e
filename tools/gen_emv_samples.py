#!/usr/bin/env python3
"""Builds the EMV sample messages of examples/emv/.

The messages are put together from tag/value lists by the plain BER-TLV rules
of ISO/IEC 8825-1 as EMV uses them, with nothing but the Python standard
library, so that they serve as an independent reference for the definition
tree emv.json next to them:

    tags     1 to 3 bytes; a first byte whose low 5 bits are all set is
             followed by more tag bytes, and each following byte with bit 8
             set by one more. Bit 6 of the first byte marks a constructed
             element, whose value is a series of elements itself.
    lengths  one byte below 128, else 81 and one byte, or 82 and two bytes
             big-endian.

It writes

    de55.msg        DE 55 of an authorisation request: the chip data of the
                    ascii sample in examples/iso8583, byte for byte
    fci.msg         the FCI of a SELECT response, three levels deep:
                    6F > A5 > BF0C, with the proprietary tag DF60 that the
                    tree does not define
    <name>.tags.txt one line per element, depth-first in message order:
                    path <TAB> name <TAB> value as IStr text
                    path is the tag path joined by "/", name the definition's
                    Name (the tag itself for an undefined tag), value what the
                    tree's IFO makes of the value bytes: upper-case hex digits
                    for binary and numeric elements, the text itself for text
                    elements, the bytes themselves for an undefined tag, empty
                    for a constructed element.

usage: gen_emv_samples.py [--check] [OUTDIR]
    OUTDIR defaults to examples/emv next to this script's directory.
    --check compares with the files already there instead of writing them,
    decodes the messages again, and checks emv.json against the elements of
    the samples (names, value forms, no tag defined twice).
"""

import json
import os
import re
import sys

# ---------------------------------------------------------------------------
# The elements of the samples: tag -> (name, EMV format). b binary, n numeric
# BCD, cn compressed numeric, an/ans text, t template (constructed). Binary and
# numeric values show as hexadecimal text (IFO RAW2HEX), text as itself.
# ---------------------------------------------------------------------------
ELEMENTS = {
    "50": ("ApplicationLabel", "ans"),
    "5F2A": ("TransactionCurrencyCode", "n"),
    "5F2D": ("LanguagePreference", "an"),
    "5F34": ("ApplicationPANSequenceNumber", "n"),
    "6F": ("FCITemplate", "t"),
    "82": ("ApplicationInterchangeProfile", "b"),
    "84": ("DedicatedFileName", "b"),
    "87": ("ApplicationPriorityIndicator", "b"),
    "95": ("TerminalVerificationResults", "b"),
    "9A": ("TransactionDate", "n"),
    "9C": ("TransactionType", "n"),
    "9F02": ("AmountAuthorised", "n"),
    "9F03": ("AmountOther", "n"),
    "9F10": ("IssuerApplicationData", "b"),
    "9F11": ("IssuerCodeTableIndex", "n"),
    "9F12": ("ApplicationPreferredName", "ans"),
    "9F1A": ("TerminalCountryCode", "n"),
    "9F26": ("ApplicationCryptogram", "b"),
    "9F27": ("CryptogramInformationData", "b"),
    "9F33": ("TerminalCapabilities", "b"),
    "9F34": ("CardholderVerificationMethodResults", "b"),
    "9F35": ("TerminalType", "n"),
    "9F36": ("ApplicationTransactionCounter", "b"),
    "9F37": ("UnpredictableNumber", "b"),
    "9F38": ("ProcessingOptionsDataObjectList", "b"),
    "9F4D": ("LogEntry", "b"),
    "A5": ("FCIProprietaryTemplate", "t"),
    "BF0C": ("FCIIssuerDiscretionaryData", "t"),
}
TEXT_FORMATS = ("an", "ans")

# ---------------------------------------------------------------------------
# Sample messages: lists of (tag, value); a value is bytes, str for text, or
# a list of elements for a constructed tag.
# ---------------------------------------------------------------------------
h = bytes.fromhex

# The chip data of a EUR 125.00 purchase, 9 December 2025, in Germany.
DE55 = [
    ("9F26", h("7A3C1D9E5B2F8046")),    # application cryptogram (ARQC)
    ("9F27", h("80")),                  # cryptogram information data: ARQC
    ("9F10", h("06010A03A00000")),      # issuer application data
    ("9F37", h("5D8E2A71")),            # unpredictable number
    ("9F36", h("0027")),                # application transaction counter
    ("95", h("0000008000")),            # terminal verification results
    ("9A", h("251209")),                # transaction date YYMMDD
    ("9C", h("00")),                    # transaction type: purchase
    ("9F02", h("000000012500")),        # amount, authorised
    ("5F2A", h("0978")),                # transaction currency code: EUR
    ("82", h("3C00")),                  # application interchange profile
    ("9F1A", h("0276")),                # terminal country code: Germany
    ("9F03", h("000000000000")),        # amount, other
    ("9F33", h("E0F8C8")),              # terminal capabilities
    ("9F34", h("420300")),              # CVM results
    ("9F35", h("22")),                  # terminal type: attended, offline capable
    ("84", h("A0000000031010")),        # dedicated file name
    ("5F34", h("01")),                  # PAN sequence number
]

# DE 55 of examples/iso8583/ascii.msg; both examples carry the same chip data.
ISO8583_DE55 = h(
    "9f26087a3c1d9e5b2f80469f2701809f100706010a03a000009f37045d8e2a719f3602"
    "0027950500000080009a032512099c01009f02060000000125005f2a02097882023c00"
    "9f1a0202769f03060000000000009f3303e0f8c89f34034203009f3501228407a00000"
    "000310105f340101")

# The answer to SELECT of a credit application.
FCI = [
    ("6F", [
        ("84", h("A0000000031010")),
        ("A5", [
            ("50", "BANK CREDIT"),
            ("87", h("01")),
            # PDOL: TTQ (4 bytes), amount (6), unpredictable number (4),
            # currency code (2); a DOL is tags and lengths only
            ("9F38", h("9F66049F02069F37045F2A02")),
            ("5F2D", "ende"),
            ("9F11", h("01")),
            ("9F12", "CREDITO BANCARIO"),
            ("BF0C", [
                ("9F4D", h("0B0A")),    # transaction log: SFI 11, 10 records
                ("DF60", h("0123")),    # issuer proprietary, not in emv.json
            ]),
        ]),
    ]),
]

SAMPLES = {"de55": DE55, "fci": FCI}


# ---------------------------------------------------------------------------
# BER-TLV encoding
# ---------------------------------------------------------------------------
def tag_bytes(tag):
    """The bytes of a tag written as hex, checked to be one whole tag."""
    raw = bytes.fromhex(tag)
    more = raw[0] & 0x1F == 0x1F
    for i, b in enumerate(raw[1:], 1):
        if not more:
            raise ValueError("tag %s: ends after %d byte(s)" % (tag, i))
        more = bool(b & 0x80)
    if more or len(raw) > 3:
        raise ValueError("tag %s: not a whole tag of 1 to 3 bytes" % tag)
    return raw


def constructed(tag):
    return bool(tag_bytes(tag)[0] & 0x20)


def length_bytes(n):
    if n < 0x80:
        return bytes([n])
    if n < 0x100:
        return bytes([0x81, n])
    if n < 0x10000:
        return bytes([0x82, n >> 8, n & 0xFF])
    raise ValueError("length %d needs more than two bytes" % n)


def value_bytes(value):
    return value.encode("ascii") if isinstance(value, str) else value


def encode(elements):
    out = b""
    for tag, value in elements:
        if constructed(tag) != isinstance(value, list):
            raise ValueError("tag %s: constructed tags, and only they, hold a list" % tag)
        v = encode(value) if isinstance(value, list) else value_bytes(value)
        out += tag_bytes(tag) + length_bytes(len(v)) + v
    return out


# ---------------------------------------------------------------------------
# An independent reading back, for --check: byte by byte, no shared helpers.
# ---------------------------------------------------------------------------
def decode(data):
    """[(TAG, value bytes or list of elements)]; raises on a bad message."""
    elements, i = [], 0
    while i < len(data):
        start = i
        i += 1
        if data[start] & 0x1F == 0x1F:
            while True:
                if i >= len(data):
                    raise ValueError("tag cut off at offset %d" % start)
                i += 1
                if not data[i - 1] & 0x80:
                    break
        tag = data[start:i].hex().upper()
        if i >= len(data):
            raise ValueError("tag %s without a length" % tag)
        n = data[i]
        i += 1
        if n & 0x80:
            count = n & 0x7F
            if count not in (1, 2) or i + count > len(data):
                raise ValueError("tag %s: bad length" % tag)
            n = int.from_bytes(data[i:i + count], "big")
            i += count
        if i + n > len(data):
            raise ValueError("tag %s: value runs past the end" % tag)
        value = data[i:i + n]
        i += n
        elements.append((tag, decode(value) if data[start] & 0x20 else value))
    return elements


def normalised(elements):
    return [(tag.upper(), normalised(v) if isinstance(v, list) else value_bytes(v)) for tag, v in elements]


# ---------------------------------------------------------------------------
# Listing
# ---------------------------------------------------------------------------
def istr(data):
    """IStr text: printable ASCII except "#" stands for itself, every other
    byte is "#" and two upper-case hexadecimal digits."""
    return "".join(chr(b) if 0x20 <= b <= 0x7E and b != 0x23 else "#%02X" % b for b in data)


def shown(tag, value):
    """The element's value as the tree's IFO yields it, as IStr text."""
    if isinstance(value, list):
        return ""
    data = value_bytes(value)
    if tag not in ELEMENTS:
        return istr(data)
    if ELEMENTS[tag][1] in TEXT_FORMATS:
        return istr(data)
    return data.hex().upper()


def listing(elements, path=""):
    """[(path, name, value text, tag, value)] depth-first."""
    rows = []
    for tag, value in elements:
        p = path + "/" + tag if path else tag
        name = ELEMENTS[tag][0] if tag in ELEMENTS else tag
        rows.append((p, name, shown(tag, value), tag, value))
        if isinstance(value, list):
            rows += listing(value, p)
    return rows


def outputs(name):
    elements = SAMPLES[name]
    text = "".join("%s\t%s\t%s\n" % row[:3] for row in listing(elements))
    return {name + ".msg": encode(elements), name + ".tags.txt": text.encode("ascii")}


# ---------------------------------------------------------------------------
# Checks
# ---------------------------------------------------------------------------
def mask_matches(mask, text):
    """The IFMs of the tree: N<k> or N<min>-<max> digits."""
    m = re.fullmatch(r"N(\d+)(?:-(\d+))?", mask)
    if not m:
        return False
    low = int(m.group(1))
    high = int(m.group(2) or low)
    return text.isdigit() and low <= len(text) <= high


def check_tree(path):
    """Problems of emv.json, as a list of texts."""
    try:
        with open(path, encoding="utf-8") as f:
            tree = json.load(f)
    except (OSError, ValueError) as e:
        return ["%s: %s" % (path, e)]
    problems = []
    children = tree.get("children", [])
    if tree.get("name") != "emv" or tree.get("group") is not True:
        problems.append("the root is not the group \"emv\"")
    if [c.get("props", {}).get("Tag") for c in children[-2:]] != ["TNF", "TDL"]:
        problems.append("TNF and TDL are not the last two entries")
    defs = {}
    for child in children:
        props = child.get("props", {})
        tag, name = props.get("Tag"), props.get("Name")
        if tag in defs:
            problems.append("tag %s defined more than once" % tag)
        defs[tag] = props
        if tag in ("TNF", "TDL"):
            continue
        if child.get("name") != name:
            problems.append("tag %s: entry name %r, Name %r" % (tag, child.get("name"), name))
        try:
            if tag != tag.upper() or not tag_bytes(tag):
                raise ValueError
            is_template = constructed(tag)
        except (AttributeError, ValueError):
            problems.append("%r is not a tag in upper-case hex" % tag)
            continue
        forms = (props.get("IFO"), props.get("OFO"))
        if is_template and any(k in props for k in ("IFO", "OFO", "IFM")):
            problems.append("tag %s: a template has no IFO, OFO or IFM" % tag)
        if forms not in ((None, None), ("RAW2HEX", "HEX2RAW")):
            problems.append("tag %s: IFO %r with OFO %r do not round-trip" % (tag, forms[0], forms[1]))
        if "IFM" in props and (forms[0] != "RAW2HEX" or not re.fullmatch(r"N\d+(-\d+)?", props["IFM"])):
            problems.append("tag %s: IFM %r" % (tag, props["IFM"]))
    names = [c.get("props", {}).get("Name") for c in children]
    for dup in sorted(set(n for n in names if names.count(n) > 1)):
        problems.append("name %s used more than once" % dup)

    # The sample elements against the tree: same name, same value form.
    for sample, elements in SAMPLES.items():
        for p, name, text, tag, value in listing(elements):
            props = defs.get(tag)
            if tag not in ELEMENTS:
                if props:
                    problems.append("%s: %s should be undefined" % (sample, tag))
                continue
            if not props or props.get("Name") != name:
                problems.append("%s: %s should be defined as %s" % (sample, tag, name))
                continue
            hexed = ELEMENTS[tag][1] not in TEXT_FORMATS + ("t",)
            if (props.get("IFO") == "RAW2HEX") != hexed:
                problems.append("%s: %s should %sbe read by RAW2HEX" % (sample, tag, "" if hexed else "not "))
            if hexed and bytes.fromhex(text) != value:
                problems.append("%s: %s does not round-trip" % (sample, tag))
            if "IFM" in props and not mask_matches(props["IFM"], text):
                problems.append("%s: %s value %s fails IFM %s" % (sample, tag, text, props["IFM"]))
    return problems


def check_samples(outdir):
    """Problems of the messages in outdir and of the chip data, as texts."""
    problems = []
    for name, elements in SAMPLES.items():
        try:
            with open(os.path.join(outdir, name + ".msg"), "rb") as f:
                data = f.read()
        except OSError:
            continue  # already reported as differing
        try:
            same = decode(data) == normalised(elements)
        except ValueError as e:
            problems.append("%s.msg: %s" % (name, e))
            continue
        if not same:
            problems.append("%s.msg: does not decode back to its elements" % name)
    if encode(DE55) != ISO8583_DE55:
        problems.append("de55: differs from DE 55 of the ISO 8583 sample")
    # The ISO 8583 generator holds the same bytes; neither may drift alone.
    sys.dont_write_bytecode = True
    import gen_iso8583_samples
    if gen_iso8583_samples.ASCII_VALUES[55] != ISO8583_DE55:
        problems.append("de55: gen_iso8583_samples.py carries other chip data")
    return problems


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = args[0] if args else os.path.join(here, "..", "examples", "emv")
    sys.dont_write_bytecode = True
    from gen_iso8583_samples import write_or_check
    status = 0
    for name in SAMPLES:
        status |= write_or_check(outputs(name), outdir, check)
    if check:
        for problem in check_samples(outdir) + check_tree(os.path.join(outdir, "emv.json")):
            print(problem)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
