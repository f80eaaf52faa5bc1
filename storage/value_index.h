// Where each value's entries lie in the data file, learnt in one sequential pass, so that a
// value is read by reading only its own entries. The data file only grows at its end, so the
// index follows it by scanning what was appended since; before it is trusted, each use checks
// that the file is still the one it indexed, and starts afresh otherwise.
//
// What it answers is what the one-value search (FindValueText, FindValueBytes) answers for
// the same query: the first value whose matching entry carries end flag 1, its units gathered
// since the last entry of another field, a value never ended not found, damaged entries taken
// as they are. Every read opens the data file exclusively for its own length.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "storage/data_entry.h"
#include "storage/data_file.h"
#include "storage/database.h"
#include "storage/io_status.h"
#include "storage/locked_file.h"

namespace zentora {

// The types a query accepts, as in ValueQuery.
struct TypeRange {
  std::int16_t min = std::numeric_limits<std::int16_t>::min();
  std::int16_t max = std::numeric_limits<std::int16_t>::max();
  bool operator==(const TypeRange&) const = default;
};
inline constexpr TypeRange kAnyType{};
inline constexpr TypeRange kTextTypes{1, 5};        // decimal to memo
inline constexpr TypeRange kAttachmentTypes{6, 7};  // image, sound

// Told how far a pass has come: entries scanned, entries to scan.
using ScanProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

class ValueIndex {
 public:
  // Answers queries of the given type ranges; a query of another range is answered by the
  // one-value search. With platform::Access::ReadExisting (a reader's), a missing data file
  // is a failed read and is never made: its existence stops Zentora adding fields.
  ValueIndex(Database db, std::vector<TypeRange> ranges, platform::Access access = platform::Access::Read);

  // Brings the index up to the end of the file. While it scans, the text of every value found
  // of `kept_range` is also kept, up to `kept_units` code units in all, for TakeKeptText: one
  // pass then answers every value (an export).
  IoStatus Update(const ScanProgress& progress = {}, std::size_t kept_units = 0, TypeRange kept_range = kTextTypes);

  // As FindValueText and FindValueBytes, reading only the value's entries.
  IoResult<bool> FindText(const ValueQuery& query, std::u16string& text);
  IoResult<bool> FindBytes(const ValueQuery& query, std::string& bytes);

  // The values of one field name and type range, as the index knows them; kNoColumn when it
  // knows none. Valid until the next Update or read. Resolved once, it serves every record.
  static constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);
  std::size_t ColumnOf(const std::u16string& padded_name, TypeRange range) const;

  // A text kept by the last Update, handed over once; false when it was not kept.
  bool TakeKeptText(std::size_t column, std::int64_t record, std::u16string& text);
  bool TakeKeptText(const std::u16string& padded_name, std::int64_t record, TypeRange range, std::u16string& text) {
    return TakeKeptText(ColumnOf(padded_name, range), record, text);
  }
  // The number of units of a value as the index saw it at its last Update, 0 when not found.
  std::uint64_t IndexedLength(std::size_t column, std::int64_t record) const;
  std::uint64_t IndexedLength(const std::u16string& padded_name, std::int64_t record, TypeRange range) const {
    return IndexedLength(ColumnOf(padded_name, range), record);
  }

  // The records from 1 to `last` that hold a value in at least one of `columns`, as the last
  // Update saw them, in ascending order: as many as there are such records, whatever `last`.
  std::vector<std::int64_t> RecordsHolding(const std::vector<std::size_t>& columns, std::int64_t last) const;

  std::uint64_t IndexedEntries() const { return indexed_entries_; }
  // How many times the index started afresh: columns found before a change are stale.
  std::uint64_t Resets() const { return resets_; }
  std::uint64_t IndexedValues() const { return values_; }
  // What the index holds in memory, about. Whatever record numbers the file holds, it stays
  // within MemoryBound: a record far from the others costs a map entry, never the numbers
  // between (the texts an Update keeps come on top, at most the units it was told to keep).
  std::size_t MemoryBytes() const;
  static constexpr std::size_t kBoundFixedBytes = 4096;
  static constexpr std::size_t kBoundBytesPerEntry = 640;
  static std::uint64_t MemoryBound(std::uint64_t entries) { return kBoundFixedBytes + kBoundBytesPerEntry * entries; }
  const Database& database() const { return db_; }

 private:
  struct Extent {
    std::uint64_t first = 0;  // entry number, from 0
    std::uint64_t count = 0;
  };
  // Where a found value lies: one run of entries, or (first == kScattered) several, listed
  // in scattered_. count == 0: not found.
  struct Spot {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
  };
  static constexpr std::uint64_t kScattered = std::numeric_limits<std::uint64_t>::max();
  // A text kept by an Update: its units in kept_units_. size == kNotKept: none.
  struct Kept {
    std::uint32_t at = 0;
    std::uint32_t size = kNotKept;
  };
  static constexpr std::uint32_t kNotKept = std::numeric_limits<std::uint32_t>::max();
  // The values of one field name and one type range, by record: those whose numbers lie close
  // together (record r at r - 1), the others in the index's maps. `values` counts them all.
  struct Column {
    std::vector<Spot> dense;
    std::vector<Kept> kept;  // as `dense`, while an Update keeps texts
    std::uint64_t values = 0;
  };
  using PendingKey = std::pair<std::size_t, std::int64_t>;  // (range, record)
  // A value being gathered in the current run of entries of one field name. The slots are
  // reused from run to run, so a scan allocates only when a run holds more values than any
  // before it.
  struct Pending {
    PendingKey key;
    std::vector<Extent> extents;
    std::u16string units;  // only while texts are kept
    bool dropped = false;  // longer than all that may be kept
    bool settled = false;  // found earlier: later entries change nothing
  };
  using Name = std::array<std::uint8_t, layout::kNameBytes>;
  struct NameHash {
    std::size_t operator()(const Name& name) const;
  };
  // Mixed well, so that record numbers a file chose to fall into one bucket do not.
  struct KeyHash {
    std::size_t operator()(const PendingKey& key) const {
      std::uint64_t x = static_cast<std::uint64_t>(key.second) + 0x9E3779B97F4A7C15ull * (key.first + 1);
      x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
      x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
      return static_cast<std::size_t>(x ^ (x >> 31));
    }
  };

  template <typename Accumulator>
  IoResult<bool> Find(const ValueQuery& query, Accumulator& value);
  IoStatus Follow(const LockedFile& file, const ScanProgress& progress);
  bool StillTheSameFile(const LockedFile& file, const platform::FileIdentity& identity, std::uint64_t entries) const;
  void Reset();
  void Scan(const std::uint8_t* entries, std::size_t count, std::uint64_t first);
  void StartRun(const std::uint8_t* name);
  void Match(std::size_t range, std::int64_t record, std::uint64_t at, std::uint32_t unit, bool ends);
  Spot* Lookup(std::size_t column, std::int64_t record);
  const Spot* Lookup(std::size_t column, std::int64_t record) const;
  Spot& Insert(std::size_t column, std::int64_t record);
  std::size_t ColumnOf(const Name& name, std::size_t range) const;
  Pending& PendingFor(const PendingKey& key, std::size_t column);
  Kept* KeptOf(std::size_t column, std::int64_t record);
  void Keep(std::size_t column, std::int64_t record, const std::u16string& units);

  Database db_;
  std::u16string path_;  // of the data file
  platform::Access access_;
  std::vector<TypeRange> ranges_;

  // The file indexed, and what its first and last indexed entries held.
  platform::FileIdentity identity_;
  std::uint64_t indexed_entries_ = 0;
  std::array<std::uint8_t, kDataUnitBytes> first_entry_{}, last_entry_{};

  std::unordered_map<Name, std::size_t, NameHash> names_;  // name -> first column of that name (one per range)
  std::vector<Column> columns_;
  using ColumnRecord = std::pair<std::size_t, std::int64_t>;  // (column, record)
  std::unordered_map<ColumnRecord, Spot, KeyHash> sparse_;
  std::unordered_map<ColumnRecord, Kept, KeyHash> kept_sparse_;
  std::map<std::pair<std::size_t, std::int64_t>, std::vector<Extent>> scattered_;
  std::uint64_t values_ = 0;
  std::uint64_t resets_ = 0;

  // The run of entries of one field name the scan is in; it carries over to the next Update.
  Name run_name_{};
  std::size_t run_column_ = 0;
  bool in_run_ = false;
  std::vector<Pending> pending_;  // the first pending_count_ are this run's
  std::size_t pending_count_ = 0;
  std::unordered_map<PendingKey, std::size_t, KeyHash> pending_at_;  // used once a run holds many values
  std::size_t last_pending_ = kNoPending;  // the value the previous entry went to
  static constexpr std::size_t kNoPending = static_cast<std::size_t>(-1);

  std::size_t kept_budget_ = 0;
  std::size_t kept_range_ = 0;
  std::vector<char16_t> kept_units_;  // every kept text, one after another

  std::vector<std::uint8_t> block_;  // read buffer of the value reads, kept between them
  mutable std::size_t memory_ = 0;
  mutable bool memory_known_ = false;
};

// The one-value reads of data_file.h, answered by an index of the database on show.
std::u16string ReadFieldText(ValueIndex& index, const std::u16string& padded_name, std::int64_t record,
                             const std::u16string& no_data);
std::string ReadFieldBytes(ValueIndex& index, const std::u16string& padded_name, std::int64_t record);

}  // namespace zentora
