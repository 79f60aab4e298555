#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "state/package_profile.hpp"
#include "state/step_result.hpp"
#include "state/table.hpp"

namespace ledra {

inline constexpr int32_t kAccountCapacity = 2001;
inline constexpr int32_t kBalanceCapacity = 5001;
inline constexpr int32_t kDepartmentCapacity = 101;
inline constexpr int32_t kJournalCapacity = 30001;

struct StandardAccount {
  std::string reserved1;
  std::string reserved2;
  std::string ledraCode;
  std::string ledraName;
  std::string masterValue5;  // the master's fifth column, kept and saved, read by nothing
  bool taken = false;
  bool operator==(const StandardAccount&) const = default;
};

struct StandardAccountCandidate {
  std::string ledraCode;
  std::string ledraName;
  bool taken = false;
  bool operator==(const StandardAccountCandidate&) const = default;
};

// A row of the picker's list: a standard account and whether an account already has its code.
using PickerEntry = StandardAccountCandidate;

struct WorkAccount {
  Columns<18> columns;
  std::string sourceCode;
  std::string sourceName;
  std::string ledraCode;
  std::string ledraName;
  int32_t openingBalance = 0;
  bool hasSubAccounts = false;
  int32_t subAccountGroupNo = 0;
  std::string subAccountGroupCode = "00";
  bool notAutoMatched = false;
  bool matched = false;
  int32_t displayBalance = 0;
  bool selected = false;
  bool valid = false;
  bool inUse = false;
  std::string section;
  bool operator==(const WorkAccount&) const = default;

  std::string& col(int n) { return columns.col(n); }
  const std::string& col(int n) const { return columns.col(n); }
  // The columns read by name; the others are written back as they were read.
  const std::string& listedCode() const { return col(10); }  // 弥生会計's account code
};

struct WorkAccountBalance {
  Columns<6> columns;
  // The report's four amounts, as the trial balance orders them: the opening balance, the
  // period's debits, its credits, the closing balance.
  int32_t amount1 = 0;
  int32_t amount2 = 0;
  int32_t amount3 = 0;
  int32_t amount4 = 0;
  float ratio = 0;
  // The account the row belongs to; its mapping is found through AccountLinks.
  std::string accountSourceCode;
  std::string accountSourceName;
  int32_t linkAmount = 0;
  bool accountHasSubAccounts = false;
  int32_t subAccountGroupNo = 0;
  std::string subAccountGroupCode = "00";
  bool accountNotAutoMatched = false;
  bool processed = false;
  std::string departmentCode;
  bool operator==(const WorkAccountBalance&) const = default;

  std::string& col(int n) { return columns.col(n); }
  const std::string& col(int n) const { return columns.col(n); }
  // The columns read by name; the others are written back as they were read.
  std::string& department() { return col(2); }
  const std::string& department() const { return col(2); }
  const std::string& statementSection() const { return col(4); }  // [貸借対照表], [損益計算書], ...
  const std::string& accountName() const { return col(5); }
};

struct WorkSubAccount {
  Columns<11> columns;
  std::string newSubCode;
  std::string subAccountName;
  int32_t subAccountGroupNo = 0;
  std::string subAccountGroupCode;  // the parent's mapping is found through AccountLinks
  int32_t openingBalance = 0;
  int32_t ownRow = 0;
  bool linkedToAccount = false;
  bool operator==(const WorkSubAccount&) const = default;

  std::string& col(int n) { return columns.col(n); }
  const std::string& col(int n) const { return columns.col(n); }
  // The columns read by name; the others are written back as they were read.
  const std::string& parentName() const { return col(2); }  // the parent account's name
  const std::string& listedName() const { return col(3); }
  const std::string& listedCode() const { return col(6); }
};

struct WorkSubAccountBalance {
  Columns<6> columns;
  // The report's four amounts, as the trial balance orders them: the opening balance, the
  // period's debits, its credits, the closing balance.
  int32_t amount1 = 0;
  int32_t amount2 = 0;
  int32_t amount3 = 0;
  int32_t amount4 = 0;
  float ratio = 0;
  std::string newSubCode;
  std::string subAccountName;
  int32_t subAccountGroupNo = 0;
  std::string subAccountGroupCode;  // the parent's mapping is found through AccountLinks
  int32_t unusedLong1 = 0;          // nothing sets these; kept in the work-state file
  int32_t unusedLong2 = 0;
  bool linkedToAccount = false;
  std::string departmentCode;
  bool operator==(const WorkSubAccountBalance&) const = default;

  std::string& col(int n) { return columns.col(n); }
  const std::string& col(int n) const { return columns.col(n); }
  // The columns read by name; the others are written back as they were read.
  std::string& department() { return col(2); }
  const std::string& department() const { return col(2); }
  const std::string& parentName() const { return col(5); }  // the parent account's name
  const std::string& listedName() const { return col(6); }  // "指定なし" for none
};

struct WorkDepartment {
  Columns<12> columns;
  std::string joinedName;  // columns 5, 6 and 7 joined
  std::string level1Code;
  std::string level2Code;
  std::string level3Code;
  std::string departmentCode;
  std::string matchName;
  std::string unusedText;  // nothing sets it; kept in the work-state file
  std::string parentDepartmentName;
  bool operator==(const WorkDepartment&) const = default;

  std::string& col(int n) { return columns.col(n); }
  const std::string& col(int n) const { return columns.col(n); }
  // The columns read by name; 3 to 7 are the levels below the company, read by position.
  const std::string& companyName() const { return col(2); }
  const std::string& displayName() const { return col(8); }
};

struct JournalRow {
  int32_t sequence = 0;
  Date entryDate;
  int32_t voucherNumber = 0;
  bool operator==(const JournalRow&) const = default;
};

using AccountView = Table<int32_t, kAccountCapacity>;

// The wizard's screen. The work-state file keeps it as the word the package's own program
// used ("初期状態" .. "ファイル出力中").
enum class Screen {
  Initial,       // the main form loading, nothing chosen yet
  Starting,      // the master chosen, defaults being written
  Welcome,       // the welcome screen
  FileSettings,  // the file-settings screen
  Mapping,       // the mapping and output screen
};

// What the work-state file holds: the imported tables, their mappings and the settings.
struct ConversionData {
  Table<StandardAccount, kAccountCapacity> standardAccounts;
  Table<WorkAccount, kAccountCapacity> workAccounts;
  Table<WorkAccountBalance, kBalanceCapacity> workAccountBalances;
  Table<WorkSubAccount, kBalanceCapacity> workSubAccounts;
  Table<WorkSubAccountBalance, kBalanceCapacity> workSubAccountBalances;
  Table<WorkDepartment, kDepartmentCapacity> workDepartments;
  Table<JournalRow, kJournalCapacity> journalRows;
  AccountView profitAndLossView;
  AccountView balanceSheetView;
  AccountView allView;

  SourcePackage sourcePackage = SourcePackage::None;
  Screen screenState = Screen::Initial;
  std::string ledraUserCode;
  std::string ledraUserName;
  std::string departmentTotalName;
  std::string baseFolder;
  SourceFiles sourceFiles;
  std::string outputFolder;
  std::string ledraAccountFile;
  std::string workStateFile;
  bool consumptionTaxOn = false;
  bool simplifiedTaxation = false;
  int32_t fiscalYear = 0;
  std::string blueReturnFolder;
  std::string blueReturnDataFolder;
  std::array<int32_t, 6> journalPeriod{};  // start y, m, d; end y, m, d

  std::string& sourceFile(SourceFile f) { return sourceFiles[f]; }
  const std::string& sourceFile(SourceFile f) const { return sourceFiles[f]; }
};

// Lists worked out from the saved data; rebuildDerivedLists makes them anew. What a screen
// lists (the sub-account panel's entries and parent choices) belongs to its presenter.
struct DerivedLists {
  Table<StandardAccountCandidate, kAccountCapacity> standardAccountCandidates;
};

// What one run keeps beside the data and never saves.
struct RunContext {
  // The location tag of the procedure that failed last; what went wrong travels in its result.
  std::string lastErrorLocation;

  // Every journal line the journal writer left out because its slip names an invalidated or
  // unlinked account, in file order, with the journal file line and why; the end of the run
  // names the first few.
  struct DroppedJournalLine {
    int64_t line = 0;
    std::string reason;
    bool operator==(const DroppedJournalLine&) const = default;
  };
  std::vector<DroppedJournalLine> droppedJournalLines;
};

// The whole in-memory state of one conversion: one object, passed by reference, made of its
// saved data, the lists derived from it and the run's context.
// A function that needs only one part takes that part (the work-state format takes
// ConversionData), and the state converts to it.
struct ConversionState : ConversionData, DerivedLists, RunContext {};

// Two-character group code: symbol n / 10 of 0-9A-Z, then digit n % 10 (105 -> "A5").
// Numbers of 360 or more (and negative ones) have no code.
std::optional<std::string> subAccountGroupCode(int32_t n);

}  // namespace ledra
