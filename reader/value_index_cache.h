// The value indexes of the databases a process reads through Lirvak: one per database, kept
// between calls so that a caller's loop over every value costs one pass over the file, plus
// what is appended meanwhile. Memory is bounded: past the limit the index of the database
// used least recently is dropped, and an index larger than the limit by itself is dropped at
// the end of the call that made it, so that after a call the process keeps at most the limit. Two threads may read at once, each database's index used by
// one of them at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "storage/value_index.h"

namespace zentora::reader {

class ValueIndexCache {
 public:
  explicit ValueIndexCache(std::size_t memory_limit) : memory_limit_(memory_limit) {}

  // As ValueIndex::FindText / FindBytes on the index of `db` (types: text or attachment).
  IoResult<bool> FindText(const Database& db, const ValueQuery& query, std::u16string& text);
  IoResult<bool> FindBytes(const Database& db, const ValueQuery& query, std::string& bytes);

  // Databases whose index is held now.
  std::size_t HeldDatabases() const;

 private:
  struct Entry {
    std::mutex lock;  // one reader of this index at a time
    ValueIndex index;
    std::size_t memory = 0;  // as last measured, under the cache's lock
    explicit Entry(const Database& db) : index(Fresh(db)) {}
  };

  static ValueIndex Fresh(const Database& db) {
    return ValueIndex(db, {kTextTypes, kAttachmentTypes}, platform::Access::ReadExisting);
  }
  template <typename Read>
  auto Use(const Database& db, Read read);

  const std::size_t memory_limit_;
  mutable std::mutex lock_;
  std::list<std::shared_ptr<Entry>> held_;  // most recently used first
};

// What Lirvak keeps per process: 64 MB of indexes.
ValueIndexCache& ProcessValueIndexes();

}  // namespace zentora::reader
