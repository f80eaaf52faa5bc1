// The data file: every UTF-16 code unit of a typed value and every byte of an attachment
// is one 96-byte entry that repeats its field's definition and its record number.
// Entries are only ever appended; a value's entries are contiguous and the last one
// carries the end flag.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "storage/data_entry.h"
#include "storage/database.h"
#include "storage/field_definition.h"
#include "storage/io_status.h"
#include "storage/locked_file.h"

namespace zentora {

inline constexpr std::size_t kDataUnitBytes = 96;

// Entry layout: key flag @0 (i32), unit @4 (i32), name @8 (35 x UTF-16LE), type @78,
// size @80 (i16), record number @82 (i64), decimals @90 (i16), end flag @92 (i32).
struct DataUnit {
  std::int32_t key_flag = 0;
  std::int32_t unit = 0;
  std::u16string name = PadFieldName(u"");
  std::int16_t type = 0;
  std::int16_t size = 0;
  std::int64_t record = 0;
  std::int16_t decimals = 0;
  std::int32_t end_flag = 0;
};

void EncodeDataUnit(const DataUnit& unit, std::uint8_t* out);
DataUnit DecodeDataUnit(const std::uint8_t* entry);

// The record number of the last entry, 0 when the file holds none. Creates the file when
// absent. The Try form tells "no entry" from "could not open", so that no caller reuses
// record 1 on a file it could not read.
IoResult<std::int64_t> TryLastRecordNumber(const Database& db);
std::int64_t LastRecordNumber(const Database& db);

// One entry per call, as other programs' writers do it.
IoStatus AppendDataUnit(const Database& db, std::int32_t unit, std::int32_t key_flag, const std::u16string& name,
                        std::int16_t type, std::int16_t size, std::int16_t decimals, std::int64_t record,
                        std::int32_t end_flag);
IoStatus AppendByteUnit(const Database& db, std::uint8_t byte, std::int32_t key_flag, const std::u16string& name,
                        std::int16_t type, std::int16_t size, std::int16_t decimals, std::int64_t record,
                        std::int32_t end_flag);

// A run of units of one value in one open and large writes: the same bytes on disk as one
// AppendDataUnit/AppendByteUnit per unit. `ends_value` puts the end flag on the last unit.
IoStatus AppendTextUnits(const Database& db, const FieldDefinition& field, std::int64_t record,
                         std::u16string_view units, bool ends_value);
IoStatus AppendByteUnits(const Database& db, const FieldDefinition& field, std::int64_t record,
                         const std::uint8_t* bytes, std::size_t count, bool ends_value);

// One value of a record being stored: the UTF-16 units of a typed value, or the bytes of a
// picture or a sound. Both empty: the value stores nothing.
struct RecordValue {
  FieldDefinition field;
  std::u16string text;
  std::vector<std::uint8_t> bytes;
};

// How a record's store reports its way: at most `most_per_write` entries go in one write,
// and `written(value, entries)` hears after each how many entries of values[value] are written.
// `waiting`, given, is asked while another program holds the data file and bounds that wait
// (LockedFile::Open). `durable` makes the record durable before the hold ends. `scanned`, given,
// hears `scanned(done, total)` after each block while the store reads a large stretch of the
// file it has not read before (the first store into a big file learning its highest number).
struct RecordProgress {
  std::size_t most_per_write = std::numeric_limits<std::size_t>::max();
  std::function<void(std::size_t value, std::uint64_t entries)> written;
  KeepWaiting waiting;
  bool durable = false;
  std::function<void(std::uint64_t done, std::uint64_t total)> scanned;
};

// Fewer entries than this to read before a store are read without telling anyone: a moment.
inline constexpr std::uint64_t kScanShownFromEntries = 4 * layout::kEntriesPerBlock;

// The highest record number a data file holds, followed from store to store: each store reads
// only the entries appended since the one before, so a multi-gigabyte file is scanned once per
// run, not once per record. A file replaced, cut back or rewritten is scanned afresh.
struct HighestRecord {
  platform::FileIdentity identity;
  std::uint64_t entries = 0;  // how many entries were scanned
  std::array<std::uint8_t, kDataUnitBytes> last_entry{};  // the last of them, as it was read
  std::int64_t highest = 0;
};

// Stores a whole record under one exclusive hold of the data file: its number, one above the
// highest number the file holds, is taken inside the same hold, so two programs storing at
// once never share one, and no number is ever reused (a file whose last entry holds its
// highest number, as every writer of this program leaves it, gets the last number plus one).
// The values go in their order, each ended by its end flag: the same bytes as one
// AppendDataUnit per unit. Damaged, with nothing stored, when the file holds entries but no
// number above 0, or holds the largest number there is; `highest` carries what was learnt of
// the file to the next store (without it the whole file is read). A write that fails takes back
// what the record wrote. The value is the number given.
IoResult<std::int64_t> AppendRecord(const Database& db, const std::vector<RecordValue>& values,
                                    const RecordProgress& progress = {}, HighestRecord* highest = nullptr);

// Whether a record could be stored now (Ok), or why not, as AppendRecord would find it: asked
// before anyone answers a record's questions. Reads the file as AppendRecord does, carrying
// what it learnt in `highest` so that the store itself reads only what came after.
IoStatus CheckRecordCanBeStored(const Database& db, const RecordProgress& progress = {},
                                HighestRecord* highest = nullptr);

// Makes what was appended durable.
IoStatus FlushDataFile(const Database& db);

// Which entries make up a value: same 35-unit name, same record, type within the range.
struct ValueQuery {
  std::u16string name;  // padded to 35 code units
  std::int64_t record = 0;
  std::int16_t type_min = std::numeric_limits<std::int16_t>::min();
  std::int16_t type_max = std::numeric_limits<std::int16_t>::max();
};

// Scans from the first entry: matching entries are gathered until one carries the end
// flag; an entry of another field starts the gathering afresh. A value never finished by
// an end flag is not found. Memory is the value plus a fixed read buffer.
IoResult<bool> FindValueText(const Database& db, const ValueQuery& query, std::u16string& text);
IoResult<bool> FindValueBytes(const Database& db, const ValueQuery& query, std::string& bytes);

// The stored text, or `no_data` when it is empty, not found or unreadable.
std::u16string ReadFieldText(const Database& db, const std::u16string& padded_name, std::int64_t record,
                             const std::u16string& no_data);
// The stored bytes, or nothing.
std::string ReadFieldBytes(const Database& db, const std::u16string& padded_name, std::int64_t record);

}  // namespace zentora
