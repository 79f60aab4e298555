#include "base/quoted_fields.hpp"

#include <gtest/gtest.h>

namespace ledra {
namespace {

TEST(CutQuotedFields, CutsOnlyOutsideQuotesAndUndoublesEnclosedFields) {
  struct Case {
    const char* line;
    bool fieldStartOnly;
    std::vector<std::string> fields;
    bool closed;
  } cases[] = {
      {R"("a","4月分,家賃",3)", false, {"a", "4月分,家賃", "3"}, true},
      {R"("say ""hi""",x)", false, {"say \"hi\"", "x"}, true},
      {R"(ab"c,d"e,f)", false, {"ab\"c,d\"e", "f"}, true},  // not enclosed: as it stands
      {R"("",)", false, {"", ""}, true},
      {R"(a,"b,c)", false, {"a", "\"b,c"}, false},
      {R"(5",x)", true, {"5\"", "x"}, true},  // a quote inside a field opens nothing
      {R"("a""b,c",d)", true, {"a\"b,c", "d"}, true},
      {"", false, {""}, true},
      {R"("長い摘要、その一","x,y","",,"q""r""s")",
       true,
       {"長い摘要、その一", "x,y", "", "", "q\"r\"s"},
       true},
      {R"("a"b"",c)", false, {"a\"b\"", "c"}, true},
  };
  // Each line again behind a first field of 0 to 16 bytes, so that every quote and comma
  // falls at each place of the eight-byte words the cutter looks at.
  for (const Case& c : cases) {
    for (size_t pad = 0; pad <= 16; ++pad) {
      const std::string first(pad, pad % 2 ? 'x' : '\xA0');
      const std::string line = pad ? first + "," + c.line : c.line;
      std::vector<std::string> expected = c.fields;
      if (pad) expected.insert(expected.begin(), first);
      std::vector<std::string_view> fields;
      std::string scratch;
      EXPECT_EQ(cutQuotedFields(line, fields, scratch, c.fieldStartOnly), c.closed) << line;
      EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), expected) << line;
    }
  }
}

TEST(AppendQuotedWhenNeeded, QuotesOnlyTextsWithACommaOrAQuote) {
  std::string out;
  appendQuotedWhenNeeded(out, "現金");
  out += ',';
  appendQuotedWhenNeeded(out, "甲,乙\"丙\"");
  EXPECT_EQ(out, "現金,\"甲,乙\"\"丙\"\"\"");
}

}  // namespace
}  // namespace ledra
