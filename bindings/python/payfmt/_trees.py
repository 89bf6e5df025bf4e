"""Trees as parsers use them: definition and value trees live in the
library's node table and are passed to components as integer handles."""

import ctypes
import json

from . import _errors
from ._native import load


class Tree:
    """A tree of the library built from JSON ({"name", "group", "props",
    "children"}); its handle is what Parse, Compile and Definitions take.
    Deleted on close() or when the with-block ends."""

    def __init__(self, definition):
        text = definition if isinstance(definition, str) else json.dumps(definition)
        raw = text.encode("utf-8")
        self._lib = load()
        handle = ctypes.c_uint32()
        _errors.check(self._lib, self._lib.VEXTreeFromJsonA(raw, len(raw), ctypes.byref(handle)))
        self.handle = handle.value

    def to_dict(self):
        """The tree as it is now (after a parse: with values and reports)."""
        buf = ctypes.c_void_p()
        _errors.check(self._lib, self._lib.VEXTreeToJsonA(self.handle, ctypes.byref(buf)))
        try:
            data = ctypes.string_at(self._lib.VEXBufData(buf), self._lib.VEXBufLen(buf))
        finally:
            self._lib.VEXBufFree(buf)
        return json.loads(data.decode("utf-8"))

    def close(self):
        if self.handle:
            self._lib.VEXTreeDeleteNode(self.handle, -1)
            self.handle = 0

    def __int__(self):
        return self.handle

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
