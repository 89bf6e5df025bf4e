"""Finding and loading libpayfmt.so, and the C declarations the package uses."""

import ctypes
import ctypes.util
import os
from pathlib import Path

KOR_DISPATCH_METHOD = 1
KOR_DISPATCH_GET = 2
KOR_DISPATCH_PUT = 4

KOR_MEMBER_PROPERTY = 1
KOR_MEMBER_METHOD = 2
KOR_MEMBER_CONSTANT = 3

KOR_E_NONAMEDARGS = 0x80020007
KOR_E_BADPARAMCOUNT = 0x8002000E
KOR_C_MEMBERNOTFOUND = 0xC0020003

VEXVT_EMPTY, VEXVT_NULL, VEXVT_MISSING, VEXVT_INT, VEXVT_BOOL, VEXVT_DOUBLE = range(6)
VEXVT_DATE, VEXVT_STRING, VEXVT_BLOB, VEXVT_OBJECT, VEXVT_ARRAY = range(6, 11)


class _Payload(ctypes.Union):
    _fields_ = [("i", ctypes.c_int64), ("b", ctypes.c_int32), ("d", ctypes.c_double), ("p", ctypes.c_void_p)]


class VEXVARIANT(ctypes.Structure):
    _fields_ = [("type", ctypes.c_uint32), ("length", ctypes.c_uint32), ("u", _Payload)]


class KOREXCEPINFO(ctypes.Structure):
    _fields_ = [
        ("code", ctypes.c_uint32),
        ("source", ctypes.c_char_p),
        ("description", ctypes.c_char_p),
        ("help_file", ctypes.c_char_p),
        ("help_context", ctypes.c_uint32),
    ]


class KORCOMPONENTINFO(ctypes.Structure):
    _fields_ = [
        ("name", ctypes.c_char_p),
        ("class_name", ctypes.c_char_p),
        ("class_id", ctypes.c_char_p),
        ("description", ctypes.c_char_p),
        ("help_link", ctypes.c_char_p),
        ("member_count", ctypes.c_uint32),
    ]


class KORMEMBERINFO(ctypes.Structure):
    _fields_ = [
        ("name", ctypes.c_char_p),
        ("dispid", ctypes.c_int32),
        ("kind", ctypes.c_uint32),
        ("description", ctypes.c_char_p),
        ("help_link", ctypes.c_char_p),
        ("attributes", ctypes.c_uint32),
    ]


_u32 = ctypes.c_uint32
_ptr = ctypes.c_void_p
_var = ctypes.POINTER(VEXVARIANT)

# name: (result type, argument types)
_SIGNATURES = {
    "VEXVarInit": (None, [_var]),
    "VEXVarClear": (None, [_var]),
    "VEXVarSetInt": (None, [_var, ctypes.c_int64]),
    "VEXVarSetBool": (None, [_var, ctypes.c_int32]),
    "VEXVarSetDouble": (None, [_var, ctypes.c_double]),
    "VEXVarSetStrA": (_u32, [_var, ctypes.c_char_p, _u32]),
    "VEXVarSetBlob": (_u32, [_var, ctypes.c_char_p, _u32]),
    "VEXVarSetMissing": (None, [_var]),
    "VEXVarSetArray": (_u32, [_var, _u32]),
    "VEXVarSetObject": (None, [_var, _ptr]),
    "VEXVarArrayPut": (_u32, [_var, _u32, _var]),
    "KORGetErrorInfo": (_u32, [ctypes.POINTER(_ptr)]),
    "KORFreeErrorInfo": (None, [_ptr]),
    "KORErrorInfoCode": (_u32, [_ptr]),
    "KORErrorInfoSourceA": (ctypes.c_char_p, [_ptr]),
    "KORErrorInfoDescriptionA": (ctypes.c_char_p, [_ptr]),
    "KORErrorInfoHelpFileA": (ctypes.c_char_p, [_ptr]),
    "KORErrorInfoHelpContext": (_u32, [_ptr]),
    "KORExcepInfoClear": (None, [ctypes.POINTER(KOREXCEPINFO)]),
    "KORCreateObjectA": (_u32, [ctypes.c_char_p, _var, _u32, ctypes.POINTER(_ptr)]),
    "KORAddRef": (_u32, [_ptr]),
    "KORRelease": (_u32, [_ptr]),
    "KORObjectCount": (_u32, []),
    "KORGetIDsOfNamesA": (_u32, [_ptr, ctypes.c_char_p, ctypes.POINTER(ctypes.c_int32)]),
    "KORInvoke": (_u32, [_ptr, ctypes.c_int32, _u32, _var, _u32, _var, ctypes.POINTER(KOREXCEPINFO)]),
    "KORGetComponentInfoA": (_u32, [_ptr, ctypes.POINTER(KORCOMPONENTINFO)]),
    "KORGetMemberInfoA": (_u32, [_ptr, _u32, ctypes.POINTER(KORMEMBERINFO)]),
    "VEXBufFree": (None, [_ptr]),
    "VEXBufLen": (_u32, [_ptr]),
    "VEXBufData": (_ptr, [_ptr]),
    "VEXTreeFromJsonA": (_u32, [ctypes.c_char_p, _u32, ctypes.POINTER(_u32)]),
    "VEXTreeToJsonA": (_u32, [_u32, ctypes.POINTER(_ptr)]),
    "VEXTreeDeleteNode": (_u32, [_u32, ctypes.c_int32]),
    "GetFormatRef": (ctypes.c_int32, [ctypes.POINTER(_ptr)]),
    "GetDefaultParser": (ctypes.c_int32, [ctypes.POINTER(_ptr)]),
}


def _candidates():
    """Where the library may be: PAYFMT_LIBRARY, then the build trees of this
    source checkout, then the system's search path."""
    explicit = os.environ.get("PAYFMT_LIBRARY")
    if explicit:
        yield explicit
        return
    root = Path(__file__).resolve().parents[3]
    for tree in ("release", "asan", ""):
        yield str(root / "build" / tree / "src" / "libpayfmt.so")
    yield str(Path(__file__).resolve().parent / "libpayfmt.so")
    found = ctypes.util.find_library("payfmt")
    if found:
        yield found


_library = None


def load(path=None):
    """Loads libpayfmt.so (or the library at path) and returns it; later calls
    without a path return the library already loaded."""
    global _library
    if path is None and _library is not None:
        return _library
    tried = []
    for candidate in [path] if path else _candidates():
        if not os.path.isabs(candidate) or os.path.exists(candidate):
            try:
                lib = ctypes.CDLL(candidate)
                break
            except OSError as error:
                tried.append(f"{candidate}: {error}")
        else:
            tried.append(f"{candidate}: not found")
    else:
        raise OSError("libpayfmt.so was not found; set PAYFMT_LIBRARY. Tried:\n  " + "\n  ".join(tried))
    for name, (restype, argtypes) in _SIGNATURES.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    _library = lib
    return lib
