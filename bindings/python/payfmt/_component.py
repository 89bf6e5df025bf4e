"""Components as Python objects: every member of the component's class
descriptor becomes an attribute, resolved through the dispatch interface."""

import ctypes

from . import _errors
from . import _native as n
from . import _variant


def _text(raw):
    return raw.decode("latin-1") if raw else ""


class _Member:
    def __init__(self, info):
        self.name = _text(info.name)
        self.dispid = info.dispid
        self.kind = info.kind
        self.description = _text(info.description)
        self.help_link = _text(info.help_link)
        self.attributes = info.attributes

    def doc(self):
        help_line = f"\n\nHelp: {self.help_link}" if self.help_link else ""
        return f"{self.description}{help_line}\n(dispid {self.dispid})"


class _Property:
    """A property or constant; reads and writes go through the component."""

    def __init__(self, member):
        self.member = member
        self.__doc__ = member.doc()

    def __get__(self, obj, owner=None):
        if obj is None:
            return self
        return obj._read(self.member.dispid)

    def __set__(self, obj, value):
        obj._invoke(self.member.dispid, n.KOR_DISPATCH_PUT, (value,))


def _method(member, class_name):
    def call(self, *args, **named):
        if named:
            raise _errors.PayfmtError(n.KOR_E_NONAMEDARGS, "payfmt",
                                      f"{member.name} takes no named arguments: {', '.join(named)}")
        return self._invoke(member.dispid, n.KOR_DISPATCH_METHOD, args)

    call.__name__ = member.name
    call.__qualname__ = f"{class_name}.{member.name}"
    call.__doc__ = member.doc()
    call.dispid = member.dispid
    return call


class Indexed(list):
    """The value of an array property: a list of what the property held when
    it was read, whose item reads and writes (obj.Prop[i], obj.Prop[i] = v,
    obj.Grid[i, j]) go through the component's indexed access."""

    def __init__(self, owner, dispid, value, prefix=()):
        super().__init__(value)
        self._owner, self._dispid, self._prefix = owner, dispid, prefix

    def _indices(self, key):
        keys = key if isinstance(key, tuple) else (key,)
        if isinstance(keys[0], int) and keys[0] < 0:
            keys = (keys[0] + len(self),) + keys[1:]
        return self._prefix + keys

    def __getitem__(self, key):
        if isinstance(key, slice):
            return list.__getitem__(self, key)
        indices = self._indices(key)
        value = self._owner._invoke(self._dispid, n.KOR_DISPATCH_GET, indices)
        return Indexed(self._owner, self._dispid, value, indices) if isinstance(value, list) else value

    def __setitem__(self, key, value):
        if isinstance(key, slice):
            raise TypeError("slices of a component property cannot be assigned")
        self._owner._invoke(self._dispid, n.KOR_DISPATCH_PUT, self._indices(key) + (value,))
        if isinstance(key, int) and -len(self) <= key < len(self):
            list.__setitem__(self, key, value)


class ByIndex:
    """A property that is only read element by element, such as the settings'
    ParserTypes: obj.Prop[i] (obj.Prop[i, j] with more indices) reads and
    writes one element through the component."""

    __slots__ = ("_owner", "_dispid")

    def __init__(self, owner, dispid):
        self._owner, self._dispid = owner, dispid

    @staticmethod
    def _indices(key):
        return key if isinstance(key, tuple) else (key,)

    def __getitem__(self, key):
        return self._owner._invoke(self._dispid, n.KOR_DISPATCH_GET, self._indices(key))

    def __setitem__(self, key, value):
        self._owner._invoke(self._dispid, n.KOR_DISPATCH_PUT, self._indices(key) + (value,))

    def __repr__(self):
        return f"<payfmt property {self._dispid} read by index>"


class Component:
    """A reference to a payfmt component. Attributes are the component's
    members: properties read and write, methods are called with positional
    arguments. Names are found without regard to case."""

    __slots__ = ("_handle", "_lib")

    def __init__(self, lib, handle):
        # Takes over one reference, which __del__ gives back.
        object.__setattr__(self, "_lib", lib)
        object.__setattr__(self, "_handle", handle)

    def __del__(self):
        handle = getattr(self, "_handle", None)
        if handle:
            object.__setattr__(self, "_handle", None)
            try:
                self._lib.KORRelease(handle)
            except Exception:  # the interpreter is going down
                pass

    def __getattr__(self, name):
        # Reached only when the exact name is not a member: resolve it.
        if name.startswith("__"):
            raise AttributeError(name)
        entry = type(self)._by_dispid.get(self._resolve(name))
        if entry is None:  # described nowhere: read it as a property
            return self._read(self._resolve(name))
        return entry.__get__(self, type(self))

    def __setattr__(self, name, value):
        self._invoke(self._resolve(name), n.KOR_DISPATCH_PUT, (value,))

    def __dir__(self):
        return sorted(type(self)._by_name)

    def __eq__(self, other):
        return isinstance(other, Component) and self._handle == other._handle

    def __hash__(self):
        return hash(self._handle)

    def __repr__(self):
        return f"<payfmt {type(self).__name__} component>"

    def _resolve(self, name):
        member = type(self)._by_name.get(name)
        if member is not None:
            return member.dispid
        dispid = ctypes.c_int32()
        status = self._lib.KORGetIDsOfNamesA(self._handle, name.encode("latin-1"), ctypes.byref(dispid))
        if status:
            raise _errors.from_thread_record(self._lib, status)
        return dispid.value

    def _read(self, dispid):
        try:
            value = self._invoke(dispid, n.KOR_DISPATCH_METHOD | n.KOR_DISPATCH_GET, ())
        except _errors.PayfmtError as error:
            # A property that cannot be read whole wants its indices.
            if error.status != n.KOR_E_BADPARAMCOUNT:
                raise
            return ByIndex(self, dispid)
        return Indexed(self, dispid, value) if isinstance(value, list) else value

    def _invoke(self, dispid, flags, args):
        lib = self._lib
        array = (n.VEXVARIANT * len(args))()
        # result and excep are out parameters: the library never frees what
        # they held, so each call gets fresh ones and releases them after.
        result = n.VEXVARIANT()
        excep = n.KOREXCEPINFO()
        try:
            for slot, value in zip(array, args):
                value = value.value if isinstance(value, _variant.Ref) else value
                _variant.fill(lib, ctypes.byref(slot), value, handle_of)
            status = lib.KORInvoke(self._handle, dispid, flags, array, len(args), ctypes.byref(result),
                                   ctypes.byref(excep))
            if status:
                raise (_errors.from_excep(excep, status) if excep.description is not None
                       else _errors.from_thread_record(lib, status))
            wrapper = lambda handle: wrap(lib, handle, add_ref=True)
            for slot, value in zip(array, args):
                if isinstance(value, _variant.Ref):
                    value.value = _variant.value_of(slot, wrapper)
            return _variant.value_of(result, wrapper)
        finally:
            for slot in array:
                lib.VEXVarClear(ctypes.byref(slot))
            lib.VEXVarClear(ctypes.byref(result))
            lib.KORExcepInfoClear(ctypes.byref(excep))


def handle_of(value):
    return value._handle if isinstance(value, Component) else None


_classes = {}


def _class_for(lib, handle):
    """The Python class of the component's class, built once from its
    descriptor."""
    info = n.KORCOMPONENTINFO()
    _errors.check(lib, lib.KORGetComponentInfoA(handle, ctypes.byref(info)))
    key = (id(lib), _text(info.class_name))
    cls = _classes.get(key)
    if cls is not None:
        return cls
    name = _text(info.name)
    namespace = {"__slots__": (), "_by_name": {}, "_by_dispid": {}, "__module__": "payfmt"}
    for index in range(info.member_count):
        raw = n.KORMEMBERINFO()
        _errors.check(lib, lib.KORGetMemberInfoA(handle, index, ctypes.byref(raw)))
        member = _Member(raw)
        entry = _method(member, name) if member.kind == n.KOR_MEMBER_METHOD else _Property(member)
        namespace[member.name] = entry
        namespace["_by_name"][member.name] = member
        namespace["_by_dispid"][member.dispid] = entry
    help_line = f"\n\nHelp: {_text(info.help_link)}" if info.help_link else ""
    namespace["__doc__"] = (f"The payfmt component {name} (class {_text(info.class_name)}"
                            f"{', ' + _text(info.class_id) if info.class_id else ''}).\n\n"
                            f"{_text(info.description)}{help_line}").rstrip()
    cls = type(name, (Component,), namespace)
    _classes[key] = cls
    return cls


def wrap(lib, handle, add_ref):
    """A Python object for the KOROBJ; with add_ref it takes a reference of
    its own, else it takes over the caller's."""
    if add_ref:
        lib.KORAddRef(handle)
    try:
        cls = _class_for(lib, handle)
    except Exception:
        lib.KORRelease(handle)
        raise
    return cls(lib, handle)
