#include "storage/data_file.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "storage/data_entry.h"
#include "storage/little_endian.h"
#include "storage/locked_file.h"

namespace zentora {
namespace {

constexpr std::uint64_t kReserveCap = std::uint64_t{1} << 26;

using layout::kEndAt, layout::kEntriesPerBlock, layout::kNameAt, layout::kRecordAt, layout::kTypeAt, layout::kUnitAt;

DataUnit UnitOf(const FieldDefinition& field, std::int64_t record) {
  DataUnit unit;
  unit.key_flag = field.key_flag;
  unit.name = PadFieldName(field.name);
  unit.type = field.type;
  unit.size = field.size;
  unit.decimals = field.decimals;
  unit.record = record;
  return unit;
}

// Writes `count` entries built from `prototype` into `file` from `offset` on, at most
// `block` per write, the unit of entry i given by unit_at(i); the last entry carries
// `last_end_flag`, the others 0. Moves `offset` past what it wrote and calls
// `written(entries)` after each write.
template <typename UnitAt, typename Written>
bool WriteRun(const LockedFile& file, std::uint64_t& offset, const DataUnit& prototype, std::size_t count,
              std::size_t block, UnitAt unit_at, Written written, std::int32_t last_end_flag = 1) {
  std::uint8_t entry[kDataUnitBytes];
  EncodeDataUnit(prototype, entry);
  std::vector<std::uint8_t> bytes(std::min(count, block) * kDataUnitBytes);
  for (std::size_t i = 0; i < bytes.size(); i += kDataUnitBytes) std::memcpy(&bytes[i], entry, kDataUnitBytes);

  for (std::size_t first = 0; first < count; first += block) {
    const std::size_t n = std::min(count - first, block);
    for (std::size_t i = 0; i < n; ++i) {
      std::uint8_t* at = &bytes[i * kDataUnitBytes];
      PutLittleEndian<std::int32_t>(at + kUnitAt, unit_at(first + i));
      PutLittleEndian<std::int32_t>(at + kEndAt, first + i + 1 == count ? last_end_flag : 0);
    }
    if (!file.WriteAt(offset, bytes.data(), n * kDataUnitBytes)) return false;
    offset += n * kDataUnitBytes;
    written(n);
  }
  return true;
}

// Where the next entry goes: after the last whole entry, over a shorter tail.
bool EndOfEntries(const LockedFile& file, std::uint64_t& offset) {
  std::uint64_t size = 0;
  if (!file.Size(size)) return false;
  offset = size / kDataUnitBytes * kDataUnitBytes;
  return true;
}

template <typename UnitAt>
IoStatus AppendRun(const Database& db, const DataUnit& prototype, std::size_t count, UnitAt unit_at,
                   std::int32_t last_end_flag) {
  if (count == 0) return IoStatus::Ok;
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db), platform::Access::Write, db.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  std::uint64_t offset = 0;
  if (!EndOfEntries(file, offset)) return file.Status();
  return WriteRun(file, offset, prototype, count, kEntriesPerBlock, unit_at, [](std::size_t) {}, last_end_flag)
             ? IoStatus(IoStatus::Ok)
             : file.Status();
}

// The record number of the entry that ends at `end`, 0 when there is none.
bool RecordNumberBefore(const LockedFile& file, std::uint64_t end, std::int64_t& record) {
  record = 0;
  if (end == 0) return true;
  std::uint8_t entry[kDataUnitBytes];
  std::size_t done = 0;
  if (!file.ReadAt(end - kDataUnitBytes, entry, sizeof entry, done) || done != sizeof entry) return false;
  record = GetLittleEndian<std::int64_t>(entry + kRecordAt);
  return true;
}

// Brings `highest` up to the first `count` entries of `file`: only those appended since it
// was last brought up, unless the file is another one, shorter, or rewritten where it was read.
bool FollowHighestRecord(const LockedFile& file, std::uint64_t count, HighestRecord& highest,
                         const RecordProgress& progress) {
  platform::FileIdentity identity;
  if (!file.Identity(identity)) return false;
  std::uint8_t entry[kDataUnitBytes];
  std::size_t done = 0;
  const bool same = highest.entries > 0 && identity == highest.identity && count >= highest.entries &&
                    file.ReadAt((highest.entries - 1) * kDataUnitBytes, entry, sizeof entry, done) &&
                    done == sizeof entry && std::equal(entry, entry + sizeof entry, highest.last_entry.begin());
  if (!same) highest = HighestRecord{identity, 0, {}, 0};
  if (count == highest.entries) return true;
  const std::uint64_t from = highest.entries;
  const bool told = progress.scanned && count - from >= kScanShownFromEntries;
  const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[static_cast<std::size_t>(
      std::min<std::uint64_t>(count - highest.entries, kEntriesPerBlock)) * kDataUnitBytes]);
  for (std::uint64_t first = highest.entries; first < count; first += kEntriesPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - first, kEntriesPerBlock));
    if (!file.ReadAt(first * kDataUnitBytes, block.get(), n * kDataUnitBytes, done) || done != n * kDataUnitBytes) {
      highest = HighestRecord{};
      return false;
    }
    for (std::size_t i = 0; i < n; ++i)
      highest.highest = std::max(highest.highest, GetLittleEndian<std::int64_t>(&block[i * kDataUnitBytes] + kRecordAt));
    std::copy_n(&block[(n - 1) * kDataUnitBytes], kDataUnitBytes, highest.last_entry.begin());
    highest.entries = first + n;
    if (told) progress.scanned(highest.entries - from, count - from);
  }
  return true;
}

// After a store: the file now holds `count` entries, the last of the record just stored.
void RememberLastEntry(const LockedFile& file, std::uint64_t count, std::int64_t record, HighestRecord& highest) {
  std::size_t done = 0;
  if (!file.ReadAt((count - 1) * kDataUnitBytes, highest.last_entry.data(), kDataUnitBytes, done) ||
      done != kDataUnitBytes) {
    highest = HighestRecord{};  // read afresh next time
    return;
  }
  highest.entries = count;
  highest.highest = record;
}

// The number the next record takes in an open data file, and where its entries go (`start`):
// one above the highest number the file holds, so that no number is ever taken twice, even
// where writers that follow the last entry's number left a higher one before it. Damaged
// when entries hold no number above 0, or the largest there is (nothing can follow).
IoResult<std::int64_t> NextRecordNumber(const LockedFile& file, std::uint64_t& start, HighestRecord& highest,
                                        const RecordProgress& progress) {
  if (!EndOfEntries(file, start)) return {file.Status(), 0};
  if (!FollowHighestRecord(file, start / kDataUnitBytes, highest, progress)) return {file.Status(), 0};
  if ((start > 0 && highest.highest <= 0) || highest.highest == std::numeric_limits<std::int64_t>::max())
    return {file.Status(IoStatus::Damaged), 0};
  return {IoStatus::Ok, highest.highest + 1};
}

// The gathering scan shared by the text and byte forms.
template <typename Accumulator>
IoResult<bool> FindValue(const Database& db, const ValueQuery& query, Accumulator& value) {
  value.clear();
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db), platform::Access::Read, db.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, false};
  std::uint64_t size = 0;
  if (!file.Size(size)) return {file.Status(), false};

  std::uint8_t name[kFieldNameUnits * 2];
  PutUtf16(name, PadFieldName(query.name));
  const std::uint64_t count = size / kDataUnitBytes;
  // Left uninitialised: every byte scanned was read from the file first.
  const std::unique_ptr<std::uint8_t[]> block(
      new std::uint8_t[static_cast<std::size_t>(std::min<std::uint64_t>(count, kEntriesPerBlock)) * kDataUnitBytes]);
  for (std::uint64_t first = 0; first < count; first += kEntriesPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - first, kEntriesPerBlock));
    std::size_t done = 0;
    if (!file.ReadAt(first * kDataUnitBytes, block.get(), n * kDataUnitBytes, done) ||
        done != n * kDataUnitBytes) {
      // What was gathered before the failure is part of a value at best: never hand it on.
      value.clear();
      return {file.Status(), false};
    }
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t* entry = &block[i * kDataUnitBytes];
      if (!layout::SameName(entry + kNameAt, name)) {
        value.clear();
        continue;
      }
      const auto type = GetLittleEndian<std::int16_t>(entry + kTypeAt);
      if (GetLittleEndian<std::int64_t>(entry + kRecordAt) != query.record || type < query.type_min ||
          type > query.type_max)
        continue;
      if (value.empty()) {
        // A value is at most the entries left. Reserving that much address space (up to a
        // cap that suits a 32-bit process) is cheap: only the pages the value fills become
        // resident, and the value is not copied again and again while it grows.
        value.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count - first - i, kReserveCap)));
      }
      value.push_back(static_cast<typename Accumulator::value_type>(GetLittleEndian<std::uint32_t>(entry + kUnitAt)));
      if (GetLittleEndian<std::int32_t>(entry + kEndAt) == 1) return {IoStatus::Ok, true};
    }
  }
  value.clear();
  return {IoStatus::Ok, false};
}

}  // namespace

void EncodeDataUnit(const DataUnit& unit, std::uint8_t* out) {
  PutLittleEndian<std::int32_t>(out, unit.key_flag);
  PutLittleEndian<std::int32_t>(out + kUnitAt, unit.unit);
  PutUtf16(out + kNameAt, PadFieldName(unit.name));
  PutLittleEndian<std::int16_t>(out + kTypeAt, unit.type);
  PutLittleEndian<std::int16_t>(out + layout::kSizeAt, unit.size);
  PutLittleEndian<std::int64_t>(out + kRecordAt, unit.record);
  PutLittleEndian<std::int16_t>(out + layout::kDecimalsAt, unit.decimals);
  PutLittleEndian<std::int32_t>(out + kEndAt, unit.end_flag);
}

DataUnit DecodeDataUnit(const std::uint8_t* entry) {
  DataUnit unit;
  unit.key_flag = GetLittleEndian<std::int32_t>(entry);
  unit.unit = GetLittleEndian<std::int32_t>(entry + kUnitAt);
  unit.name = GetUtf16(entry + kNameAt, kFieldNameUnits);
  unit.type = GetLittleEndian<std::int16_t>(entry + kTypeAt);
  unit.size = GetLittleEndian<std::int16_t>(entry + layout::kSizeAt);
  unit.record = GetLittleEndian<std::int64_t>(entry + kRecordAt);
  unit.decimals = GetLittleEndian<std::int16_t>(entry + layout::kDecimalsAt);
  unit.end_flag = GetLittleEndian<std::int32_t>(entry + kEndAt);
  return unit;
}

IoResult<std::int64_t> TryLastRecordNumber(const Database& db) {
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db), platform::Access::Read, db.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, 0};
  std::uint64_t end = 0;
  std::int64_t last = 0;
  if (!EndOfEntries(file, end) || !RecordNumberBefore(file, end, last)) return {file.Status(), 0};
  return {IoStatus::Ok, last};
}

std::int64_t LastRecordNumber(const Database& db) { return TryLastRecordNumber(db).value; }

IoStatus AppendDataUnit(const Database& db, std::int32_t unit, std::int32_t key_flag, const std::u16string& name,
                        std::int16_t type, std::int16_t size, std::int16_t decimals, std::int64_t record,
                        std::int32_t end_flag) {
  const DataUnit prototype = UnitOf(FieldDefinition{key_flag, name, type, size, decimals}, record);
  return AppendRun(db, prototype, 1, [unit](std::size_t) { return unit; }, end_flag);
}

IoStatus AppendByteUnit(const Database& db, std::uint8_t byte, std::int32_t key_flag, const std::u16string& name,
                        std::int16_t type, std::int16_t size, std::int16_t decimals, std::int64_t record,
                        std::int32_t end_flag) {
  return AppendDataUnit(db, byte, key_flag, name, type, size, decimals, record, end_flag);
}

IoStatus AppendTextUnits(const Database& db, const FieldDefinition& field, std::int64_t record,
                         std::u16string_view units, bool ends_value) {
  return AppendRun(db, UnitOf(field, record), units.size(), [units](std::size_t i) { return std::int32_t{units[i]}; },
                   ends_value ? 1 : 0);
}

IoStatus AppendByteUnits(const Database& db, const FieldDefinition& field, std::int64_t record,
                         const std::uint8_t* bytes, std::size_t count, bool ends_value) {
  return AppendRun(db, UnitOf(field, record), count, [bytes](std::size_t i) { return std::int32_t{bytes[i]}; },
                   ends_value ? 1 : 0);
}

IoResult<std::int64_t> AppendRecord(const Database& db, const std::vector<RecordValue>& values,
                                    const RecordProgress& progress, HighestRecord* highest) {
  LockedFile file;
  const IoStatus status =
      file.Open(DataFilePath(db), platform::Access::ReadWrite, db.busy_wait_ms, progress.waiting);
  if (status != IoStatus::Ok) return {status, 0};
  std::uint64_t start = 0;
  HighestRecord scanned;
  if (highest == nullptr) highest = &scanned;
  const IoResult<std::int64_t> next = NextRecordNumber(file, start, *highest, progress);
  if (!next.ok()) return next;
  const std::int64_t record = next.value;

  std::uint64_t offset = start;
  const std::size_t block = std::clamp<std::size_t>(progress.most_per_write, 1, kEntriesPerBlock);
  bool ok = true;
  for (std::size_t v = 0; ok && v < values.size(); ++v) {
    const std::u16string& text = values[v].text;
    const std::vector<std::uint8_t>& bytes = values[v].bytes;
    std::uint64_t done = 0;
    const auto written = [&](std::size_t entries) {
      done += entries;
      if (progress.written) progress.written(v, done);
    };
    const DataUnit prototype = UnitOf(values[v].field, record);
    ok = !text.empty() ? WriteRun(file, offset, prototype, text.size(), block,
                                  [&](std::size_t i) { return std::int32_t{text[i]}; }, written)
                       : WriteRun(file, offset, prototype, bytes.size(), block,
                                  [&](std::size_t i) { return std::int32_t{bytes[i]}; }, written);
  }
  if (ok && progress.durable) ok = file.Flush();
  if (!ok) {
    // No half record stays behind for a reader to find or for the next number to follow; the
    // reason is the write's, whatever the cutting back meets.
    const IoStatus failed = file.Status();
    file.Truncate(start);
    return {failed, 0};
  }
  if (offset > start) RememberLastEntry(file, offset / kDataUnitBytes, record, *highest);
  return {IoStatus::Ok, record};
}

IoStatus CheckRecordCanBeStored(const Database& db, const RecordProgress& progress, HighestRecord* highest) {
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db), platform::Access::Read, db.busy_wait_ms, progress.waiting);
  if (status != IoStatus::Ok) return status;
  HighestRecord scanned;
  std::uint64_t start = 0;
  return NextRecordNumber(file, start, highest ? *highest : scanned, progress).status;
}

IoStatus FlushDataFile(const Database& db) {
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db), platform::Access::Write, db.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  return file.Flush() ? IoStatus(IoStatus::Ok) : file.Status();
}

IoResult<bool> FindValueText(const Database& db, const ValueQuery& query, std::u16string& text) {
  return FindValue(db, query, text);
}

IoResult<bool> FindValueBytes(const Database& db, const ValueQuery& query, std::string& bytes) {
  return FindValue(db, query, bytes);
}

std::u16string ReadFieldText(const Database& db, const std::u16string& padded_name, std::int64_t record,
                             const std::u16string& no_data) {
  std::u16string text;
  const IoResult<bool> found = FindValueText(db, ValueQuery{padded_name, record}, text);
  return found.ok() && found.value && !text.empty() ? text : no_data;
}

std::string ReadFieldBytes(const Database& db, const std::u16string& padded_name, std::int64_t record) {
  std::string bytes;
  FindValueBytes(db, ValueQuery{padded_name, record}, bytes);
  return bytes;
}

}  // namespace zentora
