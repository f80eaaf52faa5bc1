#!/usr/bin/env python3
"""Calls liblirvak.so through ctypes, as another program on Linux would.

    lirvak_test.py LIBRARY SAMPLE_WRITER

The library finds databases beside the executable of the process that loads it. So the
test copies the interpreter into a fresh folder, writes the sample database there with
Zentora's storage code (SAMPLE_WRITER) and runs its checks under that copy: the library
is exercised exactly as a real caller uses it, with no override of the host folder.
"""
import ctypes
import fcntl
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "python"))
import lirvak  # noqa: E402

DATABASE = b"muestra"
NAME_1 = "Año \u0100\u0141\u20AC \u6F22 \U0001F600"
IMAGE = bytes((i * 7 + 3) % 256 for i in range(300))


def sound(record):
    return b"RIFF\x24\x00\x00\x00WAVEfmt " + bytes([0x80 + record]) * (40 * record)


def field(name, pad=" "):
    """The 70-byte field name buffer: 35 UTF-16LE units, padded."""
    return (name + pad * 35)[:35].encode("utf-16-le")


class LirvakTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.host = os.environ["LIRVAK_TEST_HOST"]
        # The C types of lirvak.h, as the Python module that ships with the library declares them.
        cls.lib = lirvak.declare(ctypes.CDLL(os.environ["LIRVAK_TEST_LIBRARY"]))

    def text(self, name, record, database=DATABASE, pad=" "):
        pointer = self.lib.Get_datos_str(database, field(name, pad), record)
        self.assertIsNotNone(pointer)
        try:
            return ctypes.string_at(pointer).decode("utf-8")
        finally:
            self.lib.Lirvak_free_str(pointer)

    def attach(self, function, name, record, output, database=DATABASE):
        """Calls an attachment function; returns its result and what it wrote to stderr."""
        sys.stderr.flush()
        saved = os.dup(2)
        with tempfile.TemporaryFile() as captured:
            os.dup2(captured.fileno(), 2)
            try:
                result = function(database, field(name), record, output)
            finally:
                os.dup2(saved, 2)
                os.close(saved)
            captured.seek(0)
            return result, captured.read().decode("utf-8")

    def path(self, *parts):
        return os.path.join(self.host, *parts)

    def test_record_count(self):
        self.assertEqual(self.lib.GetRegi(DATABASE), 3)
        self.assertEqual(self.lib.GetRegi(b"ninguna"), 0)
        self.assertEqual(self.lib.GetRegi(None), 0)
        self.assertEqual(self.lib.GetRegi(b"../" + os.path.basename(self.host).encode() + b"/muestra"), 0)

    def test_texts_come_back_as_stored(self):
        cases = [("Nombre", 1, NAME_1), ("Nombre", 2, "Ana"), ("Nombre", 3, 'Zoë, "Z"'),
                 ("Precio", 1, "1234.5"), ("Activo", 2, "0"), ("Notas", 1, "línea 1\r\nlínea 2"),
                 ("nombre", 1, "minúscula")]
        for name, record, expected in cases:
            with self.subTest(name=name, record=record):
                self.assertEqual(self.text(name, record), expected)

    def test_no_data(self):
        cases = [("Nombre", 1, "\0"), ("NOMBRE", 1, " "), ("Nombre", 0, " "), ("Nombre", -1, " "),
                 ("Nombre", 4, " "), ("Foto", 1, " "), ("Notas", 2, " ")]
        for name, record, pad in cases:
            with self.subTest(name=name, record=record, pad=pad):
                self.assertEqual(self.text(name, record, pad=pad), "No datos")
        self.assertEqual(self.text("Nombre", 1, database=b"/etc/muestra"), "No datos")

    def test_attachments_byte_for_byte(self):
        cases = [(self.lib.Get_datos_image, "Foto", 1, "foto.jpg", IMAGE),
                 (self.lib.Get_datos_sonido, "Voz", 2, "voz.wav", sound(2)),
                 (self.lib.Get_datos_image, "Voz", 1, "voz.jpg", sound(1))]
        for function, name, record, file, expected in cases:
            with self.subTest(file=file):
                result, message = self.attach(function, name, record, os.path.splitext(file)[0].encode())
                self.assertEqual((result, message), (0, ""))
                with open(self.path(file), "rb") as written:
                    self.assertEqual(written.read(), expected)

    def test_missing_attachment_reports_and_leaves_no_file(self):
        cases = [(self.lib.Get_datos_image, "Foto", 2, "vieja.jpg", "La imagen NO existe ..."),
                 (self.lib.Get_datos_sonido, "Nombre", 1, "vieja.wav", "El sonido NO existe ...")]
        for function, name, record, file, text in cases:
            with self.subTest(file=file):
                with open(self.path(file), "wb") as stale:
                    stale.write(b"stale")
                result, message = self.attach(function, name, record, os.path.splitext(file)[0].encode())
                self.assertEqual(result, 0)
                self.assertEqual(message, "Programador: " + text + "\n")
                self.assertFalse(os.path.exists(self.path(file)))

    def test_output_names_leaving_the_host_folder_write_nothing(self):
        outside = os.path.join(os.path.dirname(self.host), "lirvak-fuera")
        if os.path.exists(outside + ".jpg"):
            os.remove(outside + ".jpg")  # left by an earlier, failed run
        relative = b"../" + os.path.basename(outside).encode()
        result, message = self.attach(self.lib.Get_datos_image, "Foto", 1, relative)
        self.assertEqual(result, 0)
        self.assertTrue(message.startswith("Programador: No se ha podido escribir el fichero"), message)
        self.assertEqual(self.lib.Lirvak_get_status(), lirvak.STATUS_NOT_WRITTEN)
        self.assertFalse(os.path.exists(outside + ".jpg"))
        os.mkdir(self.path("salida"))
        self.assertEqual(self.attach(self.lib.Get_datos_image, "Foto", 1, b"salida/foto")[0], 0)
        with open(self.path("salida", "foto.jpg"), "rb") as written:
            self.assertEqual(written.read(), IMAGE)

    def test_the_module_tells_a_missing_attachment_from_one_not_written(self):
        lirvak._library = lirvak._Posix(self.lib)  # the library under test, not an installed one
        database = lirvak.open(self.host, DATABASE.decode())
        self.assertEqual(database.attachment("Foto", 1), IMAGE)
        self.assertIsNone(database.attachment("Foto", 2))
        # Files may not grow past 100 bytes: the 300-byte image cannot be written.
        previous_signal = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        previous_limit = resource.getrlimit(resource.RLIMIT_FSIZE)
        resource.setrlimit(resource.RLIMIT_FSIZE, (100, previous_limit[1]))
        try:
            with self.assertRaises(OSError):
                database.attachment("Foto", 1)
        finally:
            resource.setrlimit(resource.RLIMIT_FSIZE, previous_limit)
            signal.signal(signal.SIGXFSZ, previous_signal)
        self.assertEqual([name for name in os.listdir(self.host) if name.startswith(".")], [])

    def test_a_data_file_held_open_elsewhere_reads_as_nothing(self):
        data = self.path("muestra", "muestra.zbd")
        with open(data, "rb") as held:
            fcntl.flock(held, fcntl.LOCK_EX | fcntl.LOCK_NB)
            started = time.monotonic()
            self.assertEqual(self.text("Nombre", 2), "No datos")
            self.assertGreaterEqual(time.monotonic() - started, 1.0)  # it did wait before giving up
            self.assertEqual(self.lib.Lirvak_get_status(), lirvak.STATUS_BUSY)
            self.assertEqual(self.lib.GetRegi(DATABASE), 0)
            self.assertEqual(self.lib.Lirvak_get_status(), lirvak.STATUS_BUSY)
        self.assertEqual(self.text("Nombre", 2), "Ana")

    def test_the_status_tells_why_a_value_or_count_is_missing(self):
        # (call, its answer, the status after it): the answers are as they always were.
        cases = [
            (lambda: self.lib.GetRegi(DATABASE), 3, lirvak.STATUS_FOUND),
            (lambda: self.lib.GetRegi(b"ninguna"), 0, lirvak.STATUS_NO_DATABASE),
            (lambda: self.lib.GetRegi(b"../muestra"), 0, lirvak.STATUS_NO_DATABASE),
            (lambda: self.text("Nombre", 2), "Ana", lirvak.STATUS_FOUND),
            (lambda: self.text("Nombre", 9), "No datos", lirvak.STATUS_MISSING),
            (lambda: self.text("Nombre", 2, b"ninguna"), "No datos", lirvak.STATUS_NO_DATABASE),
            (lambda: self.attach(self.lib.Get_datos_image, "Foto", 1, b"")[0], 0, lirvak.STATUS_NOT_WRITTEN),
        ]
        for number, (call, answer, status) in enumerate(cases):
            with self.subTest(case=number):
                self.assertEqual(call(), answer)
                self.assertEqual(self.lib.Lirvak_get_status(), status)
        self.assertFalse(os.path.exists(self.path(".jpg")), "an empty output name names no file")

    def test_the_module_raises_a_class_per_cause(self):
        lirvak._library = lirvak._Posix(self.lib)  # the library under test, not an installed one
        database = lirvak.open(self.host, DATABASE.decode())
        data = self.path("muestra", "muestra.zbd")
        cases = [
            ("a missing database", lambda: lirvak.open(self.host, "ninguna").count(), lirvak.DatabaseNotFound),
            ("a missing database's value", lambda: lirvak.open(self.host, "ninguna").value("Nombre", 1),
             lirvak.DatabaseNotFound),
            ("a record past 64 bits", lambda: database.value("Nombre", 2 ** 64 + 1), lirvak.BadRecordNumber),
            ("a record below 64 bits", lambda: database.attachment("Foto", -2 ** 63 - 1), lirvak.BadRecordNumber),
            ("a record that is no integer", lambda: database.value("Nombre", 1.0), lirvak.BadRecordNumber),
            ("a NUL in the database name", lambda: lirvak.open(self.host, "muestra\0x"), lirvak.BadName),
            ("a NUL in the folder name", lambda: lirvak.open(self.host + "\0x", "muestra"), lirvak.BadName),
        ]
        for what, call, error in cases:
            with self.subTest(what):
                with self.assertRaises(error):
                    call()
        self.assertTrue(issubclass(lirvak.DatabaseNotFound, FileNotFoundError))
        self.assertTrue(issubclass(lirvak.BadRecordNumber, ValueError))
        with open(data, "rb") as held:
            fcntl.flock(held, fcntl.LOCK_EX | fcntl.LOCK_NB)
            for what, call in [("count", database.count), ("value", lambda: database.value("Nombre", 2)),
                               ("attachment", lambda: database.attachment("Foto", 1))]:
                with self.subTest(what + " of a held file"):
                    with self.assertRaises(lirvak.DatabaseBusy):
                        call()
        # Free again, and the answers that are no failures stay answers.
        self.assertEqual(database.count(), 3)
        self.assertEqual(database.value("Nombre", 9), lirvak.NO_DATA)
        self.assertIsNone(database.attachment("Foto", 2))


class LibraryChoiceTest(unittest.TestCase):
    def test_each_python_loads_the_library_of_its_own_bitness(self):
        beside = os.path.dirname(os.path.abspath(lirvak.__file__))
        cases = [("win32", 4, os.path.join(beside, "Lirvak.dll")), ("win32", 8, os.path.join(beside, "Lirvak64.dll")),
                 ("linux", 8, "liblirvak.so.1"), ("linux", 4, "liblirvak.so.1")]
        for platform, pointer_size, expected in cases:
            with self.subTest(platform=platform, pointer_size=pointer_size):
                self.assertEqual(lirvak.library_file(platform, pointer_size), expected)
        self.assertEqual(lirvak.library_file(), "liblirvak.so.1")  # this Python's own


def main():
    if "LIRVAK_TEST_HOST" in os.environ:
        unittest.main(argv=[sys.argv[0]])
    library, writer = map(os.path.abspath, sys.argv[1:3])
    host = tempfile.mkdtemp(prefix="lirvak-host-")
    try:
        interpreter = os.path.join(host, "python3")
        shutil.copy2(os.path.realpath(sys.executable), interpreter)
        subprocess.run([writer, host, DATABASE.decode()], check=True)
        env = dict(os.environ, LIRVAK_TEST_HOST=host, LIRVAK_TEST_LIBRARY=library,
                   PYTHONHOME=sys.base_prefix)
        return subprocess.run([interpreter, os.path.abspath(__file__)], env=env).returncode
    finally:
        shutil.rmtree(host, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
