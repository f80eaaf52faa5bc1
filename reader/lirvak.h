/* Lirvak for Linux: reads Zentora databases from other programs.
 *
 * Databases are looked up in the host folder. Database "N" is the data file <host>/N/N.zbd.
 * A database or output name that would leave the host folder (a leading '/' or '\', a drive
 * letter, a ".." component) is refused, and so is an empty database name, which names no
 * database; sub-folders are allowed. The host folder is:
 *   - the folder named by the last Lirvak_set_folder call, when there was one;
 *   - else the folder where the program Zentora keeps its databases. For the installed
 *     library (the Linux package) that is the user's data folder, $XDG_DATA_HOME/zentora,
 *     or ~/.local/share/zentora when XDG_DATA_HOME is unset, empty or relative. A library
 *     built for development uses the folder of the executable of the process that loaded
 *     it (not the library's own folder), as Zentora built for development does.
 *
 * Names are UTF-8, zero-terminated; a null pointer counts as the empty name. A field name
 * is a buffer of exactly LIRVAK_FIELD_NAME_BYTES bytes: 35 UTF-16LE code units, the name
 * followed by spaces (U+0020), as Zentora stores it; names are compared exactly.
 *
 * Each call opens the data file without sharing for its own length, so two calls on one
 * database, from two threads or two programs, exclude each other as Zentora and a caller
 * do: a call finding the file held retries for about two seconds and then finds nothing.
 * No initialisation is needed.
 *
 * Hostile files cost bounded time and memory: a call reads the data file in time linear in
 * it, and the index a process keeps of a database's data file takes at most 4 KB and 640 bytes
 * per 96-byte entry (usually far less: 16 bytes per value and a few per entry), whatever
 * record numbers the entries hold; after a call the process keeps at most 64 MB of such
 * indexes (one larger than that is dropped at the end of the call that made it).
 *
 * Build with `pkg-config --cflags --libs lirvak` (the library is liblirvak.so.1); from
 * Python, the module lirvak wraps these functions (lirvak.open(folder, name)).
 */
#ifndef LIRVAK_H
#define LIRVAK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LIRVAK_FIELD_NAME_BYTES 70

/* Names the folder that holds the databases (UTF-8) for every later call, from any thread:
 * "/srv/data" or "/srv/data/" alike; a relative folder is taken from the current folder at
 * the time of this call. NULL or "" restores the default above. A call already running
 * keeps the folder it started with. Nothing is checked or created here: a folder without
 * databases reads as empty. */
void Lirvak_set_folder(const char* folder);

/* The folder the next call reads (UTF-8, ending with '/'): the one named, or the default.
 * Newly allocated: release it with Lirvak_free_str. Null only if memory runs out. */
char* Lirvak_get_folder(void);

/* The number of the newest record that holds a value: the record number of the last
 * entry of the data file. 0 when the database has no entry or cannot be read. */
int64_t GetRegi(const char* database);

/* The text of a value of a number, text, logical or memo field, as UTF-8 ("1"/"0" for a
 * logical value, a number as it was typed), or "No datos" when the value is empty or not
 * found. The result is newly allocated: release it with Lirvak_free_str. Never null unless
 * memory runs out. */
char* Get_datos_str(const char* database, const unsigned char* field_name, int64_t record);
void Lirvak_free_str(char* text);

/* Write the bytes of an image or sound value (either kind, to either function) to the file
 * <host>/<output>.jpg (Get_datos_image) or <host>/<output>.wav (Get_datos_sonido). The bytes
 * go to a new file beside it, which replaces the old file only once complete, so a reader
 * never sees a part and a symbolic link at that name is replaced, never followed.
 * When there is no such value, or the file cannot be written, the message
 * "La imagen NO existe ..." / "El sonido NO existe ..." or "No se ha podido escribir el
 * fichero ..." goes to standard error, and no stale file stays: an old regular file of that
 * name is removed. A link, a folder, a pipe or a device at that name is never touched.
 * An empty output name is refused. Always return 0: Lirvak_get_status tells what happened
 * (any status but LIRVAK_STATUS_WRITTEN: no file was written). */
int32_t Get_datos_image(const char* database, const unsigned char* field_name, int64_t record, const char* output);
int32_t Get_datos_sonido(const char* database, const unsigned char* field_name, int64_t record, const char* output);

/* What the last call of the calling thread (GetRegi, Get_datos_str, Get_datos_image,
 * Get_datos_sonido) found, so that a caller can tell the causes apart; the functions' own
 * answers stay as described above. No function lets an exception or a crash out: memory that
 * runs out reads as not found (0, "No datos", no file) with LIRVAK_STATUS_NO_MEMORY. */
#define LIRVAK_STATUS_NONE (-1)       /* no such call yet on this thread */
#define LIRVAK_STATUS_FOUND 0         /* answered from the file: the count, the value found */
#define LIRVAK_STATUS_WRITTEN 0       /* the output file holds the value */
#define LIRVAK_STATUS_MISSING 1       /* the database is there, the value is not */
#define LIRVAK_STATUS_NOT_WRITTEN 2   /* the output name was refused (empty, or leaving the host
                                         folder), or the file could not be written: not a
                                         regular file, no permission, disk full */
#define LIRVAK_STATUS_BUSY 3          /* another program held the data file past the wait */
#define LIRVAK_STATUS_NO_DATABASE 4   /* no such database in the host folder (neither of its
                                         files), or a database name that is refused */
#define LIRVAK_STATUS_UNREADABLE 5    /* the data file could not be read: not a regular file,
                                         a read error */
#define LIRVAK_STATUS_NO_MEMORY 6     /* the answer did not fit in memory */
int32_t Lirvak_get_status(void);

#ifdef __cplusplus
}
#endif

#endif /* LIRVAK_H */
