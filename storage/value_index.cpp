#include "storage/value_index.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

#include "storage/little_endian.h"

namespace zentora {
namespace {

using layout::kEndAt, layout::kEntriesPerBlock, layout::kNameAt, layout::kRecordAt, layout::kTypeAt, layout::kUnitAt;

// Records are numbered from 1 and mostly without gaps, so a field's values sit in a vector by
// record while that vector stays at most about twice as long as the values it holds (plus
// this slack); a record beyond that (numbers that jump, a damaged entry) goes to a map, so
// the memory follows the values, never the numbers.
constexpr std::uint64_t kDenseSlack = 8;

// Past this many values in progress in one run of entries (a damaged file), they are found
// through a hash table instead of one by one.
constexpr std::size_t kFewPending = 8;

bool Within(std::int16_t type, TypeRange range) { return type >= range.min && type <= range.max; }

// A field name as its entries hold it: 35 UTF-16LE units, padded with spaces.
void PutName(const std::u16string& name, std::uint8_t* out) {
  for (std::size_t i = 0; i < kFieldNameUnits; ++i) {
    const char16_t unit = i < name.size() ? name[i] : u' ';
    out[2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
  }
}

bool ReadEntries(const LockedFile& file, std::uint64_t first, std::size_t count, std::uint8_t* out) {
  std::size_t done = 0;
  return file.ReadAt(first * kDataUnitBytes, out, count * kDataUnitBytes, done) && done == count * kDataUnitBytes;
}

// Whether an entry belongs to the value read: its name and record, a type within the range,
// and end flag 1 on the value's last entry alone.
bool Belongs(const std::uint8_t* entry, const std::uint8_t* name, const std::uint8_t* record, TypeRange range,
             bool is_last) {
  return layout::SameName(entry + kNameAt, name) && std::memcmp(entry + kRecordAt, record, 8) == 0 &&
         Within(GetLittleEndian<std::int16_t>(entry + kTypeAt), range) &&
         (GetLittleEndian<std::int32_t>(entry + kEndAt) == 1) == is_last;
}

// Copies the units of `n` entries of a value to `out` and tells whether every one belongs to
// it (`holds_last`: the value's last entry is the last of these). One pass, without a branch
// per entry: each entry's name and type (bytes 8 to 80) and record are compared with the
// first's; only when they differ (types mixed within the range) are they checked one by one.
template <typename Unit>
bool CopyCheckedUnits(const std::uint8_t* entries, std::size_t n, const std::uint8_t* name, const std::uint8_t* record,
                      TypeRange range, bool holds_last, Unit* out) {
  static_assert(kNameAt % 8 == 0 && kTypeAt + 2 == kNameAt + 72);
  if (!Belongs(entries, name, record, range, holds_last && n == 1)) return false;
  // Held in locals, so that the stores of units (bytes may alias anything) do not make the
  // compiler read them again for every entry.
  constexpr std::size_t kWords = 10;
  std::uint64_t first[kWords];
  for (std::size_t w = 0; w < 9; ++w) std::memcpy(&first[w], entries + kNameAt + 8 * w, 8);
  std::memcpy(&first[9], entries + kRecordAt, 8);
  std::uint64_t differ = 0;
  std::size_t ends = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* entry = entries + i * kDataUnitBytes;
    std::uint64_t words[kWords];
    for (std::size_t w = 0; w < 9; ++w) std::memcpy(&words[w], entry + kNameAt + 8 * w, 8);
    std::memcpy(&words[9], entry + kRecordAt, 8);
    for (std::size_t w = 0; w < kWords; ++w) differ |= words[w] ^ first[w];
    ends += GetLittleEndian<std::int32_t>(entry + kEndAt) == 1;
    out[i] = static_cast<Unit>(GetLittleEndian<std::uint32_t>(entry + kUnitAt));
  }
  const bool last_ends = GetLittleEndian<std::int32_t>(entries + (n - 1) * kDataUnitBytes + kEndAt) == 1;
  if (differ == 0) return ends == (holds_last ? 1u : 0u) && last_ends == holds_last;
  for (std::size_t i = 0; i < n; ++i)
    if (!Belongs(entries + i * kDataUnitBytes, name, record, range, holds_last && i + 1 == n)) return false;
  return true;
}

}  // namespace

ValueIndex::ValueIndex(Database db, std::vector<TypeRange> ranges, platform::Access access)
    : db_(std::move(db)), path_(DataFilePath(db_)), access_(access), ranges_(std::move(ranges)) {}

IoStatus ValueIndex::Update(const ScanProgress& progress, std::size_t kept_units, TypeRange kept_range) {
  LockedFile file;
  const IoStatus status = file.Open(path_, access_, db_.busy_wait_ms);
  if (status != IoStatus::Ok) return status;
  kept_units_.clear();
  for (Column& column : columns_) column.kept.clear();
  kept_sparse_.clear();
  memory_known_ = false;
  kept_budget_ = std::min<std::size_t>(kept_units, kNotKept - 1);
  kept_range_ = static_cast<std::size_t>(std::find(ranges_.begin(), ranges_.end(), kept_range) - ranges_.begin());
  const IoStatus followed = Follow(file, progress);
  kept_budget_ = 0;
  return followed;
}

bool ValueIndex::StillTheSameFile(const LockedFile& file, const platform::FileIdentity& identity,
                                  std::uint64_t entries) const {
  if (!(identity == identity_) || entries < indexed_entries_) return false;
  // Written since, yet no longer: rewritten in place (or made anew under the same number).
  if (entries == indexed_entries_ && identity.modified != identity_.modified) return false;
  std::uint8_t first[kDataUnitBytes], last[kDataUnitBytes];
  return ReadEntries(file, 0, 1, first) && ReadEntries(file, indexed_entries_ - 1, 1, last) &&
         std::equal(first_entry_.begin(), first_entry_.end(), first) &&
         std::equal(last_entry_.begin(), last_entry_.end(), last);
}

IoStatus ValueIndex::Follow(const LockedFile& file, const ScanProgress& progress) {
  std::uint64_t size = 0;
  platform::FileIdentity identity;
  if (!file.IdentityAndSize(identity, size)) return file.Status();
  const std::uint64_t count = size / kDataUnitBytes;  // a torn last entry is not one yet
  if (indexed_entries_ > 0 && !StillTheSameFile(file, identity, count)) Reset();
  identity_ = identity;
  if (count == indexed_entries_) return IoStatus::Ok;
  memory_known_ = false;

  const std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[static_cast<std::size_t>(
      std::min<std::uint64_t>(count - indexed_entries_, kEntriesPerBlock)) * kDataUnitBytes]);
  for (std::uint64_t first = indexed_entries_; first < count; first += kEntriesPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count - first, kEntriesPerBlock));
    if (!ReadEntries(file, first, n, block.get())) {
      Reset();  // half an index would answer "not found" for what lies beyond it
      return file.Status();
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
  ++resets_;
  indexed_entries_ = 0;
  names_.clear();
  columns_.clear();
  sparse_.clear();
  kept_sparse_.clear();
  scattered_.clear();
  values_ = 0;
  in_run_ = false;
  pending_count_ = 0;
  pending_at_.clear();
  last_pending_ = kNoPending;
  kept_units_.clear();
  memory_known_ = false;
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
  pending_count_ = 0;
  if (!pending_at_.empty()) pending_at_.clear();
  last_pending_ = kNoPending;
  std::copy_n(name, run_name_.size(), run_name_.begin());
  in_run_ = true;
  const auto [at, fresh] = names_.try_emplace(run_name_, columns_.size());
  if (fresh) columns_.resize(columns_.size() + ranges_.size());
  run_column_ = at->second;
}

ValueIndex::Pending& ValueIndex::PendingFor(const PendingKey& key, std::size_t column) {
  if (last_pending_ != kNoPending && pending_[last_pending_].key == key) return pending_[last_pending_];
  std::size_t found = kNoPending;
  if (pending_count_ <= kFewPending) {
    for (std::size_t i = 0; i < pending_count_ && found == kNoPending; ++i)
      if (pending_[i].key == key) found = i;
  } else {
    const auto at = pending_at_.find(key);
    if (at != pending_at_.end()) found = at->second;
  }
  if (found == kNoPending) {
    found = pending_count_++;
    if (found == pending_.size()) pending_.emplace_back();
    Pending& value = pending_[found];
    value.key = key;
    value.extents.clear();
    value.units.clear();
    value.dropped = false;
    value.settled = Lookup(column, key.second) != nullptr;  // the first value found is the one
    if (pending_count_ == kFewPending + 1)
      for (std::size_t i = 0; i < pending_count_; ++i) pending_at_.emplace(pending_[i].key, i);
    else if (pending_count_ > kFewPending + 1)
      pending_at_.emplace(key, found);
  }
  last_pending_ = found;
  return pending_[found];
}

void ValueIndex::Match(std::size_t range, std::int64_t record, std::uint64_t at, std::uint32_t unit, bool ends) {
  const std::size_t column = run_column_ + range;
  Pending& value = PendingFor(PendingKey{range, record}, column);
  if (value.settled) return;

  if (!value.extents.empty() && value.extents.back().first + value.extents.back().count == at)
    ++value.extents.back().count;
  else
    value.extents.push_back(Extent{at, 1});
  if (kept_budget_ > 0 && range == kept_range_ && !value.dropped) {
    if (value.units.size() < kept_budget_) value.units.push_back(static_cast<char16_t>(unit));
    else value.dropped = true;
  }
  if (!ends) return;

  Spot& spot = Insert(column, record);
  if (value.extents.size() == 1) {
    spot = Spot{value.extents.front().first, value.extents.front().count};
  } else {
    spot = Spot{kScattered, 0};
    for (const Extent& extent : value.extents) spot.count += extent.count;
    scattered_[{column, record}] = value.extents;
  }
  ++values_;
  if (!value.dropped && !value.units.empty() && value.units.size() <= kept_budget_) Keep(column, record, value.units);
  value.extents.clear();
  value.units.clear();
  value.settled = true;
}

void ValueIndex::Keep(std::size_t column, std::int64_t record, const std::u16string& units) {
  Column& values = columns_[column];
  const Kept kept{static_cast<std::uint32_t>(kept_units_.size()), static_cast<std::uint32_t>(units.size())};
  if (record >= 1 && static_cast<std::uint64_t>(record) <= values.dense.size()) {
    if (values.kept.size() < values.dense.size()) values.kept.resize(values.dense.size());
    values.kept[static_cast<std::size_t>(record - 1)] = kept;
  } else {
    kept_sparse_[{column, record}] = kept;
  }
  kept_units_.insert(kept_units_.end(), units.begin(), units.end());
  kept_budget_ -= units.size();
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
  if (sparse_.empty()) return nullptr;
  const auto at = sparse_.find({column, record});
  return at == sparse_.end() ? nullptr : &at->second;
}

ValueIndex::Spot& ValueIndex::Insert(std::size_t column, std::int64_t record) {
  Column& values = columns_[column];
  ++values.values;
  if (record >= 1 && static_cast<std::uint64_t>(record) <= std::max<std::uint64_t>(
                                                              values.dense.size(), 2 * values.values + kDenseSlack)) {
    if (static_cast<std::uint64_t>(record) > values.dense.size())
      values.dense.resize(static_cast<std::size_t>(record));
    return values.dense[static_cast<std::size_t>(record - 1)];
  }
  return sparse_[{column, record}];
}

std::size_t ValueIndex::NameHash::operator()(const Name& name) const {
  std::uint64_t hash = 0;
  for (std::size_t at = 0; at + 8 <= name.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, name.data() + at, 8);
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, name.data() + 64, name.size() - 64);
  hash = (hash ^ tail) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::size_t>(hash ^ (hash >> 29));
}

std::size_t ValueIndex::ColumnOf(const std::u16string& padded_name, TypeRange range) const {
  const auto r = static_cast<std::size_t>(std::find(ranges_.begin(), ranges_.end(), range) - ranges_.begin());
  if (r == ranges_.size()) return kNoColumn;
  Name name;
  PutName(padded_name, name.data());
  return ColumnOf(name, r);
}

std::size_t ValueIndex::ColumnOf(const Name& name, std::size_t range) const {
  const auto at = names_.find(name);
  return at == names_.end() ? kNoColumn : at->second + range;
}

template <typename Accumulator>
IoResult<bool> ValueIndex::Find(const ValueQuery& query, Accumulator& value) {
  value.clear();
  const TypeRange range{query.type_min, query.type_max};
  const auto r = static_cast<std::size_t>(std::find(ranges_.begin(), ranges_.end(), range) - ranges_.begin());
  if (r == ranges_.size()) {
    if (access_ == platform::Access::ReadExisting && !platform::PathExists(path_))
      return {IoStatus{IoStatus::Failed, {platform::FailureCause::NotFound, 0}, path_}, false};
    if constexpr (std::is_same_v<Accumulator, std::u16string>) return FindValueText(db_, query, value);
    else return FindValueBytes(db_, query, value);
  }
  LockedFile file;
  const IoStatus status = file.Open(path_, access_, db_.busy_wait_ms);
  if (status != IoStatus::Ok) return {status, false};
  Name name;
  PutName(query.name, name.data());
  std::uint8_t record[8];
  PutLittleEndian<std::int64_t>(record, query.record);
  using Unit = typename Accumulator::value_type;

  // A value whose entries no longer say what the index learnt means the file changed in a way
  // the cheap checks missed: the index starts afresh, once, under this same open.
  for (int attempt = 0; attempt < 2; ++attempt, Reset()) {
    const IoStatus followed = Follow(file, {});
    if (followed != IoStatus::Ok) return {followed, false};
    const std::size_t column = ColumnOf(name, r);
    const Spot* spot = column == kNoColumn ? nullptr : Lookup(column, query.record);
    if (spot == nullptr) return {IoStatus::Ok, false};

    const Extent single{spot->first, spot->count};
    const Extent* extents = &single;
    std::size_t runs = 1;
    if (spot->first == kScattered) {
      const std::vector<Extent>& listed = scattered_.at({column, query.record});
      extents = listed.data();
      runs = listed.size();
    }
    // Each entry is checked while its unit is copied: one pass over the value's entries.
    value.resize(static_cast<std::size_t>(spot->count));
    Unit* out = value.data();
    const Unit* const last = out + value.size() - 1;  // of the one entry that carries end flag 1
    bool intact = true;
    for (std::size_t run = 0; run < runs && intact; ++run) {
      const Extent& extent = extents[run];
      for (std::uint64_t first = extent.first; intact && first < extent.first + extent.count;
           first += kEntriesPerBlock) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(extent.first + extent.count - first,
                                                                        kEntriesPerBlock));
        if (block_.size() < n * kDataUnitBytes) {
          block_.resize(n * kDataUnitBytes);
          memory_known_ = false;
        }
        if (!ReadEntries(file, first, n, block_.data())) return {file.Status(), false};
        const bool holds_last = out + n - 1 == last;
        intact = CopyCheckedUnits(block_.data(), n, name.data(), record, range, holds_last, out);
        out += n;
      }
    }
    if (intact) return {IoStatus::Ok, true};
  }
  value.clear();
  return {file.Status(), false};
}

IoResult<bool> ValueIndex::FindText(const ValueQuery& query, std::u16string& text) { return Find(query, text); }

IoResult<bool> ValueIndex::FindBytes(const ValueQuery& query, std::string& bytes) { return Find(query, bytes); }

ValueIndex::Kept* ValueIndex::KeptOf(std::size_t column, std::int64_t record) {
  if (column == kNoColumn) return nullptr;
  Column& values = columns_[column];
  if (record >= 1 && static_cast<std::uint64_t>(record) <= values.kept.size()) {
    Kept& kept = values.kept[static_cast<std::size_t>(record - 1)];
    if (kept.size != kNotKept) return &kept;  // else perhaps kept before the vector reached it
  }
  const auto at = kept_sparse_.find({column, record});
  return at == kept_sparse_.end() ? nullptr : &at->second;
}

bool ValueIndex::TakeKeptText(std::size_t column, std::int64_t record, std::u16string& text) {
  Kept* held = KeptOf(column, record);
  if (held == nullptr || held->size == kNotKept) return false;
  text.assign(kept_units_.data() + held->at, held->size);
  *held = Kept{};
  return true;
}

std::uint64_t ValueIndex::IndexedLength(std::size_t column, std::int64_t record) const {
  const Spot* spot = column == kNoColumn ? nullptr : Lookup(column, record);
  return spot == nullptr ? 0 : spot->count;
}

// In O(v log v) for the v values of the columns (and one look at each record kept apart):
// never one step per number up to `last`, which a damaged last entry may put at 2^63 - 1.
std::vector<std::int64_t> ValueIndex::RecordsHolding(const std::vector<std::size_t>& columns,
                                                     std::int64_t last) const {
  std::vector<std::int64_t> records;
  if (last < 1) return records;
  std::vector<bool> asked(columns_.size());
  for (const std::size_t column : columns) {
    if (column == kNoColumn || asked[column]) continue;
    asked[column] = true;
    const std::vector<Spot>& dense = columns_[column].dense;
    const auto end = static_cast<std::size_t>(std::min<std::uint64_t>(dense.size(), static_cast<std::uint64_t>(last)));
    for (std::size_t at = 0; at < end; ++at)
      if (dense[at].count > 0) records.push_back(static_cast<std::int64_t>(at) + 1);
  }
  for (const auto& [key, spot] : sparse_)
    if (asked[key.first] && spot.count > 0 && key.second >= 1 && key.second <= last) records.push_back(key.second);
  std::sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return records;
}

std::size_t ValueIndex::MemoryBytes() const {
  if (memory_known_) return memory_;
  // Nodes of the maps: the key and value plus about three pointers of bookkeeping each.
  constexpr std::size_t kNode = 3 * sizeof(void*);
  std::size_t bytes = sizeof(*this) + columns_.capacity() * sizeof(Column) + block_.capacity() +
                      kept_units_.capacity() * sizeof(char16_t) + pending_.capacity() * sizeof(Pending);
  for (const Column& column : columns_)
    bytes += column.dense.capacity() * sizeof(Spot) + column.kept.capacity() * sizeof(Kept);
  bytes += sparse_.size() * (sizeof(std::pair<ColumnRecord, Spot>) + kNode) + sparse_.bucket_count() * sizeof(void*);
  bytes += kept_sparse_.size() * (sizeof(std::pair<ColumnRecord, Kept>) + kNode) +
           kept_sparse_.bucket_count() * sizeof(void*);
  bytes += pending_at_.size() * (sizeof(std::pair<PendingKey, std::size_t>) + kNode) +
           pending_at_.bucket_count() * sizeof(void*);
  bytes += names_.size() * (sizeof(Name) + sizeof(std::size_t) + kNode) + names_.bucket_count() * sizeof(void*);
  for (const auto& [key, extents] : scattered_) bytes += sizeof(key) + kNode + extents.capacity() * sizeof(Extent);
  for (const Pending& value : pending_)
    bytes += value.extents.capacity() * sizeof(Extent) + value.units.capacity() * sizeof(char16_t);
  memory_ = bytes;
  memory_known_ = true;
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
