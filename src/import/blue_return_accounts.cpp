#include "import/blue_return_accounts.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/numbers.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "import/report_import.hpp"
#include "platform/platform.hpp"
#include "platform/text_file.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kDetailRow = "[明細行]";
constexpr std::string_view kShared = "(共通)";
constexpr std::string_view kDebitSide = "借";
constexpr size_t kHeadingLines = 3;
constexpr size_t kNeededColumns = 18;  // the side and both opening amounts
constexpr double kFirstProfitAndLossCode = 400;

using Fields = std::vector<std::string_view>;

const std::string_view& col(const Fields& f, size_t n) { return f[n - 1]; }

// The opening amount of a line: column 17 for a debit-side item, column 18 for any other.
int32_t openingAmount(const Fields& f) {
  const std::string_view text = col(f, 14) == kDebitSide ? col(f, 17) : col(f, 18);
  const auto value = toInt32Rounded(leadingNumber(text));
  if (!value) throw StepError("期首残高「" + std::string(text) + "」が大きすぎます");
  return *value;
}

void addDepartment(ConversionState& state) {
  WorkDepartment& d = state.workDepartments.append();
  d.col(1) = kDetailRow;
  d.col(2) = kBlueDepartment;
  d.col(8) = kBlueDepartment;
  d.joinedName = std::string(kBlueDepartment) + std::string(kShared);
  state.departmentTotalName = std::string(kBlueDepartment) + "(合計)";
}

void addAccount(ConversionState& state, const Fields& f, const std::string& sharedDepartment) {
  const std::string_view code = col(f, 1);
  const auto number = parseStrictNumber(code);
  if (!number) throw StepError("勘定科目コード「" + std::string(code) + "」が数値ではありません");
  const int32_t amount = openingAmount(f);

  WorkAccount& a = state.workAccounts.append();
  a.col(1) = kDetailRow;
  a.col(2) = col(f, 3);
  a.col(10) = code;
  a.col(11) = col(f, 14);
  a.sourceCode = code;

  WorkAccountBalance& row = state.workAccountBalances.append();
  row.col(1) = kDetailRow;
  row.col(2) = sharedDepartment;
  row.col(4) = *number >= kFirstProfitAndLossCode ? "[損益計算書]" : "[貸借対照表]";
  row.col(5) = col(f, 3);
  row.amount1 = amount;
  row.accountSourceCode = code;
}

void addSubAccount(ConversionState& state, const Fields& f, const std::string& accountName,
                   const std::string& sharedDepartment) {
  const int32_t amount = openingAmount(f);
  WorkSubAccount& s = state.workSubAccounts.append();
  s.col(1) = kDetailRow;
  s.col(2) = accountName;
  s.col(3) = col(f, 3);
  s.col(6) = col(f, 2);

  WorkSubAccountBalance& row = state.workSubAccountBalances.append();
  row.col(1) = kDetailRow;
  row.col(2) = sharedDepartment;
  row.col(5) = accountName;
  row.col(6) = col(f, 3);
  row.amount1 = amount;
}

std::string tooManyReason(const ConversionState& state) {
  if (state.workAccounts.count() >= kAccountCapacity) return "勘定科目が多すぎます（2001件まで）";
  return "補助科目が多すぎます（5001件まで）";
}

}  // namespace

StepResult importBlueAccounts(ConversionState& state, Platform& platform, const std::string& path) {
  const auto text = readWholeTextFile(path);
  if (!text) {
    return StepResult::failure({path, 0, "ファイルを読み込めません"});
  }
  // No text this program reads (empty, UTF-16, binary, UTF-8 without the mark) would give
  // no account or garbled names; a quote left open would swallow the lines after it.
  if (const std::string why = unusableTextReason(path); !why.empty()) {
    return StepResult::failure({path, 0, why});
  }
  if (const auto opened = openQuoteLine(*text)) {
    return StepResult::failure({path, *opened, "引用符（\"）が閉じていません"});
  }
  platform.progressShow();
  platform.progressSetCaption("基本データ取込中");
  platform.progressSetValue(0);

  state.workAccounts.clear();
  state.workAccountBalances.clear();
  state.workSubAccounts.clear();
  state.workSubAccountBalances.clear();
  state.workDepartments.clear();
  addDepartment(state);
  const std::string sharedDepartment = state.workDepartments[0].col(2) + std::string(kShared);

  int64_t fileLine = 0;
  StepResult result = StepResult::success();
  try {
    CrLfLineReader lines(*text, &platform);
    std::string_view line;
    Fields fields;
    std::string scratch;
    std::string accountName;
    bool haveAccount = false;
    for (size_t n = 1; lines.next(line, fileLine); ++n) {
      if (n <= kHeadingLines || line.empty()) continue;
      // A comma or a doubled quote inside a quoted name belongs to the name; cut anywhere
      // else, it would shift the side and the opening amounts of the line.
      if (!cutQuotedFields(line, fields, scratch)) throw StepError("引用符（\"）が閉じていません");
      if (fields.size() < 3) continue;
      const bool accountLine =
          charLength(col(fields, 1)) == 3 && col(fields, 2).empty() && !col(fields, 3).empty();
      const bool subAccountLine = !col(fields, 2).empty() && !col(fields, 3).empty();
      if (!accountLine && !subAccountLine) continue;
      // A sub-account before the first account belongs to no account and could never be given
      // a code; it is left out.
      if (subAccountLine && !haveAccount) continue;
      if (fields.size() < kNeededColumns)
        throw StepError("列が足りません（" + std::to_string(kNeededColumns) + "列以上必要です）");
      if (accountLine) {
        addAccount(state, fields, sharedDepartment);
        accountName.assign(col(fields, 3));
        haveAccount = true;
      } else {
        addSubAccount(state, fields, accountName, sharedDepartment);
      }
    }
    // Another file, or one of another encoding, holds no account line; nothing could be
    // converted from it.
    if (!haveAccount) {
      fileLine = 0;
      throw StepError("勘定科目の行がありません");
    }
  } catch (const CapacityError&) {
    result = StepResult::failure(path, fileLine, tooManyReason(state));
  } catch (const std::exception& e) {
    result = StepResult::failure(path, fileLine, exceptionReason(e));
  }
  platform.progressHide();
  return result;
}

}  // namespace ledra
