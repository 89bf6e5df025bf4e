"""The EMV TVR and TSI sequences driven from Python through libpayfmt.so."""

import pydoc
import unittest

import payfmt


class SequenceValues(unittest.TestCase):
    def test_tvr_value_round_trip_sets_only_the_first_bit(self):
        tvr = payfmt.create("Quorvin.EMV.TVR")
        tvr.Value = "8000000000"
        self.assertIs(tvr.Byte1.Bit8, True)
        for byte in range(1, 6):
            component = getattr(tvr, f"Byte{byte}")
            for bit in range(8, 0, -1):
                with self.subTest(byte=byte, bit=bit):
                    self.assertEqual(getattr(component, f"Bit{bit}"), byte == 1 and bit == 8)
        self.assertEqual(tvr.Value, "8000000000")

    def test_tvr3_bit6_alone_gives_20(self):
        tvr3 = payfmt.create("TVR3")
        for bit in range(8, 0, -1):
            setattr(tvr3, f"Bit{bit}", bit == 6)
        self.assertEqual(tvr3.Value, "20")

    def test_byte_sequences_need_two_digits_per_byte(self):
        for name, value in [("TVR", "800000000"), ("TVR", "80000"), ("TVR", "12345678901"), ("TSI", "123")]:
            with self.subTest(name=name, value=value):
                sequence = payfmt.create(name)
                with self.assertRaises(payfmt.PayfmtError) as caught:
                    sequence.Value = value
                self.assertEqual(caught.exception.code, 0xE2060002)
                self.assertEqual(caught.exception.description, "Invalid hexadecimal string length")
                self.assertEqual(caught.exception.source, "TByteSequence.Set_Value")
                self.assertEqual(caught.exception.status, 0x80020009)

    def test_bit_sequences_take_only_hexadecimal(self):
        tvr1 = payfmt.create("TVR1")
        tvr1.Value = "C0"
        for value in ["XY", "0G", "8-"]:
            with self.subTest(value=value), self.assertRaises(payfmt.PayfmtError) as caught:
                tvr1.Value = value
            self.assertEqual(caught.exception.code, 0xE2060000)
            self.assertEqual(caught.exception.description, "Value must be hexadecimal")
            self.assertEqual(caught.exception.source, "TBitSequence.DoSetProperty")
        self.assertEqual(tvr1.Value, "C0")

    def test_a_bad_tvr_value_changes_nothing(self):
        tvr = payfmt.create("TVR")
        tvr.Value = "1122334455"
        with self.assertRaisesRegex(payfmt.PayfmtError, "Value must be hexadecimal"):
            tvr.Value = "11223344GG"
        self.assertEqual(tvr.Value, "1122334455")

    def test_a_second_byte_for_a_bit_sequence_is_dropped(self):
        tsi2 = payfmt.create("TSI2")
        tsi2.Value = "0102"
        self.assertEqual(tsi2.Value, "01")
        self.assertTrue(tsi2.Bit1)
        self.assertFalse(tsi2.Bit2)

    def test_bits_take_only_booleans(self):
        tvr4 = payfmt.create("TVR4")
        with self.assertRaises(payfmt.PayfmtError) as caught:
            tvr4.Bit8 = "perhaps"
        self.assertEqual((caught.exception.code, caught.exception.description), (0xE2060001, "Value must be boolean"))
        tvr4.Bit8 = 1
        tvr4.bit4 = "true"
        self.assertEqual(tvr4.Value, "88")

    def test_dynamic_properties_count_bits_or_bytes(self):
        expected = {"TVR1": 8, "TVR2": 8, "TVR3": 8, "TVR4": 8, "TVR5": 8, "TSI1": 8, "TSI2": 8,
                    "TVR": 5, "TSI": 2, "Quorvin.EMV.TVR": 5, "Quorvin.EMV.TSI": 2}
        for name, count in expected.items():
            with self.subTest(name=name):
                self.assertEqual(payfmt.create(name).DynamicProperties, count)

    def test_bytes_are_shared_and_take_values(self):
        tvr = payfmt.create("TVR")
        byte5 = tvr.Byte5
        byte5.Bit7 = True  # Issuer authentication failed
        self.assertEqual(tvr.Value, "0000000040")
        tvr.Byte3 = "FF"
        self.assertEqual(tvr.Value, "0000FF0040")
        self.assertEqual(tvr.Byte5, byte5)
        del tvr
        self.assertEqual(byte5.Value, "40")


class SequenceMembers(unittest.TestCase):
    def test_names_are_found_without_regard_to_case(self):
        tsi = payfmt.create("quorvin.emv.tsi")
        tsi.vAlUe = "E800"
        self.assertEqual(tsi.VALUE, "E800")
        self.assertTrue(tsi.byte1.bit6)
        self.assertEqual(type(tsi).__name__, "TSI")

    def test_unknown_members_raise_with_code_source_and_description(self):
        tvr = payfmt.create("TVR")
        with self.assertRaises(payfmt.MemberNotFoundError) as caught:
            tvr.Bit9
        self.assertEqual(caught.exception.code, 0x80020006)
        self.assertIsInstance(caught.exception, AttributeError)
        self.assertFalse(hasattr(tvr, "NoSuchMember"))
        with self.assertRaises(payfmt.PayfmtError) as caught:
            tvr.AddProperty("Bit9")
        self.assertEqual(caught.exception.code, 0xC0020003)
        self.assertEqual(caught.exception.description, "Member not found: 'TTVR.513'")
        self.assertEqual(caught.exception.source, "Quorvin.KOR.TAutomationObject.DoCall")
        with self.assertRaises(payfmt.PayfmtError) as caught:
            tvr._invoke(99, 2, ())
        self.assertEqual(caught.exception.description, "Member not found: 'TTVR.99'")
        self.assertEqual(caught.exception.code, 0xC0020003)
        with self.assertRaisesRegex(payfmt.PayfmtError, "TTVR.258"):
            tvr.DynamicProperties = 7

    def test_dir_lists_the_members(self):
        self.assertEqual(dir(payfmt.create("TSI")), ["AddProperty", "Byte1", "Byte2", "DynamicProperties", "Value"])
        self.assertIn("Bit8", dir(payfmt.create("TVR2")))

    def test_help_shows_the_descriptions(self):
        text = pydoc.render_doc(payfmt.create("TVR3"), renderer=pydoc.plaintext)
        self.assertIn("Cardholder verification was not sucessful", text)
        self.assertIn("e3653435-c7bf-0003-bd9c-87f1eae8eba9", text)
        self.assertIn("Help: Messages#Value", text)
        self.assertIn("Adds a definition bit", text)

    def test_an_unknown_component_name_is_refused(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            payfmt.create("Quorvin.EMV.XYZ")
        self.assertEqual(caught.exception.code, 0x80040154)
        self.assertEqual(caught.exception.description, "No component is registered as 'Quorvin.EMV.XYZ'")


class Lifetimes(unittest.TestCase):
    def test_released_components_leave_nothing_behind(self):
        before = payfmt.object_count()
        for i in range(2000):
            tvr = payfmt.create("TVR")
            if i % 100 == 0:
                tvr.Value = "0000000001"
        del tvr
        self.assertEqual(payfmt.object_count(), before)


if __name__ == "__main__":
    unittest.main()
