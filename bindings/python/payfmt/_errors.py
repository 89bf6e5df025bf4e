"""The exception that carries a failure of the library."""

import ctypes


class PayfmtError(Exception):
    """A failure reported by libpayfmt: code, source and description of its
    error record; status is what the failing call returned."""

    def __init__(self, code, source, description, help_file="", help_context=0, status=None):
        super().__init__(code, source, description)
        self.code = code
        self.source = source
        self.description = description
        self.help_file = help_file
        self.help_context = help_context
        self.status = code if status is None else status

    def __str__(self):
        where = f", {self.source}" if self.source else ""
        return f"{self.description} (0x{self.code:08X}{where})"


class MemberNotFoundError(PayfmtError, AttributeError):
    """No member of that name or dispid; also an AttributeError, so that
    hasattr() and getattr() with a default behave as usual."""


def _text(raw):
    return raw.decode("latin-1") if raw else ""


def make_error(code, source, description, help_file="", help_context=0, status=None):
    kind = MemberNotFoundError if code in (0xC0020003, 0x80020003, 0x80020006) else PayfmtError
    return kind(code, source, description, help_file, help_context, status)


def from_excep(excep, status):
    return make_error(excep.code, _text(excep.source), _text(excep.description), _text(excep.help_file),
                      excep.help_context, status)


def from_thread_record(lib, status):
    """The calling thread's error record after a failed call."""
    info = ctypes.c_void_p()
    if lib.KORGetErrorInfo(ctypes.byref(info)) != 0:
        return make_error(status, "", f"payfmt call failed with status 0x{status:08X}")
    try:
        return make_error(lib.KORErrorInfoCode(info), _text(lib.KORErrorInfoSourceA(info)),
                          _text(lib.KORErrorInfoDescriptionA(info)), _text(lib.KORErrorInfoHelpFileA(info)),
                          lib.KORErrorInfoHelpContext(info), status)
    finally:
        lib.KORFreeErrorInfo(info)


def check(lib, status):
    if status & 0x80000000:
        raise from_thread_record(lib, status)
