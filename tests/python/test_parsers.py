"""Parsers from Python: create by type, name, open, compile, parse, close."""

import unittest

import payfmt

RECORD = {
    "name": "rec", "group": True,
    "children": [
        {"name": "type", "props": {"IFO": "FIX(2)", "IFM": "N2"}},
        {"name": "items", "group": True, "props": {"IFO": "LLVAR", "OFO": "LLVAR"},
         "children": [{"name": "item", "props": {"IFO": "FIX(3)", "RepeatNode": 1, "RepeatAutoNumber": 1}}]},
    ],
}


def values(tree):
    """(name, Value bytes) of every field, in order."""
    out = []

    def walk(node):
        value = node.get("props", {}).get("Value")
        if not node.get("group") and value is not None:
            out.append((node["name"], bytes.fromhex(value["blob"])))
        for child in node.get("children", []):
            walk(child)

    walk(tree.to_dict())
    return out


class Parsers(unittest.TestCase):
    def setUp(self):
        self.parser = payfmt.create("PFIX")
        self.parser.Name = "py-" + self.id()
        self.assertEqual(self.parser.Open(), 0)

    def tearDown(self):
        self.parser.Close()

    def test_parse_then_compile_gives_the_message_back(self):
        with payfmt.Tree(RECORD) as tree:
            self.assertEqual(self.parser.Parse("0109ABCDEFGHI", tree.handle, ""), 0)
            self.assertEqual(values(tree), [("type", b"01"), ("item1", b"ABC"), ("item2", b"DEF"), ("item3", b"GHI")])
            message = payfmt.Ref("")
            self.assertEqual(self.parser.Compile(message, tree.handle, ""), 0)
            self.assertEqual(message.value, "0109ABCDEFGHI")
            as_bytes = payfmt.Ref(b"")
            self.parser.Compile(as_bytes, tree.handle, "")
            self.assertEqual(as_bytes.value, b"0109ABCDEFGHI")

    def test_reports_land_on_the_field(self):
        with payfmt.Tree(RECORD) as tree:
            self.assertEqual(self.parser.Parse(b"0X03ABC", tree.handle, ""), 0x62060011)
            node = tree.to_dict()["children"][0]
            self.assertEqual(node["props"]["Error"], "(62060011) 'X' is not a N2 character")

    def test_open_without_a_name_fails(self):
        unnamed = payfmt.create("PFIX")
        with self.assertRaises(payfmt.PayfmtError) as caught:
            unnamed.Open()
        self.assertEqual(caught.exception.description, "(E2070002) Paser name is undefined")

    def test_names_that_differ_in_case_collide(self):
        other = payfmt.create("PFIX")
        other.Name = self.parser.Name.upper()
        with self.assertRaisesRegex(payfmt.PayfmtError, "parser name already exists"):
            other.Open()

    def test_charset_by_letter_or_number(self):
        self.assertEqual(self.parser.CharSet[1], self.parser.CharSet["a"])
        self.parser.CharSet["N"] = "[9-0]"
        self.assertEqual(self.parser.CharSet["N"], "[]")
        self.parser.CharSet["N"] = "[0-9]"
        self.assertEqual(self.parser.CharSet[14], "[0-9]")
        self.assertEqual(self.parser.CharSet[27], "[]")

    def test_members_are_described(self):
        self.assertIn("Compile", dir(self.parser))
        self.assertEqual(self.parser.ParserType, "PFIX")
        self.assertEqual(self.parser.Path, "parser:PFIX/" + self.parser.Name)


if __name__ == "__main__":
    unittest.main()
