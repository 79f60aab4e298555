#include "wizard/step_flow.hpp"

#include <string_view>
#include <unordered_map>

#include "base/text.hpp"
#include "import/journal_import.hpp"
#include "import/report_import.hpp"
#include "output/account_file.hpp"
#include "output/archive.hpp"
#include "output/balance_file.hpp"
#include "output/department_file.hpp"
#include "output/invalidation_list.hpp"
#include "output/journal_file.hpp"
#include "output/sub_account_file.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr const char* kErrorTitle = "エラー";

ImportStepFunction& blueReturnStep() {
  static ImportStepFunction step;
  return step;
}

void reportMissing(Platform& platform, const std::string& path) {
  platform.message(path + "が存在しません。");
}

std::string withDetail(const std::string& first, const ConversionState& state) {
  const std::string detail = state.lastErrorDetail.describe();
  return detail.empty() ? first : first + "\r\n" + detail;
}

// The progress dialog is closed after every import and output run, however the run ends.
class ProgressCloser {
 public:
  explicit ProgressCloser(Platform& platform) : platform_(platform) {}
  ~ProgressCloser() { platform_.progressHide(); }
  ProgressCloser(const ProgressCloser&) = delete;
  ProgressCloser& operator=(const ProgressCloser&) = delete;

 private:
  Platform& platform_;
};

// The journal text the output run's import keeps for the journal writer is dropped when the
// run ends, however it ends, so that a later run reads the file afresh.
class HeldJournalTextRelease {
 public:
  explicit HeldJournalTextRelease(ConversionState& state) : state_(state) {}
  ~HeldJournalTextRelease() { state_.heldJournalText = {}; }
  HeldJournalTextRelease(const HeldJournalTextRelease&) = delete;
  HeldJournalTextRelease& operator=(const HeldJournalTextRelease&) = delete;

 private:
  ConversionState& state_;
};

}  // namespace

BusyGuard::BusyGuard(Platform& platform) : platform_(platform) { platform_.setBusy(true); }
BusyGuard::~BusyGuard() { platform_.setBusy(false); }

std::string importFailureMessage(const ConversionState& state, const std::string& label) {
  return withDetail(label + "取込に失敗しました。", state);
}

bool runYayoiImportStep(ConversionState& state, Platform& platform) {
  BusyGuard busy(platform);
  ProgressCloser progress(platform);
  struct Report {
    SourceFile file;
    ReportKind kind;
    const char* label;
    bool optional;
  };
  static constexpr Report kReports[] = {
      {SourceFile::DepartmentList, ReportKind::DepartmentList, "部門一覧", false},
      {SourceFile::AccountList, ReportKind::AccountList, "勘定科目", false},
      {SourceFile::TrialBalance, ReportKind::TrialBalance, "科目残高", false},
      {SourceFile::SubAccountList, ReportKind::SubAccountList, "補助科目", true},
      {SourceFile::SubAccountBalances, ReportKind::SubAccountBalances, "補助残高", true},
  };
  for (const Report& r : kReports) {
    const std::string& path = state.sourceFile(r.file);
    if (r.optional && path.empty()) continue;
    if (!platform.fileExists(path)) {
      reportMissing(platform, path);
      return false;
    }
    state.lastErrorDetail.clear();
    if (!importReport(state, platform, path, r.kind)) {
      platform.message(importFailureMessage(state, r.label), kErrorTitle);
      return false;
    }
  }
  const std::string& journal = state.sourceFiles[5];
  if (!platform.fileExists(journal)) {
    reportMissing(platform, journal);
    return false;
  }
  state.lastErrorDetail.clear();
  if (!importJournal(state, platform, journal)) {
    platform.message(importFailureMessage(state, "仕訳データ"), kErrorTitle);
    return false;
  }
  if (!platform.folderExists(state.outputFolder)) {
    reportMissing(platform, state.outputFolder);
    return false;
  }
  return true;
}

void setBlueReturnImportStep(ImportStepFunction step) { blueReturnStep() = std::move(step); }

bool runImportStep(ConversionState& state, Platform& platform) {
  if (state.sourcePackage == SourcePackage::BlueReturn) {
    if (!blueReturnStep()) {
      platform.message("基本データの取込に失敗しました。", kErrorTitle);
      return false;
    }
    BusyGuard busy(platform);
    ProgressCloser progress(platform);
    return blueReturnStep()(state, platform);
  }
  return runYayoiImportStep(state, platform);
}

StepOutcome runOutputStep(ConversionState& state, Platform& platform, bool askConfirmation) {
  if (askConfirmation &&
      platform.message("出力処理を行います。宜しいですか？", "注意", MsgButtons::OkCancel,
                       MsgIcon::Question) != MsgResult::Ok) {
    return StepOutcome::Cancelled;
  }
  BusyGuard busy(platform);
  ProgressCloser progress(platform);
  state.lastErrorDetail.clear();
  HeldJournalTextRelease release(state);
  if (!importJournal(state, platform, state.sourceFiles[5], /*keepText=*/true)) {
    platform.message(importFailureMessage(state, "仕訳データ"), kErrorTitle);
    return StepOutcome::Failed;
  }
  struct Writer {
    const char* fileName;
    bool (*write)(ConversionState&, Platform&);
  };
  static constexpr Writer kWriters[] = {
      {"kanjyo.csv", writeAccountFile},       {"hojokamoku.csv", writeSubAccountFile},
      {"busho.csv", writeDepartmentFile},     {"zandaka.csv", writeBalanceFile},
      {"shiwake.csv", writeJournalFile},      {"無効化一覧.txt", writeInvalidationList},
      {"pressdata.zip", packArchive},
  };
  state.droppedJournalLines = 0;
  for (const Writer& w : kWriters) {
    state.lastErrorDetail.clear();
    if (!w.write(state, platform)) {
      platform.message(withDetail(std::string(w.fileName) + "出力に失敗しました。", state),
                       kErrorTitle);
      return StepOutcome::Failed;
    }
  }
  // On success the dialog closes before the closing message; a failure is shown over it.
  platform.progressHide();
  std::string done = "変換を正常に終了しました。";
  if (state.droppedJournalLines > 0) {
    done += "\r\n無効化または未設定の勘定科目を含む伝票の仕訳" +
            std::to_string(state.droppedJournalLines) + "行は出力されていません。" + droppedJournalLinesDetail(state);
  }
  platform.message(done, "終了");
  return StepOutcome::Done;
}

std::vector<bool> subAccountCodesUnique(const ConversionState& state) {
  const auto& subs = state.workSubAccounts;
  const int32_t n = subs.count();
  std::vector<bool> unique(static_cast<size_t>(n), true);
  // Rows are compared only within runs of consecutive rows under the same parent code: every
  // row that shares its code with another row of its run clashes. An empty parent code marks
  // a row, except the last row of the table, which is only ever the later row of a pair.
  std::unordered_map<std::string_view, int32_t> counts;  // reused: runs are short and many
  int32_t runStart = 0;
  while (runStart < n) {
    const std::string& parent = subs[runStart].parentLedraCode;
    int32_t runEnd = runStart + 1;
    while (runEnd < n && subs[runEnd].parentLedraCode == parent) ++runEnd;
    if (parent.empty()) {
      for (int32_t i = runStart; i < runEnd; ++i)
        if (i < n - 1) unique[static_cast<size_t>(i)] = false;
    } else if (runEnd - runStart > 1) {
      counts.clear();
      for (int32_t i = runStart; i < runEnd; ++i) ++counts[subs[i].newSubCode];
      for (int32_t i = runStart; i < runEnd; ++i)
        if (counts[subs[i].newSubCode] > 1) unique[static_cast<size_t>(i)] = false;
    }
    runStart = runEnd;
  }
  return unique;
}

void refreshCodeUnique(ConversionState& state) {
  const std::vector<bool> unique = subAccountCodesUnique(state);
  for (int32_t i = 0; i < state.workSubAccounts.count(); ++i)
    state.workSubAccounts[i].codeUnique = unique[static_cast<size_t>(i)];
}

bool mappingComplete(const ConversionState& state) {
  for (const auto& a : state.workAccounts)
    if (!a.matched) return false;
  for (bool unique : subAccountCodesUnique(state))
    if (!unique) return false;
  return true;
}

bool evaluateNextButton(const ConversionState& state) {
  if (state.screenState == kScreenFileSettings) {
    if (state.sourcePackage == SourcePackage::Yayoi) {
      for (int i : {0, 1, 4, 5})
        if (state.sourceFiles[i].empty()) return false;
      return !state.outputFolder.empty() && !state.ledraAccountFile.empty();
    }
    if (state.sourcePackage == SourcePackage::BlueReturn)
      return !state.sourceFiles[6].empty() && !state.sourceFiles[7].empty() &&
             !state.outputFolder.empty();
    return true;
  }
  if (state.screenState == kScreenMapping) return mappingComplete(state);
  return true;
}

}  // namespace ledra
