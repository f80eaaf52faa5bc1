#!/usr/bin/env python3
"""The Python module lirvak over the installed liblirvak.so.1, as its users import it.

    lirvak_module_test.py SAMPLE_FOLDER

SAMPLE_FOLDER holds the sample database "muestra"; so does $XDG_DATA_HOME/zentora, the
library's default folder. PYTHONPATH and LD_LIBRARY_PATH lead to the module and the library.
"""
import os
import sys
import tempfile
import threading
import unittest

import lirvak  # the installed module, first: the reader tests below would bring the source tree's

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "reader"))
from lirvak_test import IMAGE, NAME_1, sound  # noqa: E402  the sample's values, written once


class LirvakModuleTest(unittest.TestCase):
    def setUp(self):
        self.db = lirvak.open(SAMPLE_FOLDER, "muestra")

    def leftovers(self):
        return [name for name in os.listdir(SAMPLE_FOLDER) if name.startswith(".lirvak-")]

    def test_it_is_the_installed_module(self):
        self.assertNotIn("tests", lirvak.__file__)
        self.assertTrue(lirvak.__file__.endswith("dist-packages/lirvak.py"), lirvak.__file__)

    def test_count(self):
        self.assertEqual(self.db.count(), 3)
        # A database that is not there is said so, never counted as empty.
        for folder, name in [(SAMPLE_FOLDER, "ninguna"), (os.path.join(SAMPLE_FOLDER, "muestra"), "muestra")]:
            with self.subTest(folder=folder, name=name):
                with self.assertRaises(lirvak.DatabaseNotFound):
                    lirvak.open(folder, name).count()

    def test_values_come_back_as_text(self):
        cases = [("Nombre", 1, NAME_1), ("Nombre", 2, "Ana"), ("Precio", 1, "1234.5"), ("Activo", 2, "0"),
                 ("Notas", 1, "línea 1\r\nlínea 2"), ("nombre", 1, "minúscula"),
                 ("Nombre", 4, lirvak.NO_DATA), ("NOMBRE", 1, lirvak.NO_DATA), ("Foto", 1, lirvak.NO_DATA)]
        for field, record, expected in cases:
            with self.subTest(field=field, record=record):
                self.assertEqual(self.db.value(field, record), expected)

    def test_field_names_are_padded_to_35_units_and_no_longer(self):
        self.assertEqual(len(lirvak.field_name("Precio")), 70)
        self.assertEqual(lirvak.field_name("Año")[:6], "Año".encode("utf-16-le"))
        self.assertEqual(lirvak.field_name("\U0001F600" * 17 + "x"), ("\U0001F600" * 17 + "x").encode("utf-16-le"))
        for too_long in ("x" * 36, "\U0001F600" * 18):
            with self.subTest(units=len(too_long.encode("utf-16-le")) // 2):
                with self.assertRaises(ValueError):
                    self.db.value(too_long, 1)

    def test_attachments_come_back_as_bytes_and_leave_no_file(self):
        cases = [("Foto", 1, IMAGE), ("Voz", 2, sound(2)), ("Voz", 1, sound(1)), ("Foto", 2, None),
                 ("Nombre", 1, None)]
        for field, record, expected in cases:
            with self.subTest(field=field, record=record):
                self.assertEqual(self.db.attachment(field, record), expected)
                self.assertEqual(self.leftovers(), [])

    def test_the_default_folder_is_the_users_data_folder(self):
        default = lirvak.open(None, "muestra")
        self.assertEqual(default.count(), 3)
        self.assertEqual(default.value("Nombre", 2), "Ana")
        self.assertEqual(default.attachment("Foto", 1), IMAGE)
        empty = tempfile.mkdtemp()
        try:
            with self.assertRaises(lirvak.DatabaseNotFound):  # a named folder wins
                lirvak.open(empty, "muestra").count()
        finally:
            os.rmdir(empty)

    def test_a_relative_folder_is_taken_from_the_current_folder(self):
        before = os.getcwd()
        os.chdir(os.path.dirname(SAMPLE_FOLDER))
        try:
            db = lirvak.open(os.path.basename(SAMPLE_FOLDER), "muestra")
        finally:
            os.chdir(before)
        self.assertEqual(db.count(), 3)

    def test_threads_reading_different_folders_each_get_their_own(self):
        empty = tempfile.mkdtemp()
        wrong = []
        together = threading.Barrier(2)

        def read(folder, expected):
            db = lirvak.open(folder, "muestra")
            together.wait()
            for _ in range(5000):
                try:
                    got = db.value("Nombre", 2)
                except lirvak.DatabaseNotFound:
                    got = None
                if got != expected:
                    wrong.append(folder)
        try:
            threads = [threading.Thread(target=read, args=(SAMPLE_FOLDER, "Ana")),
                       threading.Thread(target=read, args=(empty, None))]
            for thread in threads:
                thread.start()
            for thread in threads:
                thread.join()
        finally:
            os.rmdir(empty)
        self.assertEqual(wrong, [])


if __name__ == "__main__":
    SAMPLE_FOLDER = os.path.abspath(sys.argv[1])
    unittest.main(argv=sys.argv[:1], verbosity=2)
