#include "import/report_import.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/numbers.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "import/classification.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kDetailRow = "[明細行]";
constexpr std::string_view kTotalRow = "[合計行]";
constexpr std::string_view kTitleKey = "帳票名";
constexpr std::string_view kShared = "(共通)";

struct ReportKindInfo {
  const char* name;     // the report as the user knows it
  const char* title;    // 帳票名 in the header block
  const char* caption;  // progress dialog
  int storedColumns;    // a taken row has at least these
  bool takesTotals;
  const char* tooMany;  // reason when the table is full
};

constexpr ReportKindInfo kKinds[] = {
    {"勘定科目一覧表", "勘定科目一覧表", "勘定科目取込中", 18, false,
     "勘定科目が多すぎます（2001件まで）"},
    {"科目残高試算表", "残高試算表(月次・期間)", "科目残高取込中", 10, true,
     "残高の行が多すぎます（5001行まで）"},
    {"補助科目一覧表", "補助科目一覧表", "補助科目取込中", 11, false,
     "補助科目が多すぎます（5001件まで）"},
    {"補助残高一覧表", "補助残高一覧表(月次・期間)", "補助残高取込中", 11, false,
     "補助残高の行が多すぎます（5001行まで）"},
    {"部門一覧表", "部門一覧表", "部門一覧取込中", 12, false, "部門が多すぎます（101件まで）"},
};

// The report's place in kKinds; -1 for a kind that is no 弥生会計 report.
int kindNumber(ReportKind kind) {
  const int k = static_cast<int>(kind);
  return k >= 0 && k <= static_cast<int>(ReportKind::DepartmentList) ? k : -1;
}

std::string columnText(int col) { return std::to_string(col) + "列目"; }

// A bare integer ("-1234", the usual amount) read directly; nothing for anything else, which
// goes to the general readers. Up to 15 digits a double holds it exactly, so both agree.
std::optional<int32_t> plainAmount(std::string_view field) {
  const bool negative = !field.empty() && field[0] == '-';
  const size_t first = negative ? 1 : 0;
  if (field.size() == first || field.size() - first > 15) return std::nullopt;
  int64_t v = 0;
  for (size_t i = first; i < field.size(); ++i) {
    const char c = field[i];
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (!fitsInt32(v)) return std::nullopt;
  return static_cast<int32_t>(v);
}

// Trial-balance amounts are read leniently: the leading number, 0 when there is none.
int32_t lenientAmount(std::string_view field, int col) {
  if (auto plain = plainAmount(field)) return *plain;
  auto v = toInt32Rounded(leadingNumber(field));
  if (!v) throw StepError(columnText(col) + "の金額が大きすぎます");
  return *v;
}

float lenientRatio(std::string_view field, int col) {
  const double v = leadingNumber(field);
  if (std::fabs(v) > FLT_MAX) throw StepError(columnText(col) + "の比率が大きすぎます");
  return static_cast<float>(v);
}

std::string quotedField(std::string_view field) { return "「" + std::string(field) + "」"; }

// Sub-account balance amounts must be whole numbers in the field.
int32_t strictAmount(std::string_view field, int col) {
  if (auto plain = plainAmount(field)) return *plain;
  if (field.empty()) throw StepError(columnText(col) + "の金額が空です");
  auto parsed = parseStrictNumber(field);
  if (!parsed)
    throw StepError(columnText(col) + "の金額" + quotedField(field) + "が数値ではありません");
  auto v = toInt32Rounded(*parsed);
  if (!v) throw StepError(columnText(col) + "の金額が大きすぎます");
  return *v;
}

float strictRatio(std::string_view field, int col) {
  auto parsed = parseStrictNumber(field);
  if (!parsed)
    throw StepError(columnText(col) + "の比率" + quotedField(field) + "が数値ではありません");
  if (std::fabs(*parsed) > FLT_MAX) throw StepError(columnText(col) + "の比率が大きすぎます");
  return static_cast<float>(*parsed);
}

using Fields = std::vector<std::string_view>;

template <int N>
void storeColumns(Columns<N>& columns, const Fields& fields, int count) {
  for (int c = 1; c <= count; ++c) columns.col(c).assign(fields[static_cast<size_t>(c - 1)]);
}

// The reason for refusing a file whose 帳票名 names another report; nothing when it fits.
std::optional<std::string> titleMismatch(const Fields& firstLine, int kind) {
  if (firstLine.empty() || firstLine[0] != kTitleKey) return std::nullopt;
  const std::string title = firstLine.size() > 1 ? trimSpaces(firstLine[1]) : std::string();
  const ReportKindInfo& wanted = kKinds[kind];
  if (title == wanted.title) return std::nullopt;
  return std::string(wanted.name) + "ではありません（帳票名：" + title + "）";
}

// Departments of the balance rows: with one department every row belongs to it; otherwise
// only the first department's own rows keep their "(共通)".
template <class Rows>
void markSharedDepartment(ConversionState& state, Rows& rows) {
  const auto& departments = state.workDepartments;
  if (departments.count() == 1) {
    const std::string shared = departments[0].companyName() + std::string(kShared);
    for (auto& row : rows) row.department() = shared;
    return;
  }
  const std::string kept =
      (departments.count() > 0 ? departments[0].companyName() : std::string()) +
      std::string(kShared);
  for (auto& row : rows) {
    // Only a name that holds the mark changes.
    if (row.department() != kept && row.department().find(kShared) != std::string::npos)
      row.department() = replaceAll(row.department(), kShared, "");
  }
}

void linkAccountOpeningBalances(ConversionState& state) {
  std::unordered_map<std::string_view, int32_t> firstRowOfName;
  firstRowOfName.reserve(static_cast<size_t>(state.workAccountBalances.count()));
  for (int32_t i = 0; i < state.workAccountBalances.count(); ++i)
    firstRowOfName.try_emplace(state.workAccountBalances[i].accountName(), i);
  for (WorkAccount& a : state.workAccounts) {
    auto it = firstRowOfName.find(a.sourceName);
    if (it != firstRowOfName.end())
      a.openingBalance = state.workAccountBalances[it->second].amount1;
  }
}

void linkSubAccountOpeningBalances(ConversionState& state) {
  std::unordered_map<std::string_view, int32_t> lastRowOfName;
  lastRowOfName.reserve(static_cast<size_t>(state.workSubAccountBalances.count()));
  for (int32_t i = 0; i < state.workSubAccountBalances.count(); ++i)
    lastRowOfName.insert_or_assign(state.workSubAccountBalances[i].listedName(), i);
  for (WorkSubAccount& s : state.workSubAccounts) {
    auto it = lastRowOfName.find(s.listedName());
    if (it != lastRowOfName.end())
      s.openingBalance = state.workSubAccountBalances[it->second].amount1;
  }
}

void appendRow(ConversionState& state, int kind, const Fields& f) {
  switch (kind) {
    case 0:
      storeColumns(state.workAccounts.append().columns, f, 18);
      break;
    case 1: {
      WorkAccountBalance& row = state.workAccountBalances.append();
      storeColumns(row.columns, f, 5);
      row.amount1 = lenientAmount(f[5], 6);
      row.amount2 = lenientAmount(f[6], 7);
      row.amount3 = lenientAmount(f[7], 8);
      row.amount4 = lenientAmount(f[8], 9);
      row.ratio = lenientRatio(f[9], 10);
      break;
    }
    case 2:
      storeColumns(state.workSubAccounts.append().columns, f, 11);
      break;
    case 3: {
      // Convert first so that a bad row leaves no half-filled entry behind.
      const int32_t a1 = strictAmount(f[6], 7);
      const int32_t a2 = strictAmount(f[7], 8);
      const int32_t a3 = strictAmount(f[8], 9);
      const int32_t a4 = strictAmount(f[9], 10);
      const float ratio = strictRatio(f[10], 11);
      WorkSubAccountBalance& row = state.workSubAccountBalances.append();
      storeColumns(row.columns, f, 6);
      row.amount1 = a1;
      row.amount2 = a2;
      row.amount3 = a3;
      row.amount4 = a4;
      row.ratio = ratio;
      break;
    }
    case 4: {
      if (state.workDepartments.count() == 0)
        state.departmentTotalName = std::string(f[1]) + "(合計)";
      WorkDepartment& d = state.workDepartments.append();
      storeColumns(d.columns, f, 12);
      d.joinedName.reserve(f[4].size() + f[5].size() + f[6].size());
      d.joinedName.assign(f[4]).append(f[5]).append(f[6]);
      break;
    }
  }
}

// Makes room for n entries at once, so that the table does not move its entries while it
// fills; the count stays 0.
template <class TableT>
void makeRoom(TableT& table, int64_t n) {
  if (n <= table.count()) return;
  table.resize(static_cast<int32_t>(std::min<int64_t>(n, TableT::kCapacity)));
  table.clear();
}

void makeRoomForRows(ConversionState& state, int kind, int64_t rows) {
  switch (kind) {
    case 0:
      makeRoom(state.workAccounts, rows);
      break;
    case 1:
      makeRoom(state.workAccountBalances, rows);
      break;
    case 2:
      makeRoom(state.workSubAccounts, rows);
      break;
    case 3:
      makeRoom(state.workSubAccountBalances, rows);
      break;
    case 4:
      makeRoom(state.workDepartments, rows);
      break;
  }
}

void clearTarget(ConversionState& state, int kind) {
  switch (kind) {
    case 0:
      state.workAccounts.clear();
      break;
    case 1:
      state.workAccountBalances.clear();
      break;
    case 2:
      state.workSubAccounts.clear();
      break;
    case 3:
      state.workSubAccountBalances.clear();
      break;
    case 4:
      state.workDepartments.clear();
      state.departmentTotalName.clear();
      break;
  }
}

// Steps after reading the file.
StepResult importRows(ConversionState& state, Platform& platform, const std::string& path, int kind,
                      const std::string& text) {
  const ReportKindInfo& info = kKinds[kind];
  int64_t lineNo = 0;
  std::vector<int64_t> entryLines;  // file line of every appended entry
  try {
    CrLfLineReader lines(text, &platform);
    std::string_view line;
    int64_t fileLine = 0;
    Fields fields;  // reused for every line
    std::string scratch;
    bool more = lines.next(line, fileLine);  // a text always has a first part, maybe empty
    cutQuotedFields(line, fields, scratch);
    if (auto reason = titleMismatch(fields, kind)) {
      return StepResult::failure({path, 1, *reason});
    }

    clearTarget(state, kind);
    // Every entry takes a line of its own, so the line count bounds the entries.
    makeRoomForRows(state, kind, std::count(text.begin(), text.end(), '\n') + 1);
    for (; more; more = lines.next(line, fileLine)) {
      if (line.empty()) continue;
      cutQuotedFields(line, fields, scratch);
      const bool taken = fields[0] == kDetailRow || (info.takesTotals && fields[0] == kTotalRow);
      if (!taken) continue;
      lineNo = fileLine;
      if (static_cast<int>(fields.size()) < info.storedColumns)
        throw StepError("列が足りません（" + std::to_string(info.storedColumns) +
                        "列以上必要です）");
      appendRow(state, kind, fields);
      entryLines.push_back(lineNo);
    }
    lineNo = 0;
    if (entryLines.empty()) {
      const std::string why = unusableTextReason(path);
      return StepResult::failure({path, 0, why.empty() ? "[明細行]の行がありません" : why});
    }

    if (kind == 1) {
      linkAccountOpeningBalances(state);
      markSharedDepartment(state, state.workAccountBalances);
    } else if (kind == 3) {
      linkSubAccountOpeningBalances(state);
      markSharedDepartment(state, state.workSubAccountBalances);
    }
  } catch (const CapacityError&) {
    return StepResult::failure({path, lineNo, info.tooMany});
  } catch (const std::exception& e) {
    return StepResult::failure({path, lineNo, exceptionReason(e)});
  }

  try {
    runClassification(state, static_cast<ReportKind>(kind));
  } catch (const ClassificationError& e) {
    int64_t line = 0;
    if (e.tableKind == static_cast<ReportKind>(kind) && e.entry >= 0 &&
        static_cast<size_t>(e.entry) < entryLines.size())
      line = entryLines[static_cast<size_t>(e.entry)];
    return StepResult::failure({path, line, exceptionReason(e)});
  } catch (const CapacityError&) {
    return StepResult::failure({path, 0, "一覧に入りきりません（2001件まで）"});
  } catch (const std::exception& e) {
    return StepResult::failure({path, 0, exceptionReason(e)});
  }
  return StepResult::success();
}

}  // namespace

StepResult importReport(ConversionState& state, Platform& platform, const std::string& path,
                        ReportKind kind) {
  const int k = kindNumber(kind);
  if (k < 0) {
    return StepResult::failure(
        {path, 0, "帳票の種類「" + std::to_string(static_cast<int>(kind)) + "」は読み込めません"});
  }
  const auto text = readWholeTextFile(path);
  if (!text) {
    return StepResult::failure({path, 0, unreadableFileReason(path)});
  }
  // No text at all (UTF-16, binary) is said so rather than blamed on a stray quote.
  if (text->find('\0') != std::string::npos) {
    return StepResult::failure({path, 0, unusableTextReason(path)});
  }
  if (const auto opened = openQuoteLine(*text)) {
    return StepResult::failure({path, *opened, "引用符（\"）が閉じていません"});
  }

  platform.progressShow();
  platform.progressSetCaption(kKinds[k].caption);
  platform.progressSetValue(0);
  StepResult result = StepResult::success();
  try {
    result = importRows(state, platform, path, k, *text);
  } catch (const std::exception& e) {
    result = StepResult::failure(path, 0, exceptionReason(e));
  }
  platform.progressHide();
  return result;
}

}  // namespace ledra
