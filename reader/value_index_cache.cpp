#include "reader/value_index_cache.h"

#include <utility>

namespace zentora::reader {

template <typename Read>
auto ValueIndexCache::Use(const Database& db, Read read) {
  std::shared_ptr<Entry> held;
  {
    const std::lock_guard<std::mutex> hold(lock_);
    for (auto at = held_.begin(); at != held_.end(); ++at) {
      const Database& indexed = (*at)->index.database();
      if (indexed.name != db.name || indexed.program_folder != db.program_folder) continue;
      held = *at;
      held_.splice(held_.begin(), held_, at);
      break;
    }
    if (!held) held = held_.emplace_front(std::make_shared<Entry>(db));
  }
  std::size_t memory = 0;
  bool nothing = false;
  auto result = [&] {
    const std::lock_guard<std::mutex> reading(held->lock);
    auto answer = read(held->index);
    memory = held->index.MemoryBytes();
    nothing = held->index.IndexedEntries() == 0;
    // An index larger than the whole limit is not kept past the call: the next call reads
    // the file again, in time linear in it, rather than the process keeping more than the
    // limit. The entry stays, so threads reading this database still take turns on one index.
    if (memory > memory_limit_) {
      held->index = Fresh(held->index.database());
      memory = 0;
    }
    return answer;
  }();
  // A thread still reading a dropped index keeps it alive through its own pointer.
  const std::lock_guard<std::mutex> hold(lock_);
  held->memory = memory;
  // An index of nothing (a database without a data file) costs nothing to make again: names
  // asked for that do not exist are not held.
  if (nothing) held_.remove(held);
  std::size_t total = 0;
  for (const auto& each : held_) total += each->memory;
  while (total > memory_limit_ && !held_.empty()) {
    total -= held_.back()->memory;
    held_.pop_back();
  }
  return result;
}

IoResult<bool> ValueIndexCache::FindText(const Database& db, const ValueQuery& query, std::u16string& text) {
  return Use(db, [&](ValueIndex& index) { return index.FindText(query, text); });
}

IoResult<bool> ValueIndexCache::FindBytes(const Database& db, const ValueQuery& query, std::string& bytes) {
  return Use(db, [&](ValueIndex& index) { return index.FindBytes(query, bytes); });
}

std::size_t ValueIndexCache::HeldDatabases() const {
  const std::lock_guard<std::mutex> hold(lock_);
  return held_.size();
}

ValueIndexCache& ProcessValueIndexes() {
  static ValueIndexCache cache(std::size_t{64} << 20);
  return cache;
}

}  // namespace zentora::reader
