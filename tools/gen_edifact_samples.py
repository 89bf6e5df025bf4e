#!/usr/bin/env python3
"""Builds the EDIFACT sample of examples/edifact/.

The definitions and the interchange are written from the tables below with
nothing but the Python standard library and the ISO 9735 rules, so that they
serve as an independent reference for the parser:

    a segment is its tag, then its data elements, each after the data
    separator "+", and ends with the segment terminator "'"; a composite
    element is its components joined by ":"; an empty element or component
    in the middle keeps its separator, empty ones at the end are left out;
    the release character "?" comes before any "'", "+", ":" or "?" that is
    data; the interchange may start with the service string advice
    "UNA:+.? '", which no release character protects.

It writes

    paymul.json        the definition tree: message definitions (the order
                       of the segments of a PAYMUL), segment definitions (each
                       names its data elements by code; a group holds a
                       composite's components) and data element definitions
    paymul.msg         a PAYMUL (multiple payment order, D.96A) interchange:
                       two payment lines with three payments, composites,
                       repeated segments, empty elements in the middle and
                       values holding released separators (?+ ?: ?' ??)
    paymul.fields.txt  one line per node of the parsed value tree, depth
                       first: the path of node names joined by "/", then for
                       a data element or component a TAB and its value as
                       IStr text ("#" written as #23)

usage: gen_edifact_samples.py [--check] [OUTDIR]
    OUTDIR defaults to examples/edifact next to this script's directory.
    --check compares with the files already there instead of writing them,
    and reads the interchange back with its own tokenizer.
"""

import json
import os
import sys

SEGMENT, DATA, COMPONENT, RELEASE = "'", "+", ":", "?"
SERVICE_ADVICE = "UNA:+.? '"

# ---------------------------------------------------------------------------
# Segment definitions: tag -> data elements in order. An element is
# (node name, code) or (node name, code, [(node name, code), ...]) for a
# composite. Codes are those of the UN/EDIFACT directories (syntax 3, D.96A).
# ---------------------------------------------------------------------------
SEGMENTS = {
    "UNB": [("SyntaxIdentifier", "S001", [("SyntaxId", "0001"), ("SyntaxVersion", "0002")]),
            ("Sender", "S002", [("SenderId", "0004"), ("SenderQualifier", "0007"), ("ReverseRouting", "0008")]),
            ("Recipient", "S003", [("RecipientId", "0010"), ("RecipientQualifier", "0007"), ("RoutingAddress", "0014")]),
            ("Prepared", "S004", [("Date", "0017"), ("Time", "0019")]),
            ("ControlReference", "0020"),
            ("RecipientPassword", "S005", [("Password", "0022"), ("PasswordQualifier", "0025")]),
            ("ApplicationReference", "0026"),
            ("Priority", "0029"),
            ("AcknowledgementRequest", "0031"),
            ("AgreementId", "0032"),
            ("TestIndicator", "0035")],
    "UNH": [("MessageReference", "0062"),
            ("MessageIdentifier", "S009", [("Type", "0065"), ("Version", "0052"), ("Release", "0054"),
                                           ("Agency", "0051"), ("AssociationCode", "0057")]),
            ("CommonAccessReference", "0068"),
            ("TransferStatus", "S010", [("Sequence", "0070"), ("FirstLast", "0073")])],
    "BGM": [("DocumentName", "C002", [("DocumentCode", "1001"), ("ListAgency", "1131"), ("Agency", "3055"),
                                      ("DocumentName", "1000")]),
            ("DocumentNumber", "1004"),
            ("MessageFunction", "1225"),
            ("ResponseType", "4343")],
    "DTM": [("DateTime", "C507", [("Qualifier", "2005"), ("Value", "2380"), ("Format", "2379")])],
    "RFF": [("Reference", "C506", [("Qualifier", "1153"), ("Number", "1154"), ("LineNumber", "1156"),
                                   ("VersionNumber", "4000")])],
    "FII": [("PartyQualifier", "3035"),
            ("Account", "C078", [("AccountNumber", "3194"), ("HolderName", "3192"), ("HolderName2", "3192"),
                                 ("Currency", "6345")]),
            ("Institution", "C088", [("InstitutionCode", "3433"), ("ListQualifier", "1131"), ("Agency", "3055"),
                                     ("BranchNumber", "3434"), ("ListQualifier2", "1131"), ("Agency2", "3055"),
                                     ("InstitutionName", "3432"), ("BranchPlace", "3436")]),
            ("Country", "3207")],
    "NAD": [("PartyQualifier", "3035"),
            ("PartyId", "C082", [("Id", "3039"), ("ListQualifier", "1131"), ("Agency", "3055")]),
            ("NameAndAddress", "C058", [("Line1", "3124"), ("Line2", "3124"), ("Line3", "3124")]),
            ("PartyName", "C080", [("Name1", "3036"), ("Name2", "3036"), ("Name3", "3036")]),
            ("Street", "C059", [("Street1", "3042"), ("Street2", "3042")]),
            ("City", "3164"),
            ("CountrySubEntity", "3229"),
            ("PostalCode", "3251"),
            ("Country", "3207")],
    "LIN": [("LineNumber", "1082"), ("ActionRequest", "1229")],
    "MOA": [("Amount", "C516", [("TypeQualifier", "5025"), ("Value", "5004"), ("Currency", "6345"),
                                ("CurrencyQualifier", "6343"), ("Status", "4405")])],
    "SEQ": [("StatusIndicator", "1245"),
            ("SequenceInformation", "C286", [("SequenceNumber", "1050"), ("SourceCode", "1159")])],
    "FTX": [("SubjectQualifier", "4451"),
            ("FunctionCode", "4453"),
            ("TextReference", "C107", [("TextCode", "4441"), ("ListQualifier", "1131"), ("Agency", "3055")]),
            ("Text", "C108", [("Line1", "4440"), ("Line2", "4440"), ("Line3", "4440")]),
            ("Language", "3453")],
    "CNT": [("Control", "C270", [("Qualifier", "6069"), ("Value", "6066"), ("Unit", "6411")])],
    "UNT": [("SegmentCount", "0074"), ("MessageReference", "0062")],
    "UNZ": [("MessageCount", "0036"), ("ControlReference", "0020")],
}

# Input masks of the data elements that have a fixed form; a conditional
# one may be empty (a minimum of 0).
MASKS = {"0001": "A4", "0002": "N1", "0017": "N6", "0019": "N4", "0074": "N1-6", "0036": "N1-6",
         "1082": "N1-6", "1050": "N1-6", "6066": "N1-18"}

# The message definitions: the PAYMUL segments in order, with whether the
# message must have them and how often they may repeat.
MESSAGE = [("UNH", True, 1), ("BGM", True, 1), ("DTM", True, 1), ("RFF", False, 1), ("NAD", False, 3),
           ("LIN", True, 9999), ("DTM", True, 1), ("RFF", False, 1), ("MOA", True, 1), ("FII", True, 1),
           ("SEQ", True, 9999), ("MOA", True, 1), ("RFF", False, 3), ("FII", False, 1), ("NAD", False, 3),
           ("FTX", False, 1), ("CNT", False, 5), ("UNT", True, 1)]

# ---------------------------------------------------------------------------
# The interchange: segments as (tag, elements); an element is a text or a
# list of component texts, unreleased. Trailing empties are left out here as
# they are on the wire.
# ---------------------------------------------------------------------------
PAYMENTS = [
    ("1", "20261210", "1250.50", [
        ("1", "1000.00", "INV-4711", "DE89370400440532013000", "ALPHA GMBH", "COBADEFFXXX",
         ["", "", ["ALPHA GMBH"], ["MAIN STREET 1"], "BERLIN", "", "10115", "DE"],
         ["INVOICE 4711: PARTS", "Q?A 50%"]),
        ("2", "250.50", "INV-4712", "FR1420041010050500013M02606", "BETA SARL", "BNPAFRPPXXX",
         ["", "", ["BETA SARL"]], None),
    ]),
    ("2", "20261211", "300.00", [
        ("1", "300.00", "INV#4713", "NL91ABNA0417164300", "GAMMA BV", "ABNANL2AXXX", None, None),
    ]),
]


def interchange():
    body = [("BGM", [["452"], "PAYORD-0001", "9"]),
            ("DTM", [["137", "20261209", "102"]]),
            ("RFF", [["AEK", "BATCH+2026:12"]]),
            ("NAD", ["MS", ["5790000000017", "", "9"]])]
    for line, date, total, payments in PAYMENTS:
        body += [("LIN", [line]),
                 ("DTM", [["203", date, "102"]]),
                 ("RFF", [["AEK", "LINE-" + line]]),
                 ("MOA", [["9", total, "EUR"]]),
                 ("FII", ["OR", ["DK5000400440116243", "ACME TRADING O'BRIEN"]])]
        for seq, amount, invoice, iban, name, bic, address, text in payments:
            body += [("SEQ", ["", [seq]]),
                     ("MOA", [["9", amount, "EUR"]]),
                     ("RFF", [["CR", invoice]]),
                     ("FII", ["BF", [iban, name], [bic, "25", "5"]])]
            if address:
                body.append(("NAD", ["BE"] + address))
            if text:
                body.append(("FTX", ["PMD", "", "", text]))
    body.append(("CNT", [["2", str(len(PAYMENTS))]]))
    message = [("UNH", ["1", ["PAYMUL", "D", "96A", "UN"]])] + body
    message.append(("UNT", [str(len(message) + 1), "1"]))
    return ([("UNB", [["UNOC", "3"], ["5790000000017", "14"], ["5790000000024", "14"], ["261209", "1030"],
                      "PAYREF0001", "", "PAYMUL"])]
            + message + [("UNZ", ["1", "PAYREF0001"])])


# ---------------------------------------------------------------------------
def released(text):
    return "".join(RELEASE + c if c in (SEGMENT, DATA, COMPONENT, RELEASE) else c for c in text)


def written(segments):
    out = [SERVICE_ADVICE]
    for tag, elements in segments:
        fields = [COMPONENT.join(released(c) for c in e) if isinstance(e, list) else released(e) for e in elements]
        out.append(DATA.join([tag] + fields) + SEGMENT)
    return "".join(out)


def split(text, separator):
    """Splits at separators that are not released; keeps releases."""
    parts, current, i = [], "", 0
    while i < len(text):
        if text[i] == RELEASE and i + 1 < len(text):
            current += text[i:i + 2]
            i += 2
        elif text[i] == separator:
            parts.append(current)
            current = ""
            i += 1
        else:
            current += text[i]
            i += 1
    return parts + [current]


def unreleased(text):
    out, i = "", 0
    while i < len(text):
        if text[i] == RELEASE and i + 1 < len(text):
            i += 1
        out += text[i]
        i += 1
    return out


def tokenized(text):
    """Reads the interchange back: what the parser should see."""
    assert text.startswith(SERVICE_ADVICE)
    segments = []
    for segment in split(text[len(SERVICE_ADVICE):], SEGMENT)[:-1]:
        tag, *elements = split(segment, DATA)
        segments.append((tag, [[unreleased(c) for c in split(e, COMPONENT)] for e in elements]))
    return segments


def istr(text):
    return "".join("#%02X" % ord(c) if c == "#" or not " " <= c <= "~" else c for c in text)


def fields(segments):
    lines = ["UNA\t" + istr(SERVICE_ADVICE[3:])]
    for tag, elements in tokenized(written(segments)):
        lines.append(tag)
        for position, definition in enumerate(SEGMENTS[tag]):
            values = elements[position] if position < len(elements) else []
            path = tag + "/" + definition[0]
            if len(definition) == 2:
                if len(values) > 1:
                    raise ValueError("%s: a simple element with components" % path)
                lines.append(path + "\t" + istr(values[0] if values else ""))
                continue
            lines.append(path)
            for index, (name, _) in enumerate(definition[2]):
                lines.append(path + "/" + name + "\t" + istr(values[index] if index < len(values) else ""))
    return "".join(line + "\n" for line in lines)


def definitions():
    def node(name, props, children=None):
        n = {"name": name, "props": props}
        if children is not None:
            n["group"] = True
            n["children"] = children
        return n

    def element(e):
        if len(e) == 2:
            return node(e[0], {"Name": e[1]})
        return node(e[0], {"Name": e[1]}, [node(name, {"Name": code}) for name, code in e[2]])

    codes = sorted({e[1] for elements in SEGMENTS.values() for e in elements} |
                   {c for elements in SEGMENTS.values() for e in elements if len(e) == 3 for _, c in e[2]})
    return {"name": "paymul", "group": True, "children": [
        node("Message", {}, [node(tag, {"Name": tag, "Mandatory": mandatory, "RepeatNode": repeat})
                             for tag, mandatory, repeat in MESSAGE]),
        node("Segments", {}, [node(tag, {"Name": tag}, [element(e) for e in elements])
                              for tag, elements in SEGMENTS.items()]),
        node("DataElements", {}, [node(code, dict({"Name": code}, **({"IFM": MASKS[code]} if code in MASKS else {})))
                                  for code in codes]),
    ]}


def layout(node, indent=0):
    """A group opens on a line of its own, its children one level in; a
    leaf takes one line."""
    pad = " " * indent
    if "children" not in node:
        return pad + json.dumps(node)
    head = {k: v for k, v in node.items() if k != "children"}
    opening = json.dumps(head)[:-1] + ', "children": ['
    children = ",\n".join(layout(child, indent + 2) for child in node["children"])
    return pad + opening + "\n" + children + "\n" + pad + "]}"


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    outdir = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "edifact")
    segments = interchange()
    text = written(segments)
    # The tokenizer must give back what was written, released separators
    # and all.
    back = tokenized(text)
    expected = [(tag, [e if isinstance(e, list) else [e] for e in elements]) for tag, elements in segments]
    if back != expected:
        raise SystemExit("the interchange does not read back as written")
    files = {
        "paymul.json": layout(definitions()) + "\n",
        "paymul.msg": text,
        "paymul.fields.txt": fields(segments),
    }
    failed = False
    for name, content in files.items():
        path = os.path.join(outdir, name)
        if check:
            with open(path, encoding="ascii", newline="") as f:
                if f.read() != content:
                    print("%s differs" % path)
                    failed = True
        else:
            with open(path, "w", encoding="ascii", newline="") as f:
                f.write(content)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
