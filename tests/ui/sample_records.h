// A database written through the storage functions, for the browser and viewer scenarios:
// fields defined in order, then values stored record by record as record entry stores them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/system.h"
#include "storage/data_file.h"
#include "storage/database.h"
#include "storage/field_definition.h"
#include "storage/structure_file.h"

namespace zentora::testing {

inline FieldDefinition Field(const std::u16string& name, FieldType type, std::int16_t size = 20,
                             std::int16_t decimals = 0) {
  FieldDefinition field;
  field.name = PadFieldName(name);
  field.type = static_cast<std::int16_t>(type);
  field.size = size;
  field.decimals = decimals;
  return field;
}

// Creates the database's folder.
inline void MakeDatabaseFolder(const Database& db) { ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(db))); }

inline void Define(const Database& db, const FieldDefinition& field) {
  ASSERT_EQ(AppendFieldDefinition(db, field), IoStatus::Ok);
}

inline void Store(const Database& db, const FieldDefinition& field, std::int64_t record, const std::u16string& value) {
  ASSERT_EQ(AppendTextUnits(db, field, record, value, true), IoStatus::Ok);
}

inline void StoreBytes(const Database& db, const FieldDefinition& field, std::int64_t record,
                       const std::string& bytes) {
  ASSERT_EQ(AppendByteUnits(db, field, record, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                            true),
            IoStatus::Ok);
}

// Creates the data file empty, as the first look at the record count does.
inline void CreateEmptyDataFile(const Database& db) { EXPECT_EQ(LastRecordNumber(db), 0); }

}  // namespace zentora::testing
