// Stores records the way the program does, as another program beside a test would: arguments
// the program folder (without its closing separator), the database name, how many records
// and a tag. Record i holds the values "<tag><i>" and "<tag><i>-nota". Exit code 0 when
// every record was stored.
#include <cstdlib>
#include <string>

#include "platform/encoding.h"
#include "platform/system.h"
#include "storage/data_file.h"

int main(int argc, char** argv) {
  using namespace zentora;
  if (argc != 5) return 2;
  // Each store waits for the other writer's; a long wait, never a busy failure in a test.
  const Database db{platform::Utf8ToUtf16(argv[1]) + platform::PathSeparator(), platform::Utf8ToUtf16(argv[2]),
                    20000};
  const FieldDefinition nombre{0, PadFieldName(u"Nombre"), 3, 20, 0};
  const FieldDefinition nota{0, PadFieldName(u"Nota"), 3, 20, 0};
  const int count = std::atoi(argv[3]);
  for (int i = 1; i <= count; ++i) {
    const std::u16string value = platform::Utf8ToUtf16(argv[4] + std::to_string(i));
    if (!AppendRecord(db, {{nombre, value, {}}, {nota, value + u"-nota", {}}}).ok()) return 1;
  }
  return 0;
}
