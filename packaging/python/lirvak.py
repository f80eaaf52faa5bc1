"""Reads Zentora databases from Python, through Lirvak (liblirvak.so.1).

    import lirvak
    db = lirvak.open("/home/ana/.local/share/zentora", "Muestra")  # or open(None, "Muestra")
    db.count()                  # the number of the newest record, 0 when there is none
    db.value("Precio", 1)       # a number, text, yes/no or memo value as text
    db.attachment("Foto", 1)    # an image or sound value as bytes, None when there is none

A folder of None is the library's default: the folder where Zentora keeps its databases
($XDG_DATA_HOME/zentora, else ~/.local/share/zentora). Field names are plain strings of at
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
import threading
import uuid

__all__ = ["Database", "open", "declare", "field_name", "NO_DATA", "FIELD_NAME_UNITS",
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


def _lirvak():
    global _library
    if _library is None:
        _library = declare(ctypes.CDLL("liblirvak.so.1"))
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
            library.Lirvak_set_folder(None if self.folder is None else os.fsencode(self.folder))
            return function(library, self.name.encode("utf-8"))

    def count(self):
        """The number of the newest record that holds a value; 0 when there is none."""
        def count(library, database):
            # The status of this thread's call, read before the lock lets another call in.
            return library.GetRegi(database), library.Lirvak_get_status()
        number, status = self._call(count)
        _raise_for(status, self.name)
        return number

    def value(self, field, record):
        """A number, text, yes/no or memo value as the library gives it: the text as stored
        ("1"/"0" for yes/no), or NO_DATA when it is empty or not found."""
        name, number = field_name(field), _checked_record(record)

        def value(library, database):
            text = library.Get_datos_str(database, name, number)
            return text, library.Lirvak_get_status()
        pointer, status = self._call(value)
        text = _taken(_lirvak(), pointer)
        _raise_for(status, self.name)
        return text

    def attachment(self, field, record):
        """An image or sound value as bytes, or None when there is none.

        The library writes attachments into the folder that holds the databases: the value is
        read back from a file of a unique name there, which is removed at once. A missing value makes the
        library print its message ("... NO existe ...") on standard error; an attachment the library
        could not write raises OSError."""
        stem = f".lirvak-{os.getpid()}-{uuid.uuid4().hex}"
        name, number = field_name(field), _checked_record(record)

        def write(library, database):
            library.Get_datos_image(database, name, number, stem.encode("ascii"))
            # The status of this thread's call, read before the lock lets another call in.
            return library.Lirvak_get_status(), _taken(library, library.Lirvak_get_folder())
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
