#include "import/source_files.hpp"

#include <array>

#include "base/text.hpp"
#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::array<std::string_view, 6> kYayoiNames = {"勘定科目一覧表.txt", "科目残高試算表.txt",
                                                         "補助科目一覧表.txt", "補助残高一覧表.txt",
                                                         "部門一覧表.txt",     "仕訳データ.txt"};

}  // namespace

std::string_view yayoiFileName(SourceFile file) {
  const auto i = static_cast<size_t>(file);
  return i < kYayoiNames.size() ? kYayoiNames[i] : std::string_view();
}

void setYayoiSourceFiles(ConversionData& data, std::string_view folder) {
  for (size_t i = 0; i < kYayoiNames.size(); ++i)
    data.sourceFiles[i] = joinPath(folder, kYayoiNames[i]);
}

void setBlueReturnSourceFiles(ConversionData& data, std::string_view dataFolder) {
  data.sourceFile(SourceFile::BlueAccounts) = joinPath(dataFolder, "kcode.brf");
  data.sourceFile(SourceFile::BlueJournal) = joinPath(dataFolder, "仕訳データ");
}

std::string blueSettingsFileBeside(std::string_view accountFile) {
  return folderWithSeparator(trimSpaces(accountFile)) + "基本情報ﾃﾞｰﾀ";
}

}  // namespace ledra
