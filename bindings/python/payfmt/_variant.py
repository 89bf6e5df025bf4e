"""Python values to and from the library's variants.

Text crosses the boundary as 8-bit text: str is encoded and decoded as
Latin-1, so every byte value survives the round trip."""

import ctypes

from . import _native as n


class _MissingType:
    """The value of an optional argument that is left out."""

    _instance = None

    def __new__(cls):
        if cls._instance is None:
            cls._instance = super().__new__(cls)
        return cls._instance

    def __repr__(self):
        return "payfmt.Missing"

    def __bool__(self):
        return False


Missing = _MissingType()

_INT64 = (-(1 << 63), (1 << 63) - 1)


def fill(lib, target, value, handle_of):
    """Sets the initialised variant target to value; handle_of gives the
    KOROBJ of a component, or None for any other value."""
    handle = handle_of(value)
    if handle is not None:
        lib.VEXVarSetObject(target, handle)
    elif value is Missing:
        lib.VEXVarSetMissing(target)
    elif value is None:
        lib.VEXVarClear(target)
    elif isinstance(value, bool):
        lib.VEXVarSetBool(target, 1 if value else 0)
    elif isinstance(value, int):
        if not _INT64[0] <= value <= _INT64[1]:
            raise OverflowError(f"{value} does not fit a 64-bit integer")
        lib.VEXVarSetInt(target, value)
    elif isinstance(value, float):
        lib.VEXVarSetDouble(target, value)
    elif isinstance(value, str):
        raw = value.encode("latin-1")
        lib.VEXVarSetStrA(target, raw, len(raw))
    elif isinstance(value, (bytes, bytearray, memoryview)):
        raw = bytes(value)
        lib.VEXVarSetBlob(target, raw, len(raw))
    elif isinstance(value, (list, tuple)):
        lib.VEXVarSetArray(target, len(value))
        element = n.VEXVARIANT()
        try:
            for i, item in enumerate(value):
                fill(lib, ctypes.byref(element), item, handle_of)
                lib.VEXVarArrayPut(target, i, ctypes.byref(element))
        finally:
            lib.VEXVarClear(ctypes.byref(element))
    else:
        raise TypeError(f"a {type(value).__name__} cannot be passed to payfmt")


class Ref:
    """An in/out argument: the method may replace value, as a parser's
    Compile does with its message.

        >>> message = payfmt.Ref(b"")
        >>> parser.Compile(message, tree, "")
        0
        >>> message.value
        b'...'
    """

    def __init__(self, value=None):
        self.value = value

    def __repr__(self):
        return f"Ref({self.value!r})"


def value_of(variant, wrap_object):
    """The Python value of a variant; wrap_object makes a Python object of a
    KOROBJ, taking a reference of its own."""
    kind = variant.type
    if kind == n.VEXVT_INT:
        return variant.u.i
    if kind == n.VEXVT_BOOL:
        return variant.u.b != 0
    if kind in (n.VEXVT_DOUBLE, n.VEXVT_DATE):
        return variant.u.d
    if kind == n.VEXVT_STRING:
        return ctypes.string_at(variant.u.p, variant.length).decode("latin-1") if variant.length else ""
    if kind == n.VEXVT_BLOB:
        return ctypes.string_at(variant.u.p, variant.length) if variant.length else b""
    if kind == n.VEXVT_OBJECT:
        return wrap_object(variant.u.p) if variant.u.p else None
    if kind == n.VEXVT_ARRAY:
        if not variant.length:
            return []
        items = (n.VEXVARIANT * variant.length).from_address(variant.u.p)
        return [value_of(item, wrap_object) for item in items]
    if kind == n.VEXVT_MISSING:
        return Missing
    return None
