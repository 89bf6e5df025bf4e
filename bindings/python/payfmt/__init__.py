"""payfmt from Python: create components by name and use their properties
and methods as attributes.

    >>> import payfmt
    >>> tvr = payfmt.create("Quorvin.EMV.TVR")
    >>> tvr.Value = "8000000000"
    >>> tvr.Byte1.Bit8
    True

The library's own objects are at hand without creating anything:
payfmt.settings() is the settings component (code page, date reference,
registered operator sequences, date functions, parser creation) and
payfmt.default_parser() the default parser "Default".

The library is found through the PAYFMT_LIBRARY environment variable, else
in the build trees of this source checkout, else on the system's library
path; payfmt.load(path) picks one explicitly. Failures raise PayfmtError
with the code, source and description of the library's error record.
"""

import ctypes

from . import _errors
from . import _native
from ._component import ByIndex, Component, Indexed, handle_of, wrap
from ._errors import MemberNotFoundError, PayfmtError
from ._native import load
from ._trees import Tree
from ._variant import Missing, Ref, fill

__all__ = ["ByIndex", "Component", "Indexed", "MemberNotFoundError", "Missing", "PayfmtError", "Ref", "Tree", "create",
           "default_parser", "invoke", "load", "object_count", "settings"]


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


def settings():
    """The library's settings component, the one object behind every format
    and parser call."""
    return _process_component("GetFormatRef")


def default_parser():
    """The default parser "Default", a fixed-format parser open from load;
    the same parser on every call."""
    return _process_component("GetDefaultParser")


def _process_component(export):
    lib = load()
    handle = ctypes.c_void_p()
    _errors.check(lib, getattr(lib, export)(ctypes.byref(handle)) & 0xFFFFFFFF)
    return wrap(lib, handle.value, add_ref=False)


def invoke(component, dispid, *args):
    """Calls the component's method dispid with positional arguments, also a
    method its class does not describe (the settings' ParserCreate, 64)."""
    return component._invoke(dispid, _native.KOR_DISPATCH_METHOD, args)
