#!/usr/bin/env python3
"""Builds the bitmap sample messages of examples/bitmaps/.

The messages are put together from field lists by the bitmap rules alone,
with nothing but the Python standard library, so that they serve as an
independent reference for the definition trees next to them:

    bit n (from 1) is byte (n - 1) // 8 of the bitmap, under the mask
    0x80 >> ((n - 1) % 8)

    variable bitmap (tms.json, PVBM): blocks of L bytes; block k holds bits
    k * 8L + 1 to (k + 1) * 8L, and its first bit is set when another block
    follows. A message is the header, the blocks, the data fields of each
    record in ascending bit order, and the footer.

    fixed bitmap (status.json, PFBM): BITS bits in (BITS + 7) // 8 bytes, as
    hexadecimal text, then the fields in ascending bit order.

Fields are text; LLVAR fields carry two decimal digits of length first.

It writes

    tms.msg          two terminal-management messages back to back: header,
                     a two-block binary bitmap, two application profiles
                     under the one bitmap, trailer
    status.msg       a terminal status record with a 16-bit bitmap
    <name>.fields.txt one line per node of the parsed value tree, depth
                     first: the path of node names joined by "/", then a TAB
                     and the value as IStr text for a field

usage: gen_bitmap_samples.py [--check] [OUTDIR]
    OUTDIR defaults to examples/bitmaps next to this script's directory.
    --check compares with the files already there instead of writing them,
    and checks the definition trees against the fields of the samples (names,
    bits, widths).
"""

import json
import os
import sys

# ---------------------------------------------------------------------------
# Field layouts: name -> (bit, width); width None is LLVAR.
# ---------------------------------------------------------------------------
TMS_HEADER = [("RecordType", 2), ("TerminalId", 8), ("Sequence", 6), ("FormatVersion", 4)]
TMS_BLOCK = 4  # bytes per bitmap block
TMS_FIELDS = {
    "ApplicationId": (2, None),
    "ApplicationLabel": (3, None),
    "FloorLimit": (4, 12),
    "TransactionLimit": (5, 12),
    "TerminalCapabilities": (6, 6),
    "CurrencyCode": (7, 3),
    "CountryCode": (8, 3),
    "TacDefault": (9, 10),
    "TacDenial": (10, 10),
    "TacOnline": (11, 10),
    "DefaultDdol": (12, None),
    "ContactlessFloorLimit": (13, 12),
    "HostAddress": (34, None),
    "BackupHostAddress": (35, None),
    "DownloadWindow": (40, 8),
}
TMS_FOOTER = [("EndMarker", 2), ("RecordCount", 2), ("Checksum", 4)]

STATUS_BITS = 16
STATUS_FIELDS = {
    "TerminalId": (1, 8),
    "ReportTime": (2, 12),
    "StatusCode": (3, 2),
    "PrinterStatus": (4, 1),
    "BatteryPercent": (5, 3),
    "SignalStrength": (6, 2),
    "SoftwareVersion": (7, None),
    "LastError": (8, None),
    "TransactionsToday": (9, 4),
    "PendingUploads": (10, 3),
    "TamperStatus": (11, 1),
    "CardReaderStatus": (12, 1),
    "Temperature": (13, 3),
    "FreeMemoryKb": (16, 6),
}

# ---------------------------------------------------------------------------
# The samples. Each record under one bitmap carries the same fields.
# ---------------------------------------------------------------------------
VISA = {
    "ApplicationId": "A0000000031010",
    "ApplicationLabel": "VISA CREDIT",
    "FloorLimit": "000000005000",
    "TerminalCapabilities": "E0F8C8",
    "CurrencyCode": "978",
    "TacDefault": "DC4000A800",
    "TacDenial": "0010000000",
    "TacOnline": "DC4004F800",
    "HostAddress": "10.20.30.40:5000",
    "DownloadWindow": "02000400",
}
MASTERCARD = {
    "ApplicationId": "A0000000041010",
    "ApplicationLabel": "MASTERCARD",
    "FloorLimit": "000000010000",
    "TerminalCapabilities": "E0F8C8",
    "CurrencyCode": "978",
    "TacDefault": "FC50BCA000",
    "TacDenial": "0000000000",
    "TacOnline": "FC50BCF800",
    "HostAddress": "10.20.30.41:5000",
    "DownloadWindow": "02300430",
}
TMS_MESSAGES = [
    {"header": {"RecordType": "TM", "TerminalId": "T0012345", "Sequence": "000117", "FormatVersion": "0203"},
     "records": [VISA, MASTERCARD]},
    {"header": {"RecordType": "TM", "TerminalId": "T0012346", "Sequence": "000118", "FormatVersion": "0203"},
     "records": [dict(VISA, FloorLimit="000000002500"), dict(MASTERCARD, FloorLimit="000000002500")]},
]

STATUS = {
    "TerminalId": "T0012345",
    "ReportTime": "261209143015",
    "StatusCode": "00",
    "BatteryPercent": "087",
    "SignalStrength": "21",
    "SoftwareVersion": "PF 3.14.2b",
    "TransactionsToday": "0142",
    "PendingUploads": "003",
    "Temperature": "+38",
    "FreeMemoryKb": "020480",
}


# ---------------------------------------------------------------------------
def field(value, width):
    data = value.encode("ascii")
    if width is None:
        if len(data) > 99:
            raise ValueError("LLVAR value longer than 99: %r" % value)
        return b"%02d" % len(data) + data
    if len(data) != width:
        raise ValueError("%r is not %d characters" % (value, width))
    return data


def bitmap(bits, size):
    out = bytearray(size)
    for n in bits:
        out[(n - 1) // 8] |= 0x80 >> ((n - 1) % 8)
    return bytes(out)


def fixed(layout, values):
    return b"".join(field(values[name], width) for name, width in layout)


def checksum(data):
    """The trailer's check: the 16-bit sum of the bytes before it."""
    return "%04X" % (sum(data) & 0xFFFF)


def tms_message(message):
    records = message["records"]
    bits = sorted(TMS_FIELDS[name][0] for name in records[0])
    if any(sorted(TMS_FIELDS[name][0] for name in r) != bits for r in records):
        raise ValueError("records under one bitmap carry other fields")
    block_bits = 8 * TMS_BLOCK
    blocks = (bits[-1] - 1) // block_bits + 1
    continuation = [k * block_bits + 1 for k in range(blocks - 1)]
    data = fixed(TMS_HEADER, message["header"]) + bitmap(bits + continuation, blocks * TMS_BLOCK)
    by_bit = {bit: name for name, (bit, _) in TMS_FIELDS.items()}
    for record in records:
        data += b"".join(field(record[by_bit[bit]], TMS_FIELDS[by_bit[bit]][1]) for bit in bits)
    footer = {"EndMarker": "ET", "RecordCount": "%02d" % len(records), "Checksum": checksum(data)}
    return data + fixed(TMS_FOOTER, footer), footer, blocks


def istr(data):
    return "".join(chr(b) if 0x20 <= b < 0x7F and b != 0x23 else "#%02X" % b for b in data)


def tms_outputs():
    data, lines = b"", []
    for number, message in enumerate(TMS_MESSAGES, 1):
        raw, footer, blocks = tms_message(message)
        data += raw
        top = "Message %d" % number
        lines.append(top)
        lines += ["%s/%s\t%s" % (top, name, message["header"][name]) for name, _ in TMS_HEADER]
        start = sum(width for _, width in TMS_HEADER)
        for k in range(blocks):
            block = raw[start + k * TMS_BLOCK:start + (k + 1) * TMS_BLOCK]
            lines.append("%s/Block%d\t%s" % (top, k + 1, block.hex().upper()))
        for r, record in enumerate(message["records"], 1):
            group = "%s/Record %d" % (top, r)
            lines.append(group)
            for name in sorted(record, key=lambda n: TMS_FIELDS[n][0]):
                lines.append("%s/%s\t%s" % (group, name, istr(record[name].encode())))
        lines += ["%s/%s\t%s" % (top, name, footer[name]) for name, _ in TMS_FOOTER]
    return {"tms.msg": data, "tms.fields.txt": ("\n".join(lines) + "\n").encode()}


def status_outputs():
    bits = sorted(STATUS_FIELDS[name][0] for name in STATUS)
    binary = bitmap(bits, (STATUS_BITS + 7) // 8)
    data = binary.hex().upper().encode()
    lines = ["Bitmap\t" + binary.hex().upper()]
    for name in sorted(STATUS, key=lambda n: STATUS_FIELDS[n][0]):
        data += field(STATUS[name], STATUS_FIELDS[name][1])
        lines.append("%s\t%s" % (name, istr(STATUS[name].encode())))
    return {"status.msg": data, "status.fields.txt": ("\n".join(lines) + "\n").encode()}


# ---------------------------------------------------------------------------
def width_of(props):
    ifo = props.get("IFO", "")
    if ifo == "LLVAR":
        return None
    if ifo.startswith("FIX(") and ifo.endswith(")"):
        return int(ifo[4:-1])
    return "?"


def check_trees(outdir):
    problems = []
    with open(os.path.join(outdir, "tms.json")) as f:
        tms = json.load(f)
    sections = {c["props"]["ParserType"]: c for c in tms["children"]}
    for kind, layout in ((1, TMS_HEADER), (4, TMS_FOOTER)):
        got = [(c["name"], width_of(c["props"])) for c in sections[kind]["children"]]
        if got != layout:
            problems.append("tms.json: section %d is %r" % (kind, got))
        if sections[kind]["props"]["Length"] != sum(w for _, w in layout):
            problems.append("tms.json: section %d has another Length" % kind)
    if sections[2]["props"]["Length"] != TMS_BLOCK:
        problems.append("tms.json: the bitmap block is not %d bytes" % TMS_BLOCK)
    got = {c["name"]: (c["props"]["Bit"], width_of(c["props"])) for c in sections[3]["children"]}
    if got != TMS_FIELDS:
        problems.append("tms.json: the data fields differ")
    with open(os.path.join(outdir, "status.json")) as f:
        status = json.load(f)
    got = {c["name"]: (c["props"]["Bit"], width_of(c["props"])) for c in status["children"]}
    if got != STATUS_FIELDS:
        problems.append("status.json: the fields differ")
    return problems


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = args[0] if args else os.path.join(here, "..", "examples", "bitmaps")
    sys.dont_write_bytecode = True
    sys.path.insert(0, here)
    from gen_iso8583_samples import write_or_check
    status = write_or_check(tms_outputs(), outdir, check) | write_or_check(status_outputs(), outdir, check)
    if check:
        for problem in check_trees(outdir):
            print(problem)
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
