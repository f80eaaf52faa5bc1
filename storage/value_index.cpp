#include "storage/value_index.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "storage/little_endian.h"

namespace zentora {
namespace {

using layout::kEndAt, layout::kEntriesPerBlock, layout::kNameAt, layout::kRecordAt, layout::kTypeAt, layout::kUnitAt;

// Records are numbered from 1 and mostly without gaps, so a field's values sit in a vector by
// record; a record number far beyond the others (a damaged entry) goes to a map instead of
// growing the vector to it.
constexpr std::size_t kDenseSlack = 1 << 16;

constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

bool Within(std::int16_t type, TypeRange range) { return type >= range.min && type <= range.max; }

bool ReadEntries(const LockedFile& file, std::uint64_t first, std::size_t count, std::uint8_t* out) {
  std::size_t done = 0;
  return file.ReadAt(first * kDataUnitBytes, out, count * kDataUnitBytes, done) && done == count * kDataUnitBytes;
}

}  // namespace

ValueIndex::ValueIndex(Database db, std::vector<TypeRange> ranges) : db_(std::move(db)), ranges_(std::move(ranges)) {}

IoStatus ValueIndex::Update(const ScanProgress& progress, std::size_t kept_units, TypeRange kept_range) {
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db_), platform::Access::Read, db_.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  kept_.clear();
  kept_budget_ = kept_units;
  kept_range_ = static_cast<std::size_t>(std::find(ranges_.begin(), ranges_.end(), kept_range) - ranges_.begin());
  const IoStatus followed = Follow(file, progress);
  kept_budget_ = 0;
  return followed;
}

bool ValueIndex::StillTheSameFile(const LockedFile& file, const platform::FileIdentity& identity,
                                  std::uint64_t entries) const {
  if (!(identity == identity_) || entries < indexed_entries_) return false;
  std::uint8_t first[kDataUnitBytes], last[kDataUnitBytes];
  return ReadEntries(file, 0, 1, first) && ReadEntries(file, indexed_entries_ - 1, 1, last) &&
         std::equal(first_entry_.begin(), first_entry_.end(), first) &&
         std::equal(last_entry_.begin(), last_entry_.end(), last);
}

IoStatus ValueIndex::Follow(const LockedFile& file, const ScanProgress& progress) {
  std::uint64_t size = 0;
  platform::FileIdentity identity;
  if (!file.Size(size) || !file.Identity(identity)) return IoStatus::Failed;
  const std::uint64_t count = size / kDataUnitBytes;  // a torn last entry is not one yet
  if (indexed_entries_ > 0 && !StillTheSameFile(file, identity, count)) Reset();
  identity_ = identity;
  if (count == indexed_entries_) return IoStatus::Ok;

  const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[static_cast<std::size_t>(
      std::min<std::uint64_t>(count - indexed_entries_, kEntriesPerBlock)) * kDataUnitBytes]);
  for (std::uint64_t first = indexed_entries_; first < count; first += kEntriesPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - first, kEntriesPerBlock));
    if (!ReadEntries(file, first, n, block.get())) {
      Reset();  // half an index would answer "not found" for what lies beyond it
      return IoStatus::Failed;
    }
    if (first == 0) std::copy_n(block.get(), kDataUnitBytes, first_entry_.begin());
    Scan(block.get(), n, first);
    if (first + n == count) std::copy_n(block.get() + (n - 1) * kDataUnitBytes, kDataUnitBytes, last_entry_.begin());
    indexed_entries_ = first + n;
    if (progress) progress(first + n, count);
  }
  return IoStatus::Ok;
}

void ValueIndex::Reset() {
  indexed_entries_ = 0;
  names_.clear();
  columns_.clear();
  scattered_.clear();
  values_ = 0;
  in_run_ = false;
  pending_.clear();
  last_pending_ = nullptr;
  kept_.clear();
}

void ValueIndex::Scan(const std::uint8_t* entries, std::size_t count, std::uint64_t first) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = entries + i * kDataUnitBytes;
    // An entry of another field ends every value being gathered.
    if (!in_run_ || !layout::SameName(entry + kNameAt, run_name_.data())) StartRun(entry + kNameAt);
    const auto type = GetLittleEndian<std::int16_t>(entry + kTypeAt);
    for (std::size_t r = 0; r < ranges_.size(); ++r) {
      if (!Within(type, ranges_[r])) continue;
      Match(r, GetLittleEndian<std::int64_t>(entry + kRecordAt), first + i,
            GetLittleEndian<std::uint32_t>(entry + kUnitAt), GetLittleEndian<std::int32_t>(entry + kEndAt) == 1);
    }
  }
}

void ValueIndex::StartRun(const std::uint8_t* name) {
  pending_.clear();
  last_pending_ = nullptr;
  std::copy_n(name, run_name_.size(), run_name_.begin());
  in_run_ = true;
  const auto [at, fresh] = names_.try_emplace(run_name_, columns_.size());
  if (fresh) columns_.resize(columns_.size() + ranges_.size());
  run_column_ = at->second;
}

void ValueIndex::Match(std::size_t range, std::int64_t record, std::uint64_t at, std::uint32_t unit, bool ends) {
  const std::size_t column = run_column_ + range;
  const std::pair<std::size_t, std::int64_t> key{range, record};
  Pending* value = last_pending_;
  if (value == nullptr || last_key_ != key) {
    const auto [slot, fresh] = pending_.try_emplace(key);
    value = &slot->second;
    if (fresh) value->settled = Lookup(column, record) != nullptr;  // the first value found is the one
    last_key_ = key;
    last_pending_ = value;
  }
  if (value->settled) return;

  if (!value->extents.empty() && value->extents.back().first + value->extents.back().count == at)
    ++value->extents.back().count;
  else
    value->extents.push_back(Extent{at, 1});
  if (kept_budget_ > 0 && range == kept_range_ && !value->dropped) {
    if (value->units.size() < kept_budget_) {
      value->units.push_back(static_cast<char16_t>(unit));
    } else {
      value->dropped = true;
      std::u16string().swap(value->units);
    }
  }
  if (!ends) return;

  Spot& spot = Insert(column, record);
  if (value->extents.size() == 1) {
    spot = Spot{value->extents.front().first, value->extents.front().count};
  } else {
    spot = Spot{kScattered, 0};
    for (const Extent& extent : value->extents) spot.count += extent.count;
    scattered_[{column, record}] = value->extents;
  }
  ++values_;
  if (!value->units.empty() && value->units.size() <= kept_budget_) {
    kept_budget_ -= value->units.size();
    kept_[{column, record}] = std::move(value->units);
  }
  *value = Pending{};
  value->settled = true;
}

ValueIndex::Spot* ValueIndex::Lookup(std::size_t column, std::int64_t record) {
  return const_cast<Spot*>(std::as_const(*this).Lookup(column, record));
}

const ValueIndex::Spot* ValueIndex::Lookup(std::size_t column, std::int64_t record) const {
  const Column& values = columns_[column];
  if (record >= 1 && static_cast<std::uint64_t>(record) <= values.dense.size()) {
    const Spot& spot = values.dense[static_cast<std::size_t>(record - 1)];
    if (spot.count > 0) return &spot;
  }
  const auto at = values.sparse.find(record);
  return at == values.sparse.end() ? nullptr : &at->second;
}

ValueIndex::Spot& ValueIndex::Insert(std::size_t column, std::int64_t record) {
  Column& values = columns_[column];
  if (record >= 1 && static_cast<std::uint64_t>(record) <= values.dense.size() + kDenseSlack) {
    if (static_cast<std::uint64_t>(record) > values.dense.size())
      values.dense.resize(static_cast<std::size_t>(record));
    return values.dense[static_cast<std::size_t>(record - 1)];
  }
  return values.sparse[record];
}

std::size_t ValueIndex::ColumnOf(const std::u16string& padded_name, TypeRange range) const {
  const auto r = static_cast<std::size_t>(std::find(ranges_.begin(), ranges_.end(), range) - ranges_.begin());
  if (r == ranges_.size()) return kNoColumn;
  Name name{};
  PutUtf16(name.data(), PadFieldName(padded_name));
  const auto at = names_.find(name);
  return at == names_.end() ? kNoColumn : at->second + r;
}

std::vector<ValueIndex::Extent> ValueIndex::ExtentsOf(std::size_t column, std::int64_t record,
                                                      const Spot& spot) const {
  if (spot.first != kScattered) return {Extent{spot.first, spot.count}};
  return scattered_.at({column, record});
}

template <typename Accumulator>
IoResult<bool> ValueIndex::Find(const ValueQuery& query, Accumulator& value) {
  value.clear();
  const TypeRange range{query.type_min, query.type_max};
  if (std::find(ranges_.begin(), ranges_.end(), range) == ranges_.end()) {
    if constexpr (std::is_same_v<Accumulator, std::u16string>) return FindValueText(db_, query, value);
    else return FindValueBytes(db_, query, value);
  }
  LockedFile file;
  const IoStatus status = file.Open(DataFilePath(db_), platform::Access::Read, db_.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, false};
  Name name{};
  PutUtf16(name.data(), PadFieldName(query.name));

  // A value whose entries no longer say what the index learnt means the file changed in a way
  // the cheap checks missed: the index starts afresh, once, under this same open.
  for (int attempt = 0; attempt < 2; ++attempt, Reset()) {
    const IoStatus followed = Follow(file, {});
    if (followed != IoStatus::Ok) return {followed, false};
    const std::size_t column = ColumnOf(query.name, range);
    const Spot* spot = column == kNoColumn ? nullptr : Lookup(column, query.record);
    if (spot == nullptr) return {IoStatus::Ok, false};

    value.clear();
    value.reserve(static_cast<std::size_t>(spot->count));
    std::vector<std::uint8_t> block;
    bool intact = true;
    for (const Extent& extent : ExtentsOf(column, query.record, *spot)) {
      for (std::uint64_t first = extent.first; intact && first < extent.first + extent.count;
           first += kEntriesPerBlock) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(extent.first + extent.count - first,
                                                                        kEntriesPerBlock));
        block.resize(n * kDataUnitBytes);
        if (!ReadEntries(file, first, n, block.data())) return {IoStatus::Failed, false};
        for (std::size_t i = 0; intact && i < n; ++i) {
          const std::uint8_t* entry = &block[i * kDataUnitBytes];
          const bool last = value.size() + 1 == spot->count;
          intact = layout::SameName(entry + kNameAt, name.data()) &&
                   GetLittleEndian<std::int64_t>(entry + kRecordAt) == query.record &&
                   Within(GetLittleEndian<std::int16_t>(entry + kTypeAt), range) &&
                   (GetLittleEndian<std::int32_t>(entry + kEndAt) == 1) == last;
          value.push_back(
              static_cast<typename Accumulator::value_type>(GetLittleEndian<std::uint32_t>(entry + kUnitAt)));
        }
      }
    }
    if (intact) return {IoStatus::Ok, true};
  }
  value.clear();
  return {IoStatus::Failed, false};
}

IoResult<bool> ValueIndex::FindText(const ValueQuery& query, std::u16string& text) { return Find(query, text); }

IoResult<bool> ValueIndex::FindBytes(const ValueQuery& query, std::string& bytes) { return Find(query, bytes); }

bool ValueIndex::TakeKeptText(const std::u16string& padded_name, std::int64_t record, TypeRange range,
                              std::u16string& text) {
  const std::size_t column = ColumnOf(padded_name, range);
  const auto at = kept_.find({column, record});
  if (column == kNoColumn || at == kept_.end()) return false;
  text = std::move(at->second);
  kept_.erase(at);
  return true;
}

std::uint64_t ValueIndex::IndexedLength(const std::u16string& padded_name, std::int64_t record,
                                        TypeRange range) const {
  const std::size_t column = ColumnOf(padded_name, range);
  const Spot* spot = column == kNoColumn ? nullptr : Lookup(column, record);
  return spot == nullptr ? 0 : spot->count;
}

std::size_t ValueIndex::MemoryBytes() const {
  // Nodes of the maps: the key and value plus about three pointers of bookkeeping each.
  constexpr std::size_t kNode = 3 * sizeof(void*);
  std::size_t bytes = sizeof(*this) + columns_.capacity() * sizeof(Column);
  for (const Column& column : columns_) {
    bytes += column.dense.capacity() * sizeof(Spot);
    bytes += column.sparse.size() * (sizeof(std::pair<std::int64_t, Spot>) + kNode) +
             column.sparse.bucket_count() * sizeof(void*);
  }
  bytes += names_.size() * (sizeof(Name) + sizeof(std::size_t) + kNode);
  for (const auto& [key, extents] : scattered_) bytes += sizeof(key) + kNode + extents.capacity() * sizeof(Extent);
  for (const auto& [key, text] : kept_) bytes += sizeof(key) + kNode + text.capacity() * sizeof(char16_t);
  return bytes;
}

std::u16string ReadFieldText(ValueIndex& index, const std::u16string& padded_name, std::int64_t record,
                             const std::u16string& no_data) {
  std::u16string text;
  const IoResult<bool> found = index.FindText(ValueQuery{padded_name, record}, text);
  return found.ok() && found.value && !text.empty() ? text : no_data;
}

std::string ReadFieldBytes(ValueIndex& index, const std::u16string& padded_name, std::int64_t record) {
  std::string bytes;
  index.FindBytes(ValueQuery{padded_name, record}, bytes);
  return bytes;
}

}  // namespace zentora
