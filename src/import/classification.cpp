#include "import/classification.hpp"

#include <array>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/numbers.hpp"
#include "base/text.hpp"
#include "base/text_index.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kNoSubAccount = "指定なし";
constexpr std::string_view kSharedSuffix = "(共通)";

constexpr TextIndex::Keep kFirst = TextIndex::Keep::First;

bool isBlueReturn(const ConversionState& state) {
  return state.sourcePackage == SourcePackage::BlueReturn;
}

// Columns 2-7 hold the account's group headings in brackets, then its own name.
std::optional<std::string> sourceNameOf(const WorkAccount& a) {
  std::string joined = a.col(2);
  for (int c = 3; c <= 7; ++c) joined += " " + a.col(c);
  const auto words = splitPlain(joined, " ");
  for (size_t w = 0; w < 6 && w < words.size(); ++w) {
    if (words[w].empty()) return std::nullopt;
    if (!endsWith(words[w], "]")) return words[w];
  }
  return std::nullopt;
}

void classifyAccounts(ConversionState& state) {
  // A new account list replaces every earlier mapping, so nothing is taken any more; without
  // this a second 読込 after a failed one would match nothing.
  for (StandardAccount& s : state.standardAccounts) s.taken = false;
  for (StandardAccountCandidate& c : state.standardAccountCandidates) c.taken = false;
  // Heading rows of the master (no code) are no mapping target: an account mapped to one
  // would count as matched with nothing to write.
  struct Queue {
    std::vector<int32_t> entries;
    size_t next = 0;
  };
  std::unordered_map<std::string, Queue> byName;
  for (int32_t i = 0; i < state.standardAccounts.count(); ++i) {
    const StandardAccount& s = state.standardAccounts[i];
    if (s.ledraCode.empty()) continue;
    byName[removeBlanks(s.ledraName)].entries.push_back(i);
  }

  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    WorkAccount& a = state.workAccounts[i];
    a.notAutoMatched = true;
    a.sourceCode = a.listedCode();
    a.subAccountGroupCode = "00";
    a.matched = false;
    a.selected = true;
    a.valid = true;
    auto name = sourceNameOf(a);
    if (!name)
      throw ClassificationError("2～7列目から科目名を読み取れません", ReportKind::AccountList, i);
    a.sourceName = std::move(*name);

    auto it = byName.find(a.sourceName);
    if (it == byName.end()) continue;
    Queue& q = it->second;
    while (q.next < q.entries.size() && state.standardAccounts[q.entries[q.next]].taken) ++q.next;
    if (q.next == q.entries.size()) continue;
    StandardAccount& s = state.standardAccounts[q.entries[q.next++]];
    a.ledraCode = s.ledraCode;
    a.ledraName = s.ledraName;
    a.matched = true;
    a.notAutoMatched = false;
    s.taken = true;
  }
}

void classifyAccountBalances(ConversionState& state) {
  const bool blue = isBlueReturn(state);
  const TextIndex accountByName =
      indexBy(state.workAccounts, kFirst,
              [](const WorkAccount& a) -> std::string_view { return a.sourceName; });
  const TextIndex accountByCode =
      indexBy(state.workAccounts, kFirst,
              [](const WorkAccount& a) -> std::string_view { return a.sourceCode; });
  const TextIndex departmentByMatchName =
      indexBy(state.workDepartments, kFirst,
              [](const WorkDepartment& d) -> std::string_view { return d.matchName; });

  for (WorkAccountBalance& row : state.workAccountBalances) {
    row.processed = false;
    row.subAccountGroupCode = "00";
    auto found =
        blue ? accountByCode.find(row.accountSourceCode) : accountByName.find(row.accountName());
    if (found) {
      const WorkAccount& a = state.workAccounts[*found];
      if (!blue) row.accountSourceCode = a.sourceCode;
      row.accountSourceName = a.sourceName;
      row.linkAmount = row.amount1;
      row.accountHasSubAccounts = a.hasSubAccounts;
      row.subAccountGroupNo = a.subAccountGroupNo;
      row.subAccountGroupCode = a.subAccountGroupCode;
      row.accountNotAutoMatched = a.notAutoMatched;
      row.processed = true;
    }
    if (auto d = departmentByMatchName.find(row.department()))
      row.departmentCode = state.workDepartments[*d].departmentCode;
  }

  state.profitAndLossView.clear();
  state.balanceSheetView.clear();
  state.allView.clear();
  const TextIndex rowByCode =
      indexBy(state.workAccountBalances, kFirst,
              [](const WorkAccountBalance& r) -> std::string_view { return r.accountSourceCode; });
  for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
    WorkAccount& a = state.workAccounts[i];
    if (auto r = rowByCode.find(a.sourceCode)) {
      const std::string& section = state.workAccountBalances[*r].statementSection();
      if (section == "[損益計算書]" || section == "[製造原価報告書]") {
        a.section = "PL";
        state.profitAndLossView.append(i);
      } else if (section == "[貸借対照表]") {
        a.section = "BS";
        state.balanceSheetView.append(i);
      }
    }
    state.allView.append(i);
  }

  // With departments, the balance shown is the one of the company as a whole.
  const bool oneDepartment = state.workDepartments.count() == 1;
  TextIndex totalRowByCode(0, kFirst);
  if (!oneDepartment) {
    for (int32_t i = 0; i < state.workAccountBalances.count(); ++i) {
      const WorkAccountBalance& r = state.workAccountBalances[i];
      if (r.department() == state.departmentTotalName)
        totalRowByCode.put(r.accountSourceCode, r.department(), i);
    }
  }
  for (WorkAccount& a : state.workAccounts) {
    auto r = oneDepartment ? rowByCode.find(a.sourceCode)
                           : totalRowByCode.find(a.sourceCode, state.departmentTotalName);
    if (r) a.displayBalance = state.workAccountBalances[*r].amount1;
  }
}

void classifySubAccounts(ConversionState& state) {
  for (WorkSubAccount& s : state.workSubAccounts) {
    s.newSubCode = s.listedCode();
    s.subAccountName = s.listedName();
    s.linkedToAccount = false;
  }
  for (WorkSubAccountBalance& row : state.workSubAccountBalances) row.linkedToAccount = false;

  // Group 1 stands for every sub-account in the panel's parent choices; the parents are
  // numbered from 2.
  int32_t groupCounter = 2;

  const TextMultiIndex subsByParent(
      state.workSubAccounts,
      [](const WorkSubAccount& s) -> std::string_view { return s.parentName(); });
  const TextMultiIndex balanceRowsByName(
      state.workAccountBalances,
      [](const WorkAccountBalance& r) -> std::string_view { return r.accountSourceName; });
  const TextMultiIndex subBalanceRowsByAccount(
      state.workSubAccountBalances,
      [](const WorkSubAccountBalance& r) -> std::string_view { return r.parentName(); });
  const TextIndex departmentByMatchName =
      indexBy(state.workDepartments, kFirst,
              [](const WorkDepartment& d) -> std::string_view { return d.matchName; });

  // Every account of a name overwrites the same rows, so only the last one processed leaves
  // its values there; the rows are written once per name instead of once per account.
  std::unordered_map<std::string_view, int32_t> lastAccountOfName;
  auto linkRows = [&] {
    for (const auto& [name, accountIndex] : lastAccountOfName) {
      const WorkAccount& a = state.workAccounts[accountIndex];
      for (int32_t r : balanceRowsByName.entriesOf(name)) {
        WorkAccountBalance& row = state.workAccountBalances[r];
        row.accountHasSubAccounts = true;
        row.subAccountGroupNo = a.subAccountGroupNo;
        row.subAccountGroupCode = a.subAccountGroupCode;
      }
      for (int32_t s : subsByParent.entriesOf(name)) {
        WorkSubAccount& sub = state.workSubAccounts[s];
        sub.subAccountGroupNo = a.subAccountGroupNo;
        sub.subAccountGroupCode = a.subAccountGroupCode;
        sub.linkedToAccount = true;
      }
      for (int32_t r : subBalanceRowsByAccount.entriesOf(name)) {
        WorkSubAccountBalance& row = state.workSubAccountBalances[r];
        row.subAccountGroupNo = a.subAccountGroupNo;
        row.subAccountGroupCode = a.subAccountGroupCode;
        row.linkedToAccount = true;
        if (auto d = departmentByMatchName.find(row.department()))
          row.departmentCode = state.workDepartments[*d].departmentCode;
      }
    }
  };

  try {
    for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
      WorkAccount& a = state.workAccounts[i];
      a.hasSubAccounts = false;
      a.subAccountGroupNo = 0;
      a.subAccountGroupCode = "00";
      if (subsByParent.entriesOf(a.sourceName).empty()) continue;
      auto code = subAccountGroupCode(groupCounter);
      if (!code)
        throw ClassificationError("勘定科目「" + a.sourceName +
                                  "」: 補助科目のある勘定科目が多すぎます（358件まで）");
      a.hasSubAccounts = true;
      a.subAccountGroupNo = groupCounter;
      a.subAccountGroupCode = *code;
      lastAccountOfName[a.sourceName] = i;
      ++groupCounter;
    }
  } catch (...) {
    linkRows();
    throw;
  }
  linkRows();

  const TextIndex firstSubOfParent =
      indexBy(state.workSubAccounts, kFirst,
              [](const WorkSubAccount& s) -> std::string_view { return s.parentName(); });
  const TextIndex firstSubOfParentAndName =
      indexBy(state.workSubAccounts, kFirst, [](const WorkSubAccount& s) {
        return std::pair<std::string_view, std::string_view>{s.parentName(), s.subAccountName};
      });
  for (WorkSubAccountBalance& row : state.workSubAccountBalances) {
    const bool unnamed = row.listedName() == kNoSubAccount;
    auto found = unnamed ? firstSubOfParent.find(row.parentName())
                         : firstSubOfParentAndName.find(row.parentName(), row.listedName());
    if (!found) continue;
    WorkSubAccount& sub = state.workSubAccounts[*found];
    if (unnamed) {
      row.newSubCode = "999";
      row.subAccountName = kNoSubAccount;
    } else {
      row.newSubCode = sub.newSubCode;
      row.subAccountName = sub.subAccountName;
    }
    row.subAccountGroupNo = sub.subAccountGroupNo;
    row.subAccountGroupCode = sub.subAccountGroupCode;
    row.linkedToAccount = true;
    sub.openingBalance = row.amount1;
    sub.ownRow = *found;
  }

  if (isBlueReturn(state)) {
    // The Blue Return A import builds accounts and their balance rows in the same order.
    for (int32_t i = 0; i < state.workAccountBalances.count(); ++i) {
      WorkAccountBalance& row = state.workAccountBalances[i];
      if (!row.accountHasSubAccounts) continue;
      int64_t sum = 0;
      for (int32_t r : subBalanceRowsByAccount.entriesOf(row.accountSourceName))
        sum += state.workSubAccountBalances[r].amount1;
      if (!fitsInt32(sum))
        throw ClassificationError("勘定科目「" + row.accountSourceName +
                                  "」: 補助科目の残高の合計が大きすぎます");
      row.amount1 = static_cast<int32_t>(sum);
      state.workAccounts[i].displayBalance = row.amount1;
    }
  }
}

void classifyDepartments(ConversionState& state) {
  std::array<std::string, 5> previous;  // columns 3-7 of the row before
  // The running level numbers start at 0: a second-level row that follows no row of its own
  // level (A,x then A,x,y) carries level-2 code 0.
  std::string level1 = "0";
  std::string level2 = "0";
  for (int32_t i = 0; i < state.workDepartments.count(); ++i) {
    WorkDepartment& d = state.workDepartments[i];
    const std::string j = std::to_string(i + 1);
    auto at = [&](int col) -> const std::string& { return d.col(col); };
    auto setCodes = [&](std::string l1, std::string l2, std::string l3) {
      d.departmentCode = j;
      d.level1Code = std::move(l1);
      d.level2Code = std::move(l2);
      d.level3Code = std::move(l3);
    };
    if (at(3).empty()) {
      d.matchName = at(2) + std::string(kSharedSuffix);
      setCodes(j, "", "");
    } else if (at(3) != previous[0]) {
      d.matchName = at(3);
      setCodes(j, "", "");
      level1 = j;
    } else if (at(4).empty()) {
      d.matchName = at(3) + std::string(kSharedSuffix);
      setCodes(level1, j, "");
      level2 = j;
    } else if (at(4) != previous[1]) {
      d.matchName = at(4);
      setCodes(level1, j, "");
      level2 = j;
    } else {
      for (int col = 5; col <= 7; ++col) {
        if (at(col).empty()) {
          d.matchName = at(col - 1) + std::string(kSharedSuffix);
        } else if (at(col) != previous[col - 3]) {
          d.matchName = at(col);
        } else {
          continue;
        }
        setCodes(level1, level2, j);
        break;
      }
    }
    for (int col = 3; col <= 7; ++col) previous[col - 3] = at(col);
  }

  for (WorkDepartment& d : state.workDepartments) {
    d.parentDepartmentName.clear();
    if (d.col(3).empty()) continue;
    for (int col = 7; col >= 4; --col) {
      if (!d.col(col).empty()) {
        d.parentDepartmentName = d.col(col - 1);
        break;
      }
    }
  }
}

}  // namespace

void runClassification(ConversionState& state, ReportKind kind) {
  switch (kind) {
    case ReportKind::AccountList:
      classifyAccounts(state);
      break;
    case ReportKind::TrialBalance:
      classifyAccountBalances(state);
      break;
    case ReportKind::SubAccountBalances:
      classifySubAccounts(state);
      break;
    case ReportKind::DepartmentList:
      classifyDepartments(state);
      break;
    default:
      break;
  }
}

StepResult classifyImport(ConversionState& state, Platform& /*platform*/, ReportKind kind) {
  try {
    runClassification(state, kind);
    return StepResult::success();
  } catch (const CapacityError&) {
    return StepResult::failure("", 0, "一覧に入りきりません（2001件まで）");
  } catch (const ClassificationError& e) {
    std::string reason = e.what();
    if (e.entry >= 0 && e.tableKind == ReportKind::AccountList)
      reason = "勘定科目の" + std::to_string(e.entry + 1) + "件目: " + reason;
    return StepResult::failure("", 0, reason);
  } catch (const std::exception& e) {
    return StepResult::failure("", 0, exceptionReason(e));
  }
}

}  // namespace ledra
