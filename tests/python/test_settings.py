"""The settings component and the default parser from Python, through
libpayfmt.so: payfmt.settings() and payfmt.default_parser()."""

import ctypes
import unittest

import payfmt

MARCH_15_2026 = 46096.0
JANUARY_1_2023 = 44927.0


def format_input(value, chain):
    """FormatInputA straight from the library: (status, IStr result)."""
    lib = payfmt.load()
    lib.FormatInputA.restype = ctypes.c_uint32
    lib.FormatInputA.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p), ctypes.c_uint32]
    lib.VEXBufData.restype = ctypes.c_void_p
    lib.VEXBufData.argtypes = [ctypes.c_void_p]
    lib.VEXBufLen.restype = ctypes.c_uint32
    lib.VEXBufLen.argtypes = [ctypes.c_void_p]
    lib.VEXBufFree.argtypes = [ctypes.c_void_p]
    out = ctypes.c_void_p()
    status = lib.FormatInputA(value.encode("latin-1"), chain.encode("latin-1"), ctypes.byref(out), 0)
    try:
        text = ctypes.string_at(lib.VEXBufData(out), lib.VEXBufLen(out)).decode("latin-1") if out.value else ""
    finally:
        lib.VEXBufFree(out)
    return status, text


class SettingsComponent(unittest.TestCase):
    SAVED = ("DateRef", "TimeRef", "CenturyThreshold", "DecenyThreshold", "Ansi_CP")

    def setUp(self):
        self.settings = payfmt.settings()
        self.saved = [(name, getattr(self.settings, name)) for name in self.SAVED]

    def tearDown(self):
        # DateRef comes first: writing it resets both thresholds.
        for name, value in self.saved:
            setattr(self.settings, name, value)

    def test_there_is_one_settings_object(self):
        self.assertEqual(payfmt.settings(), self.settings)
        self.assertEqual(type(self.settings).__name__, "GlobalSettings")
        with self.assertRaises(payfmt.PayfmtError):
            payfmt.create("GlobalSettings")

    def test_registered_sequences_are_seen_by_later_formats(self):
        self.assertEqual(format_input("1234", "HEX2DEC"), (0, "4660"))
        self.assertEqual(self.settings.RegisterOperator("TWOHEX", "FIX(2).HEX2RAW"), 0)
        try:
            for value in ("1234", "ABCD", "0001"):
                with self.subTest(value=value):
                    self.assertEqual(format_input(value, "TWOHEX.RAW2DEC"),
                                     format_input(value, "FIX(2).HEX2RAW.RAW2DEC"))
        finally:
            self.settings.UnregisterOperator("TWOHEX")
        self.assertEqual(format_input("1234", "TWOHEX")[0], 0xE2060001)

    def test_register_operator_takes_two_arguments(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.settings.RegisterOperator("TWOHEX")
        self.assertEqual(caught.exception.code, 0xC002000E)
        self.assertEqual(caught.exception.status, 0x8002000E)
        self.assertEqual(caught.exception.source, "TVEXParser.RegisterOperator")

    def test_writing_date_ref_resets_both_thresholds(self):
        self.settings.DateRef = MARCH_15_2026
        self.assertEqual((self.settings.CenturyThreshold, self.settings.DecenyThreshold), (80, 1))
        self.settings.CenturyThreshold = 50
        self.settings.DateRef = JANUARY_1_2023
        self.assertEqual(self.settings.DateRef, JANUARY_1_2023)
        self.assertEqual((self.settings.CenturyThreshold, self.settings.DecenyThreshold), (80, -2))
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.settings.DateRef = float("nan")
        self.assertEqual(caught.exception.code, 0xE2060005)
        self.assertEqual(self.settings.DateRef, JANUARY_1_2023)

    def test_parser_types_are_read_by_index(self):
        types = self.settings.ParserTypes
        self.assertIsInstance(types, payfmt.ByIndex)
        self.assertEqual([types[i] for i in range(1, 9)], ["P8583", "PTLV", "PLTV", "PBER", "PTV", "PEDI", "PVBM", ""])
        with self.assertRaises(payfmt.PayfmtError) as caught:
            types[1, 2]
        self.assertEqual(caught.exception.code, 0xC002000E)

    def test_ansi_cp_selects_the_page_and_refuses_an_unknown_one(self):
        self.settings.Ansi_CP = "CP_037"
        self.assertEqual(self.settings.Ansi_CP, "CP_037")
        self.assertEqual(format_input("A", "ANSI2EBC"), (0, "#C1"))
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.settings.Ansi_CP = "CP_999"
        self.assertEqual(caught.exception.description, "(E206002C) CP_999: unknown conversion identifier")
        self.assertEqual(self.settings.Ansi_CP, "CP_037")

    def test_members_that_are_not_there(self):
        for dispid in (57, 99):
            with self.subTest(dispid=dispid), self.assertRaises(payfmt.MemberNotFoundError) as caught:
                payfmt.invoke(self.settings, dispid)
            self.assertEqual(caught.exception.description, f"Member not found: 'TGlobalSettings.{dispid}'")
        with self.assertRaises(payfmt.MemberNotFoundError):
            self.settings.DateRnd(JANUARY_1_2023, MARCH_15_2026)

    def test_descriptions_are_the_components_own(self):
        cls = type(self.settings)
        self.assertTrue(cls.Ansi_CP.__doc__.startswith("Cope page for ASCII-EBCDIC conversions"))
        self.assertTrue(cls.DateIsLeapYear.__doc__.startswith('Returns "true" when the supplied serial date is leap'))
        self.assertNotIn("ParserCreate", dir(self.settings))

    def test_date_methods(self):
        self.settings.DateRef = MARCH_15_2026
        self.assertEqual(self.settings.DateAdd(46053.0, 0, 1, 0), 46081.0)
        self.assertEqual(self.settings.DateSerial2DateString(MARCH_15_2026 + 0.5, "YYMMDD"), "260315")
        self.assertEqual(self.settings.DateString2DateSerial("260315", "YYMMDD"), MARCH_15_2026 + 0.5)
        self.assertEqual(self.settings.DateDeceny(0), 2030)
        self.assertIs(self.settings.DateIsValidFormat("ddmmyy"), True)
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.settings.DateAdd(MARCH_15_2026, "one", 0, 0)
        self.assertEqual(caught.exception.description, "Type mismatch for parameter 2 (String)")


class Parsers(unittest.TestCase):
    def setUp(self):
        self.settings = payfmt.settings()

    def test_parser_create_names_and_opens_a_parser(self):
        parser = payfmt.invoke(self.settings, 64, "py", "PFIX", 0)
        self.assertEqual((parser.Name, parser.ParserType), ("py", "PFIX"))
        message = payfmt.Ref("")
        self.assertEqual(parser.Compile(message, 0, ""), 0)  # it is open
        with self.assertRaises(payfmt.PayfmtError) as caught:
            payfmt.invoke(self.settings, 64, "PY", "PFIX", 0)
        self.assertEqual(caught.exception.description, "(E2070004) PY: parser name already exists")
        del parser
        payfmt.invoke(self.settings, 64, "PY", "PFIX", 0)  # the name was given back

    def test_parser_create_from_path_makes_a_closed_template(self):
        rec = self.settings.ParserCreateFromPath("parser:PFIX/rec;AllowNull=true")
        self.assertEqual(rec.Name, "rec")
        self.assertIs(rec.AllowNull, True)
        self.assertEqual(rec.Path, "parser:PFIX/rec;AllowNull=true")
        with self.assertRaises(payfmt.PayfmtError) as caught:
            rec.Compile(payfmt.Ref(""), 0, "")
        self.assertEqual(caught.exception.description, "(E2070001) rec: The parser is not open")
        self.assertEqual(self.settings.ParserCreateFromPath("PFIX/two", payfmt.Missing).Path, "parser:PFIX/two")

    def test_an_unknown_parser_type_is_refused(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.settings.ParserCreateFromPath("parser:PXYZ/a")
        self.assertEqual(caught.exception.code, 0xE2060062)
        self.assertEqual(caught.exception.description, "(E2060062) PXYZ: unknown parser type")

    def test_the_default_parser_is_one_and_the_same(self):
        parser = payfmt.default_parser()
        self.assertEqual(parser, payfmt.default_parser())
        self.assertEqual((parser.Name, parser.ParserType, parser.Path), ("Default", "PFIX", "parser:PFIX/Default"))


if __name__ == "__main__":
    unittest.main()
