// One small database written through Zentora's own storage code, read back by every reader
// test: the core, zentora-read, the Linux library from Python and the Windows library.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "storage/database.h"

namespace zentora::testing {

// Three records over seven fields. Record 1 fills every field; record 2 leaves the memo,
// the image and the lower-case field empty; record 3 holds only a name.
//   Nombre  string    "Año ĀŁ€ 漢 😀" / "Ana" / "Zoë, \"Z\""
//   Precio  decimal 2 "1234.5" / "-0.5"
//   Activo  logical   "1" / "0"
//   Notas   memo      "línea 1\r\nlínea 2"
//   Foto    image     SampleImage()
//   Voz     sound     SampleSound(1) / SampleSound(2)
//   nombre  string    "minúscula"   (kept apart from Nombre: names are case-sensitive)
inline constexpr std::int64_t kSampleRecords = 3;
inline constexpr char16_t kSampleName1[] = u"Año \u0100\u0141\u20AC \u6F22 \U0001F600";
inline constexpr char16_t kSampleName3[] = u"Zoë, \"Z\"";
inline constexpr char16_t kSampleNotes1[] = u"línea 1\r\nlínea 2";

// 300 bytes covering 0x00 and 0xFF: byte i is (i * 7 + 3) mod 256.
std::string SampleImage();
// A RIFF/WAVE header followed by record-dependent bytes.
std::string SampleSound(std::int64_t record);

// Creates the database folder and writes the structure and the data files.
void WriteSampleDatabase(const Database& db);

// What `zentora-read csv` writes for the sample database, byte for byte: UTF-8, every row
// ending in CR LF once, the memo's own CR LF kept inside its quotes.
std::string SampleCsv();

// A database of one text field named `field`, record i holding values[i - 1].
void WriteOneFieldDatabase(const Database& db, const std::u16string& field, const std::vector<std::u16string>& values);

// A database whose newest records hold only empty values: record 2 fills its first field
// and leaves the second empty, records 3 and 4 were entered with nothing at all. Such values
// leave no entry, so the last entry, and the record count, is record 2's.
inline constexpr std::int64_t kRecordsBeforeEmptyOnes = 2;
void WriteDatabaseEndingInEmptyValues(const Database& db);

// A field name as the 70-byte buffer the libraries take: 35 UTF-16LE units, `pad` after the name.
std::string FieldNameBuffer(const std::u16string& name, char16_t pad = u' ');

}  // namespace zentora::testing
