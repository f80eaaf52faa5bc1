"""Reads Zentora databases from Python, through Lirvak (liblirvak.so.1).

    import lirvak
    db = lirvak.open("/home/ana/.local/share/zentora", "Muestra")  # or open(None, "Muestra")
    db.count()                  # the number of the newest record, 0 when there is none
    db.value("Precio", 1)       # a number, text, yes/no or memo value as text
    db.attachment("Foto", 1)    # an image or sound value as bytes, None when there is none

A folder of None is the library's default: the folder where Zentora keeps its databases
($XDG_DATA_HOME/zentora, else ~/.local/share/zentora). Field names are plain strings of at
most 35 UTF-16 code units, compared exactly (case counts).
"""
import builtins
import ctypes
import os
import threading
import uuid

__all__ = ["Database", "open", "declare", "field_name", "NO_DATA", "FIELD_NAME_UNITS",
           "STATUS_WRITTEN", "STATUS_MISSING", "STATUS_NOT_WRITTEN"]

# What the library answers for an empty or missing value.
NO_DATA = "No datos"
# Lirvak_get_status after an attachment call: written, no such value, not written.
STATUS_WRITTEN, STATUS_MISSING, STATUS_NOT_WRITTEN = 0, 1, 2
FIELD_NAME_UNITS = 35

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
        raise MemoryError("Lirvak could not allocate a text")
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
        self.folder = None if folder is None else os.path.abspath(os.fspath(folder))
        self.name = name

    def __repr__(self):
        return f"lirvak.Database({self.folder!r}, {self.name!r})"

    def _call(self, function):
        library = _lirvak()
        with _lock:
            library.Lirvak_set_folder(None if self.folder is None else os.fsencode(self.folder))
            return function(library, self.name.encode("utf-8"))

    def count(self):
        """The number of the newest record that holds a value; 0 for none or no database."""
        return self._call(lambda library, database: library.GetRegi(database))

    def value(self, field, record):
        """A number, text, yes/no or memo value as the library gives it: the text as stored
        ("1"/"0" for yes/no), or NO_DATA when it is empty or not found."""
        return self._call(lambda library, database:
                          _taken(library, library.Get_datos_str(database, field_name(field), record)))

    def attachment(self, field, record):
        """An image or sound value as bytes, or None when there is none.

        The library writes attachments into the folder that holds the databases: the value is
        read back from a file of a unique name there, which is removed at once. A missing value makes the
        library print its message ("... NO existe ...") on standard error; an attachment the library
        could not write raises OSError."""
        stem = f".lirvak-{os.getpid()}-{uuid.uuid4().hex}"

        def write(library, database):
            library.Get_datos_image(database, field_name(field), record, stem.encode("ascii"))
            # The status of this thread's call, read before the lock lets another call in.
            return library.Lirvak_get_status(), _taken(library, library.Lirvak_get_folder())
        status, written_in = self._call(write)
        path = os.path.join(written_in, stem + ".jpg")
        if status == STATUS_MISSING:
            return None
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
