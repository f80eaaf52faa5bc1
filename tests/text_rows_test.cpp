// The checks the build makes of the text table's rows, each shown to refuse what it must.
#include "texts/text_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zentora {
namespace {

TEST(TextRows, EveryEntryOnceWithoutGaps) {
  const struct {
    const char* name;
    std::vector<TextRow> rows;
    bool no_id_twice;
    bool every_entry;
  } cases[] = {
      {"complete, in any order", {{{2, 1}, u"b", u"b"}, {{1, 2}, u"a2", u"a2"}, {{1, 1}, u"a1", u"a1"}}, true, true},
      {"an id twice", {{{1, 1}, u"a", u"a"}, {{1, 1}, u"b", u"b"}, {{2, 1}, u"c", u"c"}}, false, false},
      {"a gap in a group", {{{1, 1}, u"a", u"a"}, {{1, 3}, u"c", u"c"}, {{2, 1}, u"d", u"d"}}, true, false},
      {"a group without words", {{{1, 1}, u"a", u"a"}, {{1, 2}, u"b", u"b"}}, true, false},
      {"a group past the last", {{{1, 1}, u"a", u"a"}, {{2, 1}, u"b", u"b"}, {{3, 1}, u"c", u"c"}}, true, false},
      {"entry 0", {{{1, 0}, u"a", u"a"}, {{1, 1}, u"b", u"b"}, {{2, 1}, u"c", u"c"}}, true, false},
      {"words missing", {{{1, 1}, u"a", nullptr}, {{2, 1}, u"b", u"b"}}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NoIdTwice(c.rows), c.no_id_twice);
    EXPECT_EQ(EveryEntryHasWords(c.rows, 2), c.every_entry);
  }
}

TEST(TextRows, EveryGroupHasOneWidth) {
  const struct {
    const char* name;
    std::vector<GroupWidth> widths;
    bool expected;
  } cases[] = {
      {"each once", {{2, 100}, {1, 110}}, true},
      {"one missing", {{1, 110}}, false},
      {"one twice", {{1, 110}, {1, 110}, {2, 100}}, false},
      {"a width of 0", {{1, 110}, {2, 0}}, false},
      {"a group past the last", {{1, 110}, {2, 100}, {3, 100}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EveryGroupHasOneWidth(c.widths, 2), c.expected);
  }
}

}  // namespace
}  // namespace zentora
