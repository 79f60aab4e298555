#include "app/report_command.hpp"

#include <filesystem>

#include "app/cli.hpp"
#include "base/text.hpp"
#include "output/conversion_report.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"

namespace ledra {

int runReportCommand(const std::string& statePath, const std::string& outputFolder,
                     Platform& platform, std::FILE* out) {
  ConversionState state;
  state.baseFolder = platform.documentsFolder();
  if (!restoreWorkStateFromFile(state, platform, statePath)) return kExitFailed;
  const std::string folder = outputFolder.empty() ? state.outputFolder : outputFolder;
  if (folder.empty()) {
    platform.message("作業状態に出力フォルダがありません。--output で指定してください。", "エラー");
    return kExitFailed;
  }
  const std::string path = joinPath(folder, kConversionReportFileName);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    platform.message(
        "変換レポートがありません。この出力フォルダではまだ変換していません。\r\n" + path,
        "エラー");
    return kExitFailed;
  }
  const std::optional<std::string> bytes = readFileBytes(path);
  if (!bytes) {
    platform.message(
        "変換レポートを読み込めません。\r\n" + path + ": " + unreadableFileReason(path), "エラー");
    return kExitFailed;
  }
  const std::string text = replaceAll(decodeCp932(*bytes), "\r\n", "\n");
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
  return kExitOk;
}

}  // namespace ledra
