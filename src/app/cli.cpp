#include "app/cli.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>

#include "app/console_platform.hpp"
#include "app/map_command.hpp"
#include "app/report_command.hpp"
#include "base/dates.hpp"
#include "base/numbers.hpp"
#include "base/text.hpp"
#include "import/account_master.hpp"
#include "import/source_files.hpp"
#include "import/source_recognition.hpp"
#include "matching/mapping_reuse.hpp"
#include "matching/suggestions.hpp"
#include "platform/file_io.hpp"
#include "platform/file_lock.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "wizard/conv_select_presenter.hpp"
#include "wizard/journal_period.hpp"
#include "wizard/status_report.hpp"
#include "wizard/step_flow.hpp"

namespace ledra {

namespace {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Options of one command: --name VALUE pairs (repeatable ones keep every value) and flags.
class Options {
 public:
  Options(const std::vector<std::string>& args, size_t first,
          const std::vector<std::string>& valued, const std::vector<std::string>& flags) {
    for (size_t i = first; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
        flags_.push_back(a);
        continue;
      }
      if (std::find(valued.begin(), valued.end(), a) == valued.end())
        throw UsageError("不明なオプションです: " + a);
      if (i + 1 >= args.size()) throw UsageError(a + " に値がありません");
      values_[a].push_back(args[++i]);
    }
  }

  std::optional<std::string> get(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    if (it->second.size() > 1) throw UsageError(name + " は一度だけ指定できます");
    return it->second.front();
  }
  std::string require(const std::string& name) const {
    auto v = get(name);
    if (!v) throw UsageError(name + " を指定してください");
    return *v;
  }
  std::vector<std::string> all(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
  }
  bool flag(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
  }

 private:
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> flags_;
};

std::string absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

void printLine(const std::string& text) { std::printf("%s\n", text.c_str()); }

// --from / --to of the ブルーリターンＡ import; without --from the fiscal year of the data
// folder (…/Y2007) gives 1 January to 31 December.
bool applyJournalPeriodOptions(ConversionState& state, const std::optional<std::string>& from,
                               const std::optional<std::string>& to) {
  std::optional<Ymd> start, end;
  if (from) {
    auto d = parseDate(*from);
    if (!d) return false;
    start = toYmd(*d);
  } else {
    const std::string folder = std::filesystem::path(state.blueReturnDataFolder).filename();
    if (folder.size() < 2 || folder[0] != 'Y') return false;
    auto year = parseInteger(folder.substr(1));
    if (!year || *year < 100 || *year > 9998) return false;
    start = Ymd{static_cast<int>(*year), 1, 1};
    if (!to) end = Ymd{static_cast<int>(*year), 12, 31};
  }
  if (to) {
    auto d = parseDate(*to);
    if (!d) return false;
    end = toYmd(*d);
  } else if (!end) {
    end = journalPeriodEnd(*start);
  }
  if (!end) return false;
  state.fiscalYear = start->year;
  state.journalPeriod = {start->year, start->month, start->day, end->year, end->month, end->day};
  return true;
}

void printStatus(ConversionState& state) {
  const StatusReport report = buildStatusReport(state);
  for (const auto& line : report.lines) printLine(line);
}

bool restoreForMapping(ConversionState& state, Platform& platform, const std::string& path) {
  state.baseFolder = platform.documentsFolder();
  if (!restoreWorkStateFromFile(state, platform, path)) return false;
  state.screenState = Screen::Mapping;
  return true;
}

int commandImport(const std::vector<std::string>& args) {
  const Options o(args, 1,
                  {"--package", "--master", "--output", "--save", "--source-dir", "--accounts",
                   "--balances", "--sub-accounts", "--sub-balances", "--departments", "--journal",
                   "--blue-data", "--from", "--to"},
                  {"--no-sub-accounts"});
  const std::string package = o.require("--package");
  const std::string master = absolute(o.require("--master"));
  const std::string output = absolute(o.require("--output"));
  const std::string save = absolute(o.require("--save"));

  ConsolePlatform platform;
  ConversionState state;
  state.baseFolder = platform.documentsFolder();
  static constexpr std::pair<std::string_view, SourcePackage> kPackageWords[] = {
      {"yayoi", SourcePackage::Yayoi}, {"blue", SourcePackage::BlueReturn}};
  for (const auto& [word, value] : kPackageWords)
    if (package == word) state.sourcePackage = value;
  const PackageProfile* profile = packageProfile(state.sourcePackage);
  if (!profile) throw UsageError("--package は yayoi か blue です");
  if (profile->reader == SourceReader::YayoiReports) {
    static constexpr std::pair<const char*, SourceFile> kOverrides[] = {
        {"--accounts", SourceFile::AccountList},
        {"--balances", SourceFile::TrialBalance},
        {"--sub-accounts", SourceFile::SubAccountList},
        {"--sub-balances", SourceFile::SubAccountBalances},
        {"--departments", SourceFile::DepartmentList},
        {"--journal", SourceFile::Journal}};
    if (auto dir = o.get("--source-dir")) {
      // Files are found by what they hold; the rows named by their own options are not looked for.
      YayoiRows wanted = allYayoiRows();
      for (const auto& [name, file] : kOverrides)
        if (o.get(name)) wanted[file] = false;
      if (o.flag("--no-sub-accounts"))
        wanted[SourceFile::SubAccountList] = wanted[SourceFile::SubAccountBalances] = false;
      const std::string folder = absolute(*dir);
      if (std::find(wanted.begin(), wanted.end(), true) != wanted.end()) {
        if (!platform.folderExists(folder)) {
          platform.message(missingMessage(folder, true));
          return kExitFailed;
        }
        const YayoiSourceSet found = recogniseYayoiFolder(folder, wanted);
        if (!found.ok()) {
          platform.message(sourceSetMessage(found, folder), "エラー");
          return kExitFailed;
        }
        for (const SourceSlot& row : profile->rows)
          if (wanted[row.file]) state.sourceFiles[row.file] = found.files[row.file];
      }
    }
    for (const auto& [name, file] : kOverrides)
      if (auto v = o.get(name)) state.sourceFile(file) = absolute(*v);
    if (o.flag("--no-sub-accounts")) {
      state.sourceFile(SourceFile::SubAccountList).clear();
      state.sourceFile(SourceFile::SubAccountBalances).clear();
    }
    for (const SourceSlot& row : profile->rows)
      if (!row.optional && state.sourceFiles[row.file].empty())
        throw UsageError("--source-dir か各ファイルのオプションを指定してください");
  } else {
    std::string data = absolute(o.require("--blue-data"));
    // The installation folder or its Data folder will do when it holds one year folder.
    const auto years = findBlueYearFolders(data);
    if (years.size() > 1) {
      std::string text =
          data + "に会計年度のデータが複数あります。--blue-data に一つを指定してください。";
      for (const auto& y : years) text += "\r\n" + y;
      platform.message(text, "エラー");
      return kExitFailed;
    }
    if (years.size() == 1) data = years.front();
    state.blueReturnDataFolder = data;
    setDefaultSourceFiles(state, *profile, data);
    if (!applyJournalPeriodOptions(state, o.get("--from"), o.get("--to")))
      throw UsageError("--from/--to の日付が正しくありません (YYYY/MM/DD)");
  }

  state.ledraAccountFile = master;
  // Refused before the import rather than after it; held to the end so no other run saves
  // over it meanwhile.
  FileLock stateLock;
  if (!checkWorkStateTarget(state, platform, save) || !lockWorkStateFile(platform, save, stateLock))
    return kExitFailed;
  // The loader names the cause, a missing file or a folder included.
  if (const StepResult loaded = loadStandardAccountMaster(state, master, &platform); !loaded) {
    platform.message(failureWithDetail("Ledraの勘定科目データ取込に失敗しました。", loaded.error()),
                     "エラー");
    return kExitFailed;
  }
  state.outputFolder = output;
  if (!runImportStep(state, platform)) return kExitFailed;
  // The saved work opens on the mapping screen, as after an import at the window.
  state.screenState = Screen::Mapping;
  if (!saveWorkStateToFile(state, platform, save)) return kExitFailed;
  printLine(buildStatusReport(state).remaining);
  return kExitOk;
}

int commandStatus(const std::vector<std::string>& args) {
  const Options o(args, 1, {"--state"}, {});
  const std::string path = absolute(o.require("--state"));
  ConsolePlatform platform;
  ConversionState state;
  if (!restoreForMapping(state, platform, path)) return kExitFailed;
  const bool ready = mappingComplete(state);
  printStatus(state);
  return ready ? kExitOk : kExitFailed;
}

int commandConvert(const std::vector<std::string>& args) {
  const Options o(args, 1, {"--state", "--output"}, {});
  const std::string path = absolute(o.require("--state"));
  ConsolePlatform platform;
  ConversionState state;
  if (!restoreForMapping(state, platform, path)) return kExitFailed;
  if (auto out = o.get("--output")) state.outputFolder = absolute(*out);
  if (!mappingComplete(state)) {
    printStatus(state);
    return kExitFailed;
  }
  if (!platform.folderExists(state.outputFolder)) {
    platform.message(missingMessage(state.outputFolder, true));
    return kExitFailed;
  }
  return runOutputStep(state, platform, false) == StepOutcome::Done ? kExitOk : kExitFailed;
}

int commandMap(const std::vector<std::string>& args) {
  const Options o(
      args, 1,
      {"--state", "--save", "--set", "--invalidate", "--validate", "--sub-code", "--from-state"},
      {"--accept-suggestions"});
  const std::string path = absolute(o.require("--state"));
  const std::string save = absolute(o.get("--save").value_or(path));
  const std::optional<std::string> from = o.get("--from-state");
  const bool accept = o.flag("--accept-suggestions");
  // The other client's file is only read: a save over it would lose that client's mapping.
  if (from &&
      std::filesystem::weakly_canonical(absolute(*from)) == std::filesystem::weakly_canonical(save))
    throw UsageError("--save に --from-state と同じファイルは指定できません");
  // Changes apply in the order given, whatever their kind. Every option but the flag takes a
  // value (Options has checked that), so the walk never reads a value as an option.
  std::vector<MapChange> changes;
  try {
    for (size_t i = 1; i + 1 < args.size(); i += 2) {
      const std::string& a = args[i];
      if (a == "--accept-suggestions") {
        --i;
        continue;
      }
      const std::string& v = args[i + 1];
      if (a == "--set")
        changes.push_back(parseSetChange(v));
      else if (a == "--invalidate")
        changes.push_back({MapChange::Invalidate, v, "", ""});
      else if (a == "--validate")
        changes.push_back({MapChange::Validate, v, "", ""});
      else if (a == "--sub-code")
        changes.push_back(parseSubCodeChange(v));
    }
  } catch (const std::invalid_argument& e) {
    throw UsageError(e.what());
  }
  ConsolePlatform platform;
  ConversionState state;
  // Held from the read to the save, so that two changes made at once are both kept.
  FileLock stateLock, saveLock;
  if (!lockWorkStateFile(platform, path, stateLock) || !lockWorkStateFile(platform, save, saveLock))
    return kExitFailed;
  if (!restoreForMapping(state, platform, path)) return kExitFailed;
  // The other state is read before anything changes, so that a refused file changes nothing.
  ConversionState other;
  if (from && !restoreForMapping(other, platform, absolute(*from))) return kExitFailed;
  // Changes named one by one are decisions; what is reused or suggested only fills the rest.
  if (!applyMapChanges(state, platform, changes)) return kExitFailed;
  if (from)
    for (const auto& line : reuseMappings(state, platform, other).lines()) printLine(line);
  if (accept)
    for (const auto& line : acceptSuggestions(state).lines()) printLine(line);
  if (!saveWorkStateToFile(state, platform, save)) return kExitFailed;
  printLine(buildStatusReport(state).remaining);
  return kExitOk;
}

int commandSuggest(const std::vector<std::string>& args) {
  const Options o(args, 1, {"--state"}, {});
  const std::string path = absolute(o.require("--state"));
  ConsolePlatform platform;
  ConversionState state;
  if (!restoreForMapping(state, platform, path)) return kExitFailed;
  for (const auto& line : suggestionLines(state)) printLine(line);
  return kExitOk;
}

int commandReport(const std::vector<std::string>& args) {
  const Options o(args, 1, {"--state", "--output"}, {});
  ConsolePlatform platform;
  return runReportCommand(absolute(o.require("--state")), absolute(o.get("--output").value_or("")),
                          platform);
}

}  // namespace

std::string usageText() {
  return std::string(kProgramCaption) +
         "\n"
         "使い方:\n"
         "  ledra-convert                      画面を起動します\n"
         "  ledra-convert import  OPTIONS      読込を行い作業状態を保存します\n"
         "      --package yayoi|blue --master FILE --output DIR --save FILE\n"
         "      yayoi: --source-dir DIR [--accounts F --balances F --sub-accounts F\n"
         "             --sub-balances F --departments F --journal F] [--no-sub-accounts]\n"
         "      blue:  --blue-data DIR [--from YYYY/MM/DD] [--to YYYY/MM/DD]\n"
         "  ledra-convert map     --state FILE [--save OTHER] [--set CODE=LEDRACODE]...\n"
         "      [--invalidate CODE]... [--validate CODE]... [--sub-code CODE/補助科目名=CODE]...\n"
         "      [--from-state OTHER]   他の作業状態の割当を未設定の科目に適用します\n"
         "      [--accept-suggestions] 類似度の高い候補を割り当てます\n"
         "  ledra-convert suggest --state FILE    未設定の勘定科目の候補を表示します\n"
         "  ledra-convert status  --state FILE    変換を妨げている項目を表示します\n"
         "  ledra-convert convert --state FILE [--output DIR]   変換を行います\n"
         "  ledra-convert report  --state FILE [--output DIR]   前回の変換レポートを表示します\n"
         "  ledra-convert --help | --version\n";
}

int runCommandLine(const std::vector<std::string>& args) {
  try {
    if (args.empty()) throw UsageError("コマンドを指定してください");
    const std::string& cmd = args[0];
    if (cmd == "--help" || cmd == "-h") {
      std::printf("%s", usageText().c_str());
      return kExitOk;
    }
    if (cmd == "--version") {
      printLine(kProgramCaption);
      return kExitOk;
    }
    if (cmd == "import") return commandImport(args);
    if (cmd == "status") return commandStatus(args);
    if (cmd == "convert") return commandConvert(args);
    if (cmd == "map") return commandMap(args);
    if (cmd == "suggest") return commandSuggest(args);
    if (cmd == "report") return commandReport(args);
    throw UsageError("不明なコマンドです: " + cmd);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "%s\n\n%s", e.what(), usageText().c_str());
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "処理中にエラーが発生しました。\n%s\n", e.what());
    return kExitFailed;
  }
}

}  // namespace ledra
