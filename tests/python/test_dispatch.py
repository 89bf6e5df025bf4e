"""The dispatch contract from Python, on the Tally test component of the
payfmt test library: arguments, indexed properties, constants, errors."""

import unittest

import payfmt


class TallyCalls(unittest.TestCase):
    def setUp(self):
        self.tally = payfmt.create("Tally")

    def test_methods_take_arguments_in_order(self):
        self.assertEqual(self.tally.Add(5), 5)
        self.assertEqual(self.tally.add(2), 7)
        self.assertEqual(self.tally.Total, 7)
        self.assertEqual(self.tally.Repeat("ab", 3), "ababab")
        self.assertEqual(self.tally.Describe(payfmt.Missing), "Tally: 7")
        self.assertEqual(self.tally.describe("Sum"), "Sum: 7")

    def test_a_wrong_argument_count_fails_before_any_argument_is_read(self):
        for args in [(), ("x",), ("x", 1, 2)]:
            with self.subTest(args=args), self.assertRaises(payfmt.PayfmtError) as caught:
                self.tally.Repeat(*args)
            self.assertEqual(caught.exception.code, 0xC002000E)
            self.assertEqual(caught.exception.status, 0x8002000E)
            self.assertEqual(caught.exception.description, "Invalid number of parameters")

    def test_a_wrong_type_names_the_parameter(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.tally.Repeat("ab", "three")
        self.assertEqual(caught.exception.code, 0xC0020005)
        self.assertEqual(caught.exception.description, "Type mismatch for parameter 2 (String)")
        with self.assertRaisesRegex(payfmt.PayfmtError, r"Type mismatch for parameter 1 \(Blob\)"):
            self.tally.Add(b"\x01")

    def test_named_arguments_are_refused(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.tally.Add(amount=3)
        self.assertEqual(caught.exception.code, 0x80020007)
        self.assertEqual(self.tally.Total, 0)

    def test_indexed_properties(self):
        counts = self.tally.Counts
        self.assertEqual(counts, [0, 0, 0, 0])
        self.tally.Counts[3] = 42
        self.assertEqual(self.tally.Counts[3], 42)
        self.assertEqual(self.tally.Counts[-1], 42)
        self.assertEqual(self.tally.counts, [0, 0, 0, 42])
        self.assertEqual(self.tally.Grid[1, 0], 3)
        self.tally.Grid[0][1] = "x"
        self.assertEqual(self.tally.Grid, [[1, "x"], [3, 4]])
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.tally.Counts[7]
        self.assertEqual(caught.exception.code, 0xC002000B)
        self.assertEqual(caught.exception.description, "Index 7 out of range 0..3")

    def test_whole_arrays_and_other_values_cross_both_ways(self):
        self.tally.Counts = [1, True, 2.5, None]
        self.assertEqual(self.tally.Counts, [1, True, 2.5, None])
        self.tally.Label = "caf\xe9 #1"
        self.assertEqual(self.tally.Label, "caf\xe9 #1")
        with self.assertRaises(OverflowError):
            self.tally.Add(1 << 64)
        with self.assertRaises(TypeError):
            self.tally.Add(object())

    def test_constants_read_but_do_not_write(self):
        self.assertEqual(self.tally.Limit, 1000)
        with self.assertRaises(payfmt.MemberNotFoundError):
            self.tally.Limit = 3

    def test_component_errors_keep_their_own_code(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            self.tally.Repeat("x", 5000)
        self.assertEqual((caught.exception.code, caught.exception.source), (0xC0070057, "Tally.Repeat"))
        self.assertEqual(caught.exception.status, 0x80020009)

    def test_a_class_named_tally_keeps_its_name(self):
        self.assertEqual(type(self.tally).__name__, "Tally")
        self.assertEqual(type(payfmt.create("Quorvin.Test.Tally")), type(self.tally))

    def test_creation_arguments_are_checked(self):
        with self.assertRaises(payfmt.PayfmtError) as caught:
            payfmt.create("Tally", 1)
        self.assertEqual(caught.exception.code, 0xC002000E)


if __name__ == "__main__":
    unittest.main()
