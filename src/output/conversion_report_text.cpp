#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/numbers.hpp"
#include "base/text.hpp"
#include "output/conversion_report.hpp"
#include "output/output_common.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"

// The two files of the conversion report: 照合表.csv and 変換レポート.txt.
namespace ledra {

namespace {

constexpr std::string_view kNone = "なし";

int64_t questionMarks(std::string_view s) { return std::count(s.begin(), s.end(), '?'); }

// The line with every character CP932 lacks shown as <U+XXXX>, so that the report names the
// character instead of printing the "?" it stands for.
std::string markLacking(std::string_view line) {
  std::string out;
  for (size_t pos = 0; pos < line.size();) {
    const size_t start = pos;
    const char32_t cp = nextCodePoint(line, pos);
    const std::string_view ch = line.substr(start, pos - start);
    if (cp != '?' && encodeCp932(ch) == "?") {
      char buf[16];
      std::snprintf(buf, sizeof buf, "<U+%04X>", static_cast<unsigned>(cp));
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

std::string visible(std::string_view line) {
  return lacksCp932Characters(line) ? markLacking(line) : std::string(line);
}

std::string fileName(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string placeText(const ReportPlace& p) {
  return fileName(p.file) + " " + std::to_string(p.number) + (p.record ? "件目" : "行目");
}

std::string yen(int64_t v) { return numberFormat(v) + "円"; }
std::string signedYen(int64_t v) { return (v > 0 ? "+" : "") + yen(v); }
std::string_view sideWord(ReportSide s) { return s == ReportSide::Debit ? "借方" : "貸方"; }
std::string quoted(std::string_view text) { return "「" + std::string(text) + "」"; }

std::string accountLabel(const ReportAccount& a) { return a.code + " " + a.name; }

std::string ledraLabel(const ReportAccount& a) {
  if (a.ledraCode.empty()) return "（Ledraの科目なし）";
  return "（Ledra " + a.ledraCode + " " + a.ledraName + "）";
}

// The account a side names: the source account it matched, else its text as read.
std::string sideAccount(const ConversionReport& r, const JournalSideFacts& s) {
  return s.own ? accountLabel(r.accounts()[*s.own]) : quoted(s.account);
}

std::string dateTimeText(const DateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.date.year, t.date.month,
                t.date.day, t.hour, t.minute, t.second);
  return buf;
}

std::string reconciliationSummary(const ConversionReport& r) {
  const int64_t n = r.differingAccounts();
  if (n == 0) return "照合表の差額はすべて0です。";
  return "照合表で差額のある勘定科目が" + std::to_string(n) + "件あります。";
}

class ReportText {
 public:
  explicit ReportText(const ConversionReport& r) : r_(r) {}

  std::vector<std::string> lines() {
    head();
    droppedLines();
    movedSides();
    taxAdded();
    cuts();
    replaced();
    differences();
    return std::move(lines_);
  }

 private:
  void add(std::string line) { lines_.push_back(std::move(line)); }
  void item(std::string line) { lines_.push_back("  " + std::move(line)); }
  // An item put together in place: the long sections have a line for every event.
  template <typename... Parts>
  void itemOf(const Parts&... parts) {
    std::string& line = lines_.emplace_back("  ");
    (line.append(std::string_view(parts)), ...);
  }
  void section(std::string heading, bool empty) {
    add({});
    add("【" + heading + "】");
    if (empty) item(std::string(kNone));
  }

  void head() {
    const ReportRunFacts& f = r_.facts();
    add("変換レポート");
    add("変換日時: " + dateTimeText(f.when));
    add("会計ソフト: " + f.package);
    add("ユーザーコード: " + f.userCode);
    add("入力ファイル:");
    for (const std::string& file : f.inputFiles) item(file);
    if (f.inputFiles.empty()) item(std::string(kNone));
    add("書き出した件数:");
    for (const auto& [file, count] : f.recordsWritten)
      item(file + ": " + numberFormat(count) + "件");
    if (f.recordsWritten.empty()) item(std::string(kNone));
    const int64_t differing = r_.differingAccounts();
    add("照合: " +
        (differing == 0 ? std::string("差額なし")
                        : "差額のある勘定科目 " + numberFormat(differing) + "件") +
        "（" + std::string(kReconciliationFileName) + "）");
  }

  void droppedLines() {
    const auto& all = r_.dropped();
    section("書き出さなかった仕訳行（" + numberFormat(static_cast<int64_t>(all.size())) + "行）",
            all.empty());
    for (const auto& d : all) {
      std::string sides;
      for (const auto& [which, s] :
           {std::pair{ReportSide::Debit, &d.debit}, std::pair{ReportSide::Credit, &d.credit}}) {
        if (!s->own && s->account.empty()) continue;
        if (!sides.empty()) sides += "、";
        sides += std::string(sideWord(which)) + " " + sideAccount(r_, *s) + " " + yen(s->amount);
      }
      item(placeText(d.place) + ": " + d.reason + (sides.empty() ? "" : "（" + sides + "）"));
    }
  }

  void movedSides() {
    const auto& all = r_.moved();
    section("他の行の勘定科目で書き出した仕訳（" + numberFormat(static_cast<int64_t>(all.size())) +
                "件）",
            all.empty());
    for (const auto& m : all) {
      const JournalSideFacts& s = m.facts;
      std::string line = placeText(m.place) + " " + std::string(sideWord(m.side)) + " " +
                         sideAccount(r_, s) + " " + yen(s.amount) + ": ";
      if (!s.own) line += "該当する勘定科目がないため、";
      line += s.writtenAs ? accountLabel(r_.accounts()[*s.writtenAs]) + " で書き出しました"
                          : "勘定科目なしで書き出しました";
      item(std::move(line));
    }
  }

  void taxAdded() {
    const auto& all = r_.taxAdded();
    int64_t sum = 0;
    for (const auto& t : all) sum += t.facts.taxAdded;
    section("外税を加えた金額（" + numberFormat(static_cast<int64_t>(all.size())) +
                "件、加算額の合計 " + yen(sum) + "）",
            all.empty());
    for (const auto& t : all) {
      const JournalSideFacts& s = t.facts;
      const std::string account =
          s.writtenAs ? accountLabel(r_.accounts()[*s.writtenAs]) : sideAccount(r_, s);
      itemOf(placeText(t.place), " ", sideWord(t.side), " ", account, ": ", yen(s.amount), " → ",
             yen(s.writtenAmount), "（外税 ", signedYen(s.taxAdded), "）");
    }
  }

  void cuts() {
    const auto& all = r_.cuts();
    section("バイト数に合わせて切り詰めた文字（" + numberFormat(static_cast<int64_t>(all.size())) +
                "件）",
            all.empty());
    for (const auto& c : all)
      itemOf(placeText(c.place), " ", c.field, ": 「", c.before, "」 → 「", c.after, "」");
  }

  void replaced() {
    const auto& all = r_.replaced();
    section("「?」で書き出した文字（" + numberFormat(static_cast<int64_t>(all.size())) + "件）",
            all.empty());
    for (const auto& q : all)
      item(placeText(q.place) + " " + q.field + ": " + quoted(q.original) + " → " +
           quoted(foldToCp932(q.original)));
  }

  void differences() {
    const std::vector<ReconciliationRow> rows = r_.rows();
    const int64_t n = r_.differingAccounts();
    section("差額のある勘定科目（" + numberFormat(n) + "件）", n == 0);
    for (const ReconciliationRow& row : rows) {
      const int64_t diff = row.difference();
      if (diff == 0) continue;
      const ReportAccount& a = r_.accounts()[row.account];
      item(accountLabel(a) + ledraLabel(a) + ": 差額 " + signedYen(diff));
      explain(a, row, r_.causes(row.account));
    }
  }

  // One line per cause that moves the difference, then whatever none of them accounts for.
  void explain(const ReportAccount& a, const ReconciliationRow& row,
               const ConversionReport::Causes& c) {
    int64_t left = row.difference();
    const auto cause = [&](int64_t count, std::string_view unit, std::string_view what,
                           int64_t amount) {
      if (count == 0 && amount == 0) return;
      item("  " + std::string(what) + " " + numberFormat(count) + std::string(unit) + ": " +
           signedYen(amount));
      left -= amount;
    };
    cause(c.droppedLines, "行", "書き出さなかった仕訳行", c.droppedAmount);
    cause(c.movedOut, "件", "他の勘定科目で書き出した仕訳", c.movedOutAmount);
    if (a.ledraCode.empty()) {
      const int64_t journal = (row.writtenDebit - row.sourceDebit) +
                              (row.writtenCredit - row.sourceCredit) - c.droppedAmount -
                              c.movedOutAmount;
      cause(c.uncounted, "件", "Ledraの科目がないため出力に数えない仕訳", journal);
    } else {
      cause(c.movedIn, "件", "他の行から書き出した仕訳", c.movedInAmount);
      cause(c.taxLines, "件", "外税の加算", c.taxAmount);
    }
    const int64_t opening = row.openingWritten - row.openingImported;
    if (opening != 0) {
      item("  期首残高（元 " + yen(row.openingImported) + "、出力 " + yen(row.openingWritten) +
           "）: " + signedYen(opening));
      left -= opening;
    }
    if (left != 0) item("  上記以外の差: " + signedYen(left));
  }

  const ConversionReport& r_;
  std::vector<std::string> lines_;
};

// The lines in CP932, encoded in one go; line by line only when some character is to be
// marked (each lacking character becomes one "?", a byte no double-byte character ends with).
std::string bytesOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += kCrLf;
  }
  std::string out = encodeCp932(text);
  if (questionMarks(out) == questionMarks(text)) return out;
  out.clear();
  for (const std::string& line : lines) {
    appendCp932(out, lacksCp932Characters(line) ? markLacking(line) : line);
    out += kCrLf;
  }
  return out;
}

std::vector<std::string> reconciliationText(const ConversionReport& report) {
  std::vector<std::string> out;
  const std::vector<ReconciliationRow> rows = report.rows();
  out.reserve(rows.size() + 2);
  out.push_back(quotedRecord({"元コード", "元科目名", "Ledraコード", "Ledra科目名", "元借方合計",
                              "出力借方合計", "元貸方合計", "出力貸方合計", "元期首残高",
                              "出力期首残高", "差額"}));
  ReconciliationRow total;
  const auto amounts = [](const ReconciliationRow& r) {
    return std::vector<int64_t>{r.sourceDebit,   r.writtenDebit,    r.sourceCredit,
                                r.writtenCredit, r.openingImported, r.openingWritten,
                                r.difference()};
  };
  for (const ReconciliationRow& row : rows) {
    const ReportAccount& a = report.accounts()[row.account];
    std::vector<std::string> fields{a.code, a.name, a.ledraCode, a.ledraName};
    for (int64_t v : amounts(row)) fields.push_back(std::to_string(v));
    out.push_back(quotedRecord(fields));
    total.sourceDebit += row.sourceDebit;
    total.writtenDebit += row.writtenDebit;
    total.sourceCredit += row.sourceCredit;
    total.writtenCredit += row.writtenCredit;
    total.openingImported += row.openingImported;
    total.openingWritten += row.openingWritten;
  }
  std::vector<std::string> fields{"合計", "", "", ""};
  for (int64_t v : amounts(total)) fields.push_back(std::to_string(v));
  out.push_back(quotedRecord(fields));
  return out;
}

}  // namespace

std::vector<std::string> reconciliationLines(const ConversionReport& report) {
  std::vector<std::string> lines = reconciliationText(report);
  for (std::string& line : lines) line = visible(line);
  return lines;
}

std::vector<std::string> conversionReportLines(const ConversionReport& report) {
  std::vector<std::string> lines = ReportText(report).lines();
  for (std::string& line : lines) line = visible(line);
  return lines;
}

std::string reconciliationBytes(const ConversionReport& report) {
  return bytesOf(reconciliationText(report));
}

std::string conversionReportBytes(const ConversionReport& report) {
  return bytesOf(ReportText(report).lines());
}

std::vector<std::string> reportSummaryLines(const ConversionReport& report,
                                            const std::string& outputFolder) {
  const auto path = [&](std::string_view name) {
    return outputFolder.empty() ? std::string(name) : joinPath(outputFolder, name);
  };
  return {reconciliationSummary(report), "照合表: " + path(kReconciliationFileName),
          "変換レポート: " + path(kConversionReportFileName)};
}

}  // namespace ledra
