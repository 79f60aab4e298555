#include "output/conversion_report.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/cp932.hpp"

namespace ledra {
namespace {

constexpr std::string_view kJournal = "/data/仕訳日記帳.txt";

enum Account : size_t { Cash, Bank, Travel, Supplies, Purchases, Unused };

std::vector<ReportAccount> company() {
  return {{"111", "現金", "1110", "現金"},
          {"131", "普通預金", "1310", "普通預金"},
          {"500", "旅費交通費", "", ""},  // invalidated
          {"520", "消耗品費", "5200", "消耗品費"},
          {"600", "仕入高", "5110", "仕入高"},
          {"700", "未使用科目", "7000", "未使用科目"}};
}

// A side as read and as written under its own account.
JournalSideFacts side(std::string text, std::optional<size_t> own, int64_t amount,
                      int64_t taxAdded = 0) {
  return {std::move(text), own, amount, own, amount + taxAdded, taxAdded};
}

struct Line {
  int64_t number;
  JournalSideFacts debit, credit;
  std::string dropReason;
};

void feed(ConversionReport& r, const std::vector<Line>& lines) {
  for (const Line& l : lines)
    r.journalLine({std::string(kJournal), l.number, false}, l.debit, l.credit, l.dropReason);
}

std::string crLfJoined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// An invalidated account in use, an account without a balance row (its slip is left out), a
// side naming no account, 外税, a name cut to its width and an emoji in a description.
TEST(ConversionReport, CompanyWithKnownDifferences) {
  ConversionReport r(company());
  r.facts() = {{{2026, 12, 9}, 6, 44, 35},
               "弥生会計",
               "U001",
               {"/data/勘定科目一覧表.txt", std::string(kJournal)},
               {{"kanjyo.csv", 5}, {"zandaka.csv", 2}, {"shiwake.csv", 4}}};
  JournalSideFacts unknown = side("雑費Ｘ", std::nullopt, 2000);
  unknown.writtenAs = Purchases;
  feed(r, {
              {2, side("仕入高", Purchases, 10000, 500), side("現金", Cash, 10500), ""},
              {3, unknown, side("現金", Cash, 2000), ""},
              {4, side("旅費交通費", Travel, 3000), side("現金", Cash, 3000),
               "借方の勘定科目が無効化されています"},
              {5, side("消耗品費", Supplies, 1500), side("普通預金", Bank, 1500),
               "借方の勘定科目に残高の行がありません"},
              {6, side("普通預金", Bank, 50000), side("現金", Cash, 50000), ""},
              // a later line of a written slip, naming the invalidated account
              {7, side("旅費交通費", Travel, 800), side("現金", Cash, 800), ""},
          });
  for (auto [account, imported, written] :
       {std::tuple{Cash, 100000, 100000}, {Bank, 200000, 200000}, {Travel, 5000, 0}}) {
    r.openingImported(account, imported);
    r.openingWritten(account, written);
  }
  r.textCut({"kanjyo.csv", 2, true}, "科目名", "普通預金（とても長い名前の口座です）",
            "普通預金（とても長い名");
  r.questionMarks({std::string(kJournal), 6, false}, "摘要", "お祝い\U0001F382");

  const std::vector<std::string> csv{
      R"("元コード","元科目名","Ledraコード","Ledra科目名","元借方合計","出力借方合計","元貸方合計","出力貸方合計","元期首残高","出力期首残高","差額")",
      R"("111","現金","1110","現金","0","0","66300","63300","100000","100000","-3000")",
      R"("131","普通預金","1310","普通預金","50000","50000","1500","0","200000","200000","-1500")",
      R"("500","旅費交通費","","","3800","0","0","0","5000","0","-8800")",
      R"("520","消耗品費","5200","消耗品費","1500","0","0","0","0","0","-1500")",
      R"("600","仕入高","5110","仕入高","10000","12500","0","0","0","0","2500")",
      R"("合計","","","","65300","62500","67800","63300","305000","300000","-12300")",
  };
  EXPECT_EQ(reconciliationLines(r), csv);
  EXPECT_EQ(reconciliationBytes(r), encodeCp932(crLfJoined(csv)));

  const std::vector<std::string> report{
      "変換レポート",
      "変換日時: 2026/12/09 06:44:35",
      "会計ソフト: 弥生会計",
      "ユーザーコード: U001",
      "入力ファイル:",
      "  /data/勘定科目一覧表.txt",
      "  /data/仕訳日記帳.txt",
      "書き出した件数:",
      "  kanjyo.csv: 5件",
      "  zandaka.csv: 2件",
      "  shiwake.csv: 4件",
      "照合: 差額のある勘定科目 5件（照合表.csv）",
      "",
      "【書き出さなかった仕訳行（2行）】",
      "  仕訳日記帳.txt 4行目: 借方の勘定科目が無効化されています（借方 500 旅費交通費 3,000円、"
      "貸方 111 現金 3,000円）",
      "  仕訳日記帳.txt 5行目: 借方の勘定科目に残高の行がありません（借方 520 消耗品費 "
      "1,500円、貸方 131 普通預金 1,500円）",
      "",
      "【他の行の勘定科目で書き出した仕訳（1件）】",
      "  仕訳日記帳.txt 3行目 借方 「雑費Ｘ」 2,000円: 該当する勘定科目がないため、600 仕入高 "
      "で書き出しました",
      "",
      "【外税を加えた金額（1件、加算額の合計 500円）】",
      "  仕訳日記帳.txt 2行目 借方 600 仕入高: 10,000円 → 10,500円（外税 +500円）",
      "",
      "【バイト数に合わせて切り詰めた文字（1件）】",
      "  kanjyo.csv 2件目 科目名: 「普通預金（とても長い名前の口座です）」 → "
      "「普通預金（とても長い名」",
      "",
      "【「?」で書き出した文字（1件）】",
      "  仕訳日記帳.txt 6行目 摘要: 「お祝い<U+1F382>」 → 「お祝い?」",
      "",
      "【差額のある勘定科目（5件）】",
      "  111 現金（Ledra 1110 現金）: 差額 -3,000円",
      "    書き出さなかった仕訳行 1行: -3,000円",
      "  131 普通預金（Ledra 1310 普通預金）: 差額 -1,500円",
      "    書き出さなかった仕訳行 1行: -1,500円",
      "  500 旅費交通費（Ledraの科目なし）: 差額 -8,800円",
      "    書き出さなかった仕訳行 1行: -3,000円",
      "    Ledraの科目がないため出力に数えない仕訳 1件: -800円",
      "    期首残高（元 5,000円、出力 0円）: -5,000円",
      "  520 消耗品費（Ledra 5200 消耗品費）: 差額 -1,500円",
      "    書き出さなかった仕訳行 1行: -1,500円",
      "  600 仕入高（Ledra 5110 仕入高）: 差額 +2,500円",
      "    他の行から書き出した仕訳 1件: +2,000円",
      "    外税の加算 1件: +500円",
  };
  EXPECT_EQ(conversionReportLines(r), report);
  EXPECT_EQ(conversionReportBytes(r), encodeCp932(crLfJoined(report)));

  EXPECT_EQ(
      reportSummaryLines(r, "/out"),
      (std::vector<std::string>{"照合表で差額のある勘定科目が5件あります。",
                                "照合表: /out/照合表.csv", "変換レポート: /out/変換レポート.txt"}));
}

TEST(ConversionReport, ReconciledCompanyHasNoDifferenceOnAnyRow) {
  ConversionReport r(company());
  feed(r, {
              {2, side("仕入高", Purchases, 10000), side("現金", Cash, 10000), ""},
              {3, side("普通預金", Bank, 30000), side("現金", Cash, 30000), ""},
              {4, side("", std::nullopt, 0), side("現金", Cash, 0), ""},  // a continuation
          });
  r.openingImported(Cash, 90000);
  r.openingWritten(Cash, 90000);
  r.openingImported(Unused, 0);

  const std::vector<std::string> csv = reconciliationLines(r);
  ASSERT_EQ(csv.size(), 5u);  // heading, 現金, 普通預金, 仕入高, total
  for (const std::string& row : csv)
    EXPECT_TRUE(row.ends_with(R"(,"0")") || row.ends_with(R"("差額")")) << row;
  // Every section, the differences included, says it holds nothing.
  const std::vector<std::string> report = conversionReportLines(r);
  int sections = 0;
  for (size_t i = 0; i < report.size(); ++i) {
    if (!report[i].starts_with("【")) continue;
    ++sections;
    ASSERT_LT(i + 1, report.size());
    EXPECT_EQ(report[i + 1], "  なし") << report[i];
  }
  EXPECT_EQ(sections, 6);
  EXPECT_EQ(report.back(), "  なし");
  EXPECT_EQ(report[report.size() - 2], "【差額のある勘定科目（0件）】");
  EXPECT_EQ(reportSummaryLines(r).front(), "照合表の差額はすべて0です。");
}

// The first line has no earlier account to fall back on: its side goes out without one.
TEST(ConversionReport, SideWrittenWithoutAnyAccountIsListed) {
  ConversionReport r(company());
  JournalSideFacts unknown = side("雑費Ｘ", std::nullopt, 700);
  unknown.writtenAs.reset();
  feed(r, {{2, unknown, side("現金", Cash, 700), ""}});
  const std::vector<std::string> report = conversionReportLines(r);
  const auto heading =
      std::find(report.begin(), report.end(), "【他の行の勘定科目で書き出した仕訳（1件）】");
  ASSERT_NE(heading, report.end());
  EXPECT_EQ(heading[1],
            "  仕訳日記帳.txt 2行目 借方 「雑費Ｘ」 700円: 該当する勘定科目がないため、"
            "勘定科目なしで書き出しました");
}

TEST(ConversionReport, FindsTheCharactersCp932Lacks) {
  const std::pair<const char*, bool> cases[] = {
      {"plain?text", false},
      {"全角～と〜", false},  // U+301C is written as U+FF5E's bytes
      {"お祝い\U0001F382", true},
      {"?\u00E9?", true},
  };
  for (const auto& [text, lacks] : cases) EXPECT_EQ(lacksCp932Characters(text), lacks) << text;
}

}  // namespace
}  // namespace ledra
