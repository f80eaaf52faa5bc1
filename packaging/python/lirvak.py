"""Reads Zentora databases from Python, through Lirvak: liblirvak.so.1 on Linux, and on
Windows the DLL of this Python's own bitness beside this module (Lirvak.dll for a 32-bit
Python, Lirvak64.dll for a 64-bit one).

    import lirvak
    db = lirvak.open("/home/ana/.local/share/zentora", "Muestra")  # or open(None, "Muestra")
    db.count()                  # the number of the newest record, 0 when there is none
    db.value("Precio", 1)       # a number, text, yes/no or memo value as text
    db.attachment("Foto", 1)    # an image or sound value as bytes, None when there is none

A folder of None is the library's default: the folder where Zentora keeps its databases
($XDG_DATA_HOME/zentora, else ~/.local/share/zentora; on Windows the folder of the program,
python.exe, so name the folder there). On Windows a database name must be one the ANSI code
page can spell (the library takes names that way); the folder can be any name. Field names are plain strings of at
most 35 UTF-16 code units, compared exactly (case counts).

Where the library could not answer, a call raises instead of answering as if there were
nothing, one class per cause, all of them LirvakError:

    DatabaseBusy          another program held the data file past the library's wait (2 s);
                          trying again later may succeed
    DatabaseNotFound      no such database in the folder (also a FileNotFoundError)
    DatabaseUnreadable    the data file could not be read: not a regular file, a read error
                          (also an OSError)
    BadRecordNumber       a record number that is not an integer of 64 bits (also a ValueError)
    BadName               a database or folder name holding a NUL character, which would cut
                          it short and name another (also a ValueError); a field name goes
                          whole, as its 70 bytes
    OutOfMemory           the answer did not fit in memory (also a MemoryError)

A database that exists but holds no record counts 0; a value that is not there is NO_DATA and
an attachment that is not there None, as before.
"""
import builtins
import ctypes
import operator
import os
import sys
import threading
import uuid

__all__ = ["Database", "open", "declare", "field_name", "library_file", "NO_DATA", "FIELD_NAME_UNITS",
           "STATUS_FOUND", "STATUS_WRITTEN", "STATUS_MISSING", "STATUS_NOT_WRITTEN", "STATUS_BUSY",
           "STATUS_NO_DATABASE", "STATUS_UNREADABLE", "STATUS_NO_MEMORY",
           "LirvakError", "DatabaseBusy", "DatabaseNotFound", "DatabaseUnreadable", "BadRecordNumber",
           "BadName", "OutOfMemory"]

# What the library answers for an empty or missing value.
NO_DATA = "No datos"
# Lirvak_get_status after a call (lirvak.h): what the call found.
STATUS_FOUND = STATUS_WRITTEN = 0
STATUS_MISSING, STATUS_NOT_WRITTEN, STATUS_BUSY, STATUS_NO_DATABASE, STATUS_UNREADABLE, STATUS_NO_MEMORY = 1, 2, 3, 4, 5, 6
FIELD_NAME_UNITS = 35
_RECORD_MIN, _RECORD_MAX = -(2 ** 63), 2 ** 63 - 1


class LirvakError(Exception):
    """What the library could not answer; each cause has a class of its own."""


class DatabaseBusy(LirvakError):
    """Another program held the data file past the library's wait."""


class DatabaseNotFound(LirvakError, FileNotFoundError):
    """No such database in the folder."""


class DatabaseUnreadable(LirvakError, OSError):
    """The data file could not be read."""


class BadRecordNumber(LirvakError, ValueError):
    """A record number that is not an integer of 64 bits."""


class BadName(LirvakError, ValueError):
    """A name holding a NUL character."""


class OutOfMemory(LirvakError, MemoryError):
    """The answer did not fit in memory."""


def _raise_for(status, database):
    """Raises the exception of a status that is no answer; returns for the others."""
    if status == STATUS_BUSY:
        raise DatabaseBusy(f"the data file of {database!r} is held by another program; try again")
    if status == STATUS_NO_DATABASE:
        raise DatabaseNotFound(f"no database {database!r} in the folder")
    if status == STATUS_UNREADABLE:
        raise DatabaseUnreadable(f"the data file of {database!r} cannot be read")
    if status == STATUS_NO_MEMORY:
        raise OutOfMemory(f"the answer from {database!r} does not fit in memory")


def _checked_name(name, what):
    if "\0" in name:
        raise BadName(f"a {what} name may not hold a NUL character: {name!r}")
    return name


def _checked_record(record):
    try:
        number = operator.index(record)
    except TypeError:
        raise BadRecordNumber(f"a record number is an integer, not {record!r}") from None
    if isinstance(record, bool) or not _RECORD_MIN <= number <= _RECORD_MAX:
        raise BadRecordNumber(f"a record number is an integer of 64 bits: {record!r}")
    return number

_library = None
# Lirvak_set_folder holds one folder for the whole process: each call names its folder and
# reads under this lock, so databases in different folders can be read from many threads.
_lock = threading.Lock()


def declare(library):
    """A loaded Lirvak (ctypes.CDLL) with the C types of the functions of lirvak.h."""
    c_char_p, c_void_p, c_int64 = ctypes.c_char_p, ctypes.c_void_p, ctypes.c_int64
    types = {
        "Lirvak_set_folder": (None, [c_char_p]),
        "Lirvak_get_folder": (c_void_p, []),
        "Lirvak_free_str": (None, [c_void_p]),
        "GetRegi": (c_int64, [c_char_p]),
        "Get_datos_str": (c_void_p, [c_char_p, c_char_p, c_int64]),
        "Get_datos_image": (ctypes.c_int32, [c_char_p, c_char_p, c_int64, c_char_p]),
        "Get_datos_sonido": (ctypes.c_int32, [c_char_p, c_char_p, c_int64, c_char_p]),
        "Lirvak_get_status": (ctypes.c_int32, []),
    }
    for name, (result, arguments) in types.items():
        function = getattr(library, name)
        function.restype, function.argtypes = result, arguments
    return library


def library_file(platform=sys.platform, pointer_size=ctypes.sizeof(ctypes.c_void_p)):
    """The library this Python loads: on Windows the DLL of its own bitness, beside this
    module (a process can load only a library of its own bitness); elsewhere liblirvak.so.1."""
    if platform == "win32":
        name = "Lirvak64.dll" if pointer_size == 8 else "Lirvak.dll"
        return os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    return "liblirvak.so.1"


class _Posix:
    """lirvak.h's functions: UTF-8 names, texts the library allocates."""

    def __init__(self, library=None):
        self.library = library or declare(ctypes.CDLL(library_file()))

    def set_folder(self, folder):
        self.library.Lirvak_set_folder(None if folder is None else os.fsencode(folder))

    def folder(self):
        return _taken(self.library, self.library.Lirvak_get_folder())

    def count(self, name):
        return self.library.GetRegi(name.encode("utf-8"))

    def value(self, name, field, record):
        return _taken(self.library, self.library.Get_datos_str(name.encode("utf-8"), field_name(field), record))

    def write_attachment(self, name, field, record, output):
        self.library.Get_datos_image(name.encode("utf-8"), field_name(field), record, output.encode("ascii"))
        return self.library.Lirvak_get_status()

    def status(self):
        return self.library.Lirvak_get_status()


class _Windows:
    """The DLL's exports: every argument by address, database and output names as BSTRs of
    ANSI bytes, texts as BSTRs of UTF-16; the folder as UTF-16. Quiet mode is set, so that a
    missing attachment answers a status rather than a message box nobody may be there to close."""

    def __init__(self):
        self.library = ctypes.WinDLL(library_file())
        self.oleaut32 = ctypes.WinDLL("oleaut32")
        self.oleaut32.SysAllocStringByteLen.restype = ctypes.c_void_p
        self.oleaut32.SysAllocStringByteLen.argtypes = [ctypes.c_char_p, ctypes.c_uint]
        self.oleaut32.SysStringLen.restype = ctypes.c_uint
        self.oleaut32.SysStringLen.argtypes = [ctypes.c_void_p]
        self.oleaut32.SysFreeString.argtypes = [ctypes.c_void_p]
        by_address, int64_address = ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_int64)
        types = {
            "Lirvak_set_folder": (None, [ctypes.c_wchar_p]),
            "Lirvak_get_folder": (ctypes.c_void_p, []),
            "Lirvak_get_status": (ctypes.c_int32, []),
            "Lirvak_set_quiet": (None, [ctypes.c_int32]),
            "GetRegi": (ctypes.c_double, [by_address]),
            "Get_datos_str": (ctypes.c_void_p, [by_address, ctypes.c_char_p, int64_address]),
            "Get_datos_image": (ctypes.c_int32, [by_address, ctypes.c_char_p, int64_address, by_address]),
        }
        for name, (result, arguments) in types.items():
            function = getattr(self.library, name)
            function.restype, function.argtypes = result, arguments
        self.library.Lirvak_set_quiet(1)

    def _text(self, bstr):
        if not bstr:
            raise OutOfMemory("Lirvak could not allocate a text")
        try:
            return ctypes.wstring_at(bstr, self.oleaut32.SysStringLen(bstr))
        finally:
            self.oleaut32.SysFreeString(bstr)

    def _ansi(self, name):
        """A BSTR holding the name's ANSI bytes (the length prefix counts bytes)."""
        encoded = name.encode("mbcs", errors="strict")
        return ctypes.c_void_p(self.oleaut32.SysAllocStringByteLen(encoded, len(encoded)))

    def _with_names(self, call, *names):
        handles = [self._ansi(name) for name in names]
        try:
            return call(*[ctypes.byref(handle) for handle in handles])
        finally:
            for handle in handles:
                self.oleaut32.SysFreeString(handle)

    def set_folder(self, folder):
        self.library.Lirvak_set_folder(folder)

    def folder(self):
        return self._text(self.library.Lirvak_get_folder())

    def count(self, name):
        return int(self._with_names(self.library.GetRegi, name))

    def value(self, name, field, record):
        number = ctypes.c_int64(record)
        return self._text(self._with_names(
            lambda database: self.library.Get_datos_str(database, field_name(field), ctypes.byref(number)), name))

    def write_attachment(self, name, field, record, output):
        number = ctypes.c_int64(record)
        self._with_names(lambda database, out: self.library.Get_datos_image(
            database, field_name(field), ctypes.byref(number), out), name, output)
        return self.library.Lirvak_get_status()

    def status(self):
        return self.library.Lirvak_get_status()


def _lirvak():
    global _library
    if _library is None:
        _library = _Windows() if sys.platform == "win32" else _Posix()
    return _library


def _taken(library, pointer):
    """The UTF-8 text of a string the library allocated, which is released here."""
    if not pointer:
        raise OutOfMemory("Lirvak could not allocate a text")
    try:
        return ctypes.string_at(pointer).decode("utf-8")
    finally:
        library.Lirvak_free_str(pointer)


def field_name(name):
    """The 70-byte buffer the library takes: 35 UTF-16LE units, the name padded with spaces."""
    units = name.encode("utf-16-le")
    if len(units) > 2 * FIELD_NAME_UNITS:
        raise ValueError(f"a field name holds at most {FIELD_NAME_UNITS} UTF-16 units: {name!r}")
    return units + " ".encode("utf-16-le") * (FIELD_NAME_UNITS - len(units) // 2)


class Database:
    """One database, by the folder that holds the database folders and its name."""

    def __init__(self, folder, name):
        folder = None if folder is None else os.fspath(folder)
        if isinstance(folder, bytes) and b"\0" in folder or isinstance(folder, str) and "\0" in folder:
            raise BadName(f"a folder name may not hold a NUL character: {folder!r}")
        self.folder = None if folder is None else os.path.abspath(folder)
        self.name = _checked_name(name, "database")

    def __repr__(self):
        return f"lirvak.Database({self.folder!r}, {self.name!r})"

    def _call(self, function):
        library = _lirvak()
        with _lock:
            library.set_folder(self.folder)
            return function(library)

    def count(self):
        """The number of the newest record that holds a value; 0 when there is none."""
        # The status of this thread's call, read before the lock lets another call in.
        number, status = self._call(lambda library: (library.count(self.name), library.status()))
        _raise_for(status, self.name)
        return number

    def value(self, field, record):
        """A number, text, yes/no or memo value as the library gives it: the text as stored
        ("1"/"0" for yes/no), or NO_DATA when it is empty or not found."""
        number = _checked_record(record)
        text, status = self._call(lambda library: (library.value(self.name, field, number), library.status()))
        _raise_for(status, self.name)
        return text

    def attachment(self, field, record):
        """An image or sound value as bytes, or None when there is none.

        The library writes attachments into the folder that holds the databases: the value is
        read back from a file of a unique name there, which is removed at once. A missing value makes the
        library print its message ("... NO existe ...") on standard error (on Linux; the Windows library
        is put in quiet mode); an attachment the library could not write raises OSError."""
        stem = f".lirvak-{os.getpid()}-{uuid.uuid4().hex}"

        number = _checked_record(record)

        def write(library):
            # The status of this thread's call, read before the lock lets another call in.
            return library.write_attachment(self.name, field, number, stem), library.folder()
        status, written_in = self._call(write)
        path = os.path.join(written_in, stem + ".jpg")
        if status == STATUS_MISSING:
            return None
        _raise_for(status, self.name)
        if status != STATUS_WRITTEN:
            if not os.access(written_in, os.W_OK):
                raise PermissionError(f"attachments are written into the folder, which is read-only: {written_in}")
            raise OSError(f"Lirvak could not write the attachment to {path}")
        try:
            with builtins.open(path, "rb") as written:
                return written.read()
        finally:
            try:
                os.remove(path)
            except FileNotFoundError:
                pass


def open(folder, name):  # noqa: A001 - lirvak.open(folder, name) reads like opening a file
    """The database `name` in `folder` (None: Zentora's own folder for databases)."""
    return Database(folder, name)
