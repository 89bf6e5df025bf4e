"""payfmt from Python: create components by name and use their properties
and methods as attributes.

    >>> import payfmt
    >>> tvr = payfmt.create("Quorvin.EMV.TVR")
    >>> tvr.Value = "8000000000"
    >>> tvr.Byte1.Bit8
    True

The library is found through the PAYFMT_LIBRARY environment variable, else
in the build trees of this source checkout, else on the system's library
path; payfmt.load(path) picks one explicitly. Failures raise PayfmtError
with the code, source and description of the library's error record.
"""

import ctypes

from . import _errors
from . import _native
from ._component import Component, Indexed, handle_of, wrap
from ._errors import MemberNotFoundError, PayfmtError
from ._native import load
from ._trees import Tree
from ._variant import Missing, Ref, fill

__all__ = ["Component", "Indexed", "MemberNotFoundError", "Missing", "PayfmtError", "Ref", "Tree", "create", "load",
           "object_count"]


def create(name, *args):
    """Creates the component registered as name (a component name such as
    "TVR" or a programmatic name such as "Quorvin.EMV.TVR")."""
    lib = load()
    array = (_native.VEXVARIANT * len(args))()
    handle = ctypes.c_void_p()
    try:
        for slot, value in zip(array, args):
            fill(lib, ctypes.byref(slot), value, handle_of)
        _errors.check(lib, lib.KORCreateObjectA(name.encode("latin-1"), array, len(args), ctypes.byref(handle)))
    finally:
        for slot in array:
            lib.VEXVarClear(ctypes.byref(slot))
    return wrap(lib, handle.value, add_ref=False)


def object_count():
    """Components alive in the process."""
    return load().KORObjectCount()
