// A database written through the storage functions, for the browser and viewer scenarios:
// fields defined in order, then values stored record by record as record entry stores them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/system.h"
#include "shell/app_state.h"
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

// Names the database in the state and creates its folder.
inline void NameDatabase(AppState& state, const std::u16string& name) {
  state.dialogs.database_name = name;
  ASSERT_TRUE(platform::CreateFolder(DatabaseFolder(state.CurrentDatabase())));
}

inline void Define(const AppState& state, const FieldDefinition& field) {
  ASSERT_EQ(AppendFieldDefinition(state.CurrentDatabase(), field), IoStatus::Ok);
}

inline void Store(const AppState& state, const FieldDefinition& field, std::int64_t record,
                  const std::u16string& value) {
  ASSERT_EQ(AppendTextUnits(state.CurrentDatabase(), field, record, value, true), IoStatus::Ok);
}

inline void StoreBytes(const AppState& state, const FieldDefinition& field, std::int64_t record,
                       const std::string& bytes) {
  ASSERT_EQ(AppendByteUnits(state.CurrentDatabase(), field, record,
                            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), true),
            IoStatus::Ok);
}

// Creates the data file empty, as the first look at the record count does.
inline void CreateEmptyDataFile(const AppState& state) { EXPECT_EQ(LastRecordNumber(state.CurrentDatabase()), 0); }

}  // namespace zentora::testing
