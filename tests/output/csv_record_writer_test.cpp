#include "output/csv_record_writer.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/cp932.hpp"

namespace ledra {
namespace {

TEST(RecordWriter, QuotesEveryFieldDoublesInnerQuotesAndEncodesText) {
  std::string out;
  RecordWriter record(out);
  record.field("0001");
  record.field("say \"hi\"");
  record.field("現金");
  record.field("甲\"乙");
  record.encodedField(encodeCp932("預金\"口\""));
  record.field("");
  record.quotedFields(R"(,"","0")");
  record.endLine();
  record.field("次");
  record.endLine();
  const std::string expected = R"("0001","say ""hi""","現金","甲""乙","預金""口""","","","0")"
                               "\r\n\"次\"\r\n";
  EXPECT_EQ(out, encodeCp932(expected));
}

}  // namespace
}  // namespace ledra
