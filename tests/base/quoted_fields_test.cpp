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
  };
  for (const Case& c : cases) {
    std::vector<std::string_view> fields;
    std::string scratch;
    EXPECT_EQ(cutQuotedFields(c.line, fields, scratch, c.fieldStartOnly), c.closed) << c.line;
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), c.fields) << c.line;
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
