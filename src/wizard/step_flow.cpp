#include "wizard/step_flow.hpp"

#include <array>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/dates.hpp"
#include "base/text.hpp"
#include "import/blue_return_accounts.hpp"
#include "import/blue_return_journal.hpp"
#include "import/blue_return_settings.hpp"
#include "import/classification.hpp"
#include "import/journal_import.hpp"
#include "import/report_import.hpp"
#include "import/source_files.hpp"
#include "output/account_file.hpp"
#include "output/archive.hpp"
#include "output/balance_file.hpp"
#include "output/conversion_report.hpp"
#include "output/department_file.hpp"
#include "output/invalidation_list.hpp"
#include "output/journal_file.hpp"
#include "output/output_common.hpp"
#include "output/output_set.hpp"
#include "output/sub_account_file.hpp"
#include "platform/archiver.hpp"
#include "platform/file_io.hpp"
#include "platform/file_lock.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"

namespace ledra {

namespace {

constexpr const char* kErrorTitle = "エラー";
constexpr const char* kImportFailed = "取込に失敗しました。";

// A file or folder the step needs is not there: said, and the step fails.
StepResult reportMissing(Platform& platform, const std::string& path, bool folder = false) {
  platform.message(missingMessage(path, folder));
  const std::string why = wrongKindReason(path, folder);
  return StepResult::failure(path, 0, why.empty() ? "存在しません" : why);
}

// The step's message with the failure's detail, and the failure returned.
StepResult reportFailure(Platform& platform, const std::string& first, StepResult result) {
  platform.message(failureWithDetail(first, result.error()), kErrorTitle);
  return result;
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

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A second run writing into the same folder would mix two sets, so a run holds the folder
// while it writes there; and what an interrupted run left half moved is set right first.
bool takeOutputFolder(ConversionState& state, Platform& platform, FileLock& lock) {
  if (lock.acquire(outputFolderLockFile(state.outputFolder)) == FileLock::Outcome::Busy) {
    platform.message("出力先フォルダは別の変換で使用中です。\r\n" + state.outputFolder,
                     kErrorTitle);
    return false;
  }
  removeStaleRunFolders();
  std::string error;
  if (!recoverOutputFolder(state.outputFolder, &error)) {
    platform.message("出力先フォルダに中断された変換が残っていて、元に戻せません。\r\n" + error,
                     kErrorTitle);
    return false;
  }
  return true;
}

}  // namespace

bool relocateMissingInputs(ConversionState& state, Platform& platform) {
  std::string& journal = state.sourceFile(SourceFile::Journal);
  if (!journal.empty() && !platform.fileExists(journal)) {
    if (platform.message(journal + "が存在しません。\r\n移動した仕訳データを指定して下さい。",
                         "注意", MsgButtons::OkCancel, MsgIcon::Exclamation) != MsgResult::Ok)
      return false;
    FileDialogRequest request;
    request.title = "ファイルを選択";
    request.filter = "全てのファイル(*.*)|*.*";
    request.options.fileMustExist = request.options.pathMustExist = true;
    request.options.hideReadOnly = true;
    const std::string oldFolder = folderOf(journal);
    request.initialFolder = platform.folderExists(oldFolder) ? oldFolder : state.baseFolder;
    const std::optional<std::string> chosen = platform.openFileDialog(request);
    if (!chosen || chosen->empty()) return false;
    journal = *chosen;
    // A folder moved as a whole: the other files of the old folder are found in the new one.
    const std::string newFolder = folderOf(journal);
    for (std::string& file : state.sourceFiles) {
      if (file.empty() || folderOf(file) != oldFolder || platform.fileExists(file)) continue;
      const std::string moved = newFolder + file.substr(oldFolder.size());
      if (platform.fileExists(moved)) file = moved;
    }
  }
  if (!state.outputFolder.empty() && !platform.folderExists(state.outputFolder)) {
    if (platform.message(
            state.outputFolder + "が存在しません。\r\n出力先フォルダを指定して下さい。", "注意",
            MsgButtons::OkCancel, MsgIcon::Exclamation) != MsgResult::Ok)
      return false;
    const std::string chosen = platform.browseFolder(kOutputFolderPrompt);
    if (chosen.empty()) return false;
    state.outputFolder = chosen;
  }
  return true;
}

std::string missingMessage(const std::string& path, bool folder) {
  // Something of the other kind stands there: say so rather than leave the user looking.
  const std::string why = wrongKindReason(path, folder);
  const std::string text = path + "が存在しません。";
  return why.empty() ? text : text + "\r\n" + path + ": " + why;
}

std::string failureWithDetail(const std::string& first, const ErrorDetail& detail) {
  const std::string text = detail.describe();
  return text.empty() ? first : first + "\r\n" + text;
}

BusyGuard::BusyGuard(Platform& platform) : platform_(platform) { platform_.setBusy(true); }
BusyGuard::~BusyGuard() { platform_.setBusy(false); }

StepResult runYayoiImportStep(ConversionState& state, Platform& platform) {
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
    if (r.optional && path.empty()) {
      // Whatever an earlier 読込 read from it is gone with the file.
      if (r.kind == ReportKind::SubAccountList) state.workSubAccounts.clear();
      if (r.kind == ReportKind::SubAccountBalances) {
        state.workSubAccountBalances.clear();
        // Sub-accounts are linked to their accounts when their balances are read; a list
        // without balances is linked all the same, or its codes could never be decided.
        if (!state.workSubAccounts.empty()) {
          if (StepResult linked = classifyImport(state, platform, r.kind); !linked)
            return reportFailure(platform, std::string("補助科目") + kImportFailed,
                                 std::move(linked));
        }
      }
      continue;
    }
    if (!platform.fileExists(path)) return reportMissing(platform, path);
    if (StepResult imported = importReport(state, platform, path, r.kind); !imported)
      return reportFailure(platform, std::string(r.label) + kImportFailed, std::move(imported));
  }
  const std::string& journal = state.sourceFile(SourceFile::Journal);
  if (!platform.fileExists(journal)) return reportMissing(platform, journal);
  if (StepResult read = importJournal(state, platform, journal); !read)
    return reportFailure(platform, std::string("仕訳データ") + kImportFailed, std::move(read));
  if (!platform.folderExists(state.outputFolder))
    return reportMissing(platform, state.outputFolder, /*folder=*/true);
  return StepResult::success();
}

StepResult runBlueReturnImportStep(ConversionState& state, Platform& platform) {
  BusyGuard busy(platform);
  ProgressCloser progress(platform);
  const std::string& accounts = state.sourceFile(SourceFile::BlueAccounts);
  if (!platform.fileExists(accounts)) return reportMissing(platform, accounts);
  std::string& settings = state.sourceFile(SourceFile::BlueSettings);
  settings = blueSettingsFileBeside(accounts);
  if (!platform.fileExists(settings)) return reportMissing(platform, settings);
  const std::string& journal = state.sourceFile(SourceFile::BlueJournal);
  if (!platform.fileExists(journal)) return reportMissing(platform, journal);
  if (!platform.folderExists(state.outputFolder))
    return reportMissing(platform, state.outputFolder, /*folder=*/true);
  const auto& period = state.journalPeriod;
  if (period[0] == 0 || period[1] == 0 || period[2] == 0 ||
      !isValidYmd(period[0], period[1], period[2])) {
    constexpr const char* kBadPeriod = "仕訳取込指定日付が異常です。";
    platform.message(kBadPeriod, kErrorTitle);
    return StepResult::failure("", 0, kBadPeriod);
  }

  constexpr const char* kBasicFailed = "基本データの取込に失敗しました。";
  if (StepResult read = readBlueSettings(state, settings); !read)
    return reportFailure(platform, kBasicFailed, std::move(read));
  if (StepResult read = importBlueAccounts(state, platform, accounts); !read)
    return reportFailure(platform, kBasicFailed, std::move(read));
  for (ReportKind kind :
       {ReportKind::DepartmentList, ReportKind::AccountList, ReportKind::TrialBalance,
        ReportKind::SubAccountList, ReportKind::SubAccountBalances}) {
    if (StepResult classified = classifyImport(state, platform, kind); !classified) {
      ErrorDetail detail = classified.error();
      detail.file = accounts;
      return reportFailure(platform, kBasicFailed, StepResult::failure(std::move(detail)));
    }
  }
  FileLock folderLock;
  if (!takeOutputFolder(state, platform, folderLock))
    return StepResult::failure(state.outputFolder, 0, "出力先フォルダを使えません");
  if (StepResult expanded = expandBlueJournal(state, platform, journal, state.outputFolder);
      !expanded)
    return reportFailure(platform, "仕訳データの取込に失敗しました。", std::move(expanded));
  return StepResult::success();
}

StepResult runImportStep(ConversionState& state, Platform& platform) {
  if (packageProfileOrFirst(state.sourcePackage).reader == SourceReader::BlueReturnData)
    return runBlueReturnImportStep(state, platform);
  return runYayoiImportStep(state, platform);
}

namespace {

void fillReportFacts(ReportRunFacts& facts, const ConversionState& state, Platform& platform) {
  facts.when = platform.now();
  const PackageProfile& profile = packageProfileOrFirst(state.sourcePackage);
  const bool blue = profile.reader != SourceReader::YayoiReports;
  facts.package = std::string(profile.name);
  facts.userCode = state.ledraUserCode;
  const std::vector<SourceFile> files =
      blue ? std::vector<SourceFile>{SourceFile::BlueAccounts, SourceFile::BlueSettings,
                                     SourceFile::BlueJournal, SourceFile::Journal}
           : std::vector<SourceFile>{SourceFile::AccountList,    SourceFile::TrialBalance,
                                     SourceFile::SubAccountList, SourceFile::SubAccountBalances,
                                     SourceFile::DepartmentList, SourceFile::Journal};
  for (SourceFile f : files)
    if (!state.sourceFile(f).empty()) facts.inputFiles.push_back(state.sourceFile(f));
}

// The report's two files, name and bytes, once every writer has written.
using ReportFiles = std::array<std::pair<std::string_view, std::string>, 2>;
ReportFiles renderReportFiles(const ConversionState& state, ConversionReport& report) {
  int64_t invalidated = 0;
  for (const WorkAccount& a : state.workAccounts)
    if (!a.valid) ++invalidated;
  report.facts().recordsWritten.emplace_back("無効化一覧.txt", invalidated);
  return {std::pair{kReconciliationFileName, reconciliationBytes(report)},
          std::pair{kConversionReportFileName, conversionReportBytes(report)}};
}

// Stages the two report files; on failure the file's name and why.
std::pair<std::string, StepResult> putReportFiles(const ConversionState& state,
                                                  const ReportFiles& files, OutputSet& set) {
  for (const auto& [name, bytes] : files) {
    std::string error;
    if (!set.put(name, bytes, &error)) {
      const std::string path = outputPath(state.outputFolder, name);
      return {std::string(name), StepResult::failure(path, 0, writeFailureReason(path, error))};
    }
  }
  return {{}, StepResult::success()};
}

}  // namespace

StepOutcome runOutputStep(ConversionState& state, Platform& platform, bool askConfirmation,
                          bool atWindow) {
  if (askConfirmation &&
      platform.message("出力処理を行います。宜しいですか？", "注意", MsgButtons::OkCancel,
                       MsgIcon::Question) != MsgResult::Ok) {
    return StepOutcome::Cancelled;
  }
  // Declining leaves the run to report the missing file as before.
  if (atWindow) relocateMissingInputs(state, platform);
  BusyGuard busy(platform);
  ProgressCloser progress(platform);
  FileLock folderLock;
  if (!takeOutputFolder(state, platform, folderLock)) return StepOutcome::Failed;
  const auto withDetail = [](std::string first, const StepResult& result) {
    const std::string detail = result.error().describe();
    return detail.empty() ? first : first + "\r\n" + detail;
  };
  constexpr std::string_view kArchiveLabel = "pressdata.zip";
  constexpr std::string_view kLastMember = "zandaka.csv";
  constexpr std::string_view kJournalFile = "shiwake.csv";
  const auto fail = [&](std::string_view fileName, const StepResult& result) {
    platform.message(withDetail(std::string(fileName) + "出力に失敗しました。", result),
                     kErrorTitle);
    return StepOutcome::Failed;
  };
  // The files are written as one set and moved into place only when every step succeeded.
  // Declared in this order so that the compression is waited for before the set goes.
  OutputSet set(state.outputFolder, archiveMemberNames(state));
  PreparedMembers prepared;
  ConversionReport report(reportAccounts(state));
  fillReportFacts(report.facts(), state, platform);
  // The master's and the reports' texts became "?" when they were read; the files say which.
  for (const LackingText& t : lackingSourceTexts(state))
    report.questionMarks({t.path, t.line, false}, "項目" + std::to_string(t.column), t.original);
  const ReportScope reporting(report);
  // Read once, and only just before its writer: no other writer needs it, so it is read while
  // the other core compresses the archive's members, off the run's longest path. A journal that
  // cannot be read still leaves every earlier output as it was: the set is not committed.
  Journal journal;
  struct Writer {
    std::string_view fileName;
    std::function<StepResult()> write;
  };
  const Writer writers[] = {
      {"kanjyo.csv", [&] { return writeAccountFile(state, platform, set); }},
      {"hojokamoku.csv", [&] { return writeSubAccountFile(state, platform, set); }},
      {"busho.csv", [&] { return writeDepartmentFile(state, platform, set); }},
      {"zandaka.csv", [&] { return writeBalanceFile(state, platform, set, &report); }},
      {kJournalFile, [&] { return writeJournalFile(state, platform, journal, set, &report); }},
      {"無効化一覧.txt", [&] { return writeInvalidationList(state, platform, set); }},
  };
  state.droppedJournalLines.clear();
  for (const Writer& w : writers) {
    if (w.fileName == kJournalFile) {
      if (const StepResult read =
              importJournal(state, platform, state.sourceFile(SourceFile::Journal), &journal);
          !read) {
        platform.message(withDetail("仕訳データ取込に失敗しました。", read), kErrorTitle);
        return StepOutcome::Failed;
      }
    }
    if (const StepResult written = w.write(); !written) return fail(w.fileName, written);
    // The archive's members are final now: compress them while the journal is written.
    if (w.fileName == kLastMember) prepareArchiveMembers(state, set, prepared);
  }
  // Rendered while the other core may still be compressing members the archive waits for.
  const ReportFiles reportFiles = renderReportFiles(state, report);
  if (const StepResult packed = packArchive(state, platform, set, &prepared); !packed)
    return fail(kArchiveLabel, packed);
  // The report goes with the set it describes, so a failed run leaves the earlier one.
  if (const auto put = putReportFiles(state, reportFiles, set); !put.first.empty())
    return fail(put.first, put.second);
  std::string archiveName;
  for (const std::string& name : set.stagedNames())
    if (name.ends_with(".zip")) archiveName = name;
  std::string failedName, error;
  if (!set.commit(&failedName, &error)) {
    const std::string path = outputPath(state.outputFolder, failedName);
    const bool isArchive = failedName.ends_with(".zip");
    return fail(isArchive ? kArchiveLabel : std::string_view(failedName),
                StepResult::failure(path, 0, writeFailureReason(path, error)));
  }
  // On success the dialog closes before the closing message; a failure is shown over it.
  platform.progressHide();
  std::string done = "変換を正常に終了しました。";
  if (atWindow) {
    done += "\r\n出力先: " + state.outputFolder;
    if (!archiveName.empty()) done += "\r\n圧縮ファイル: " + archiveName;
  }
  if (!state.droppedJournalLines.empty()) {
    done += "\r\n無効化または未設定の勘定科目を含む伝票の仕訳" +
            std::to_string(state.droppedJournalLines.size()) + "行は出力されていません。" +
            droppedJournalLinesDetail(state);
  }
  for (const std::string& line : reportSummaryLines(report, state.outputFolder))
    done += "\r\n" + line;
  if (!atWindow) {
    platform.message(done, "終了");
    return StepOutcome::Done;
  }
  done += "\r\n\r\n変換レポートを開きますか？";
  if (platform.message(done, "終了", MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes &&
      !platform.openInViewer(outputPath(state.outputFolder, kConversionReportFileName))) {
    platform.message("変換レポートを開けませんでした。\r\n" +
                         outputPath(state.outputFolder, kConversionReportFileName),
                     kErrorTitle, MsgButtons::Ok, MsgIcon::Exclamation);
  }
  return StepOutcome::Done;
}

bool evaluateNextButton(const ConversionState& state) {
  switch (state.screenState) {
    case Screen::FileSettings: {
      const PackageProfile* profile = packageProfile(state.sourcePackage);
      return !profile || profile->filesChosen(state);
    }
    case Screen::Mapping:
      return mappingComplete(state);
    default:
      return true;
  }
}

}  // namespace ledra
