#pragma once

#include <string>
#include <string_view>

namespace ledra {

struct ConversionData;
enum class SourceFile : size_t;

// The names under which the packages offer their files.

// The 弥生会計 report or journal at that place of SourceFiles (AccountList .. Journal), as
// 弥生会計 names it when it exports: "勘定科目一覧表.txt" ... "仕訳データ.txt".
std::string_view yayoiFileName(SourceFile file);

// SourceFiles 0-5 = those names in the folder.
void setYayoiSourceFiles(ConversionData& data, std::string_view folder);

// ブルーリターンＡ's account and journal files (SourceFiles 6 and 7) in a year's data folder.
void setBlueReturnSourceFiles(ConversionData& data, std::string_view dataFolder);

// ブルーリターンＡ's basic-information file, which stands beside its account file.
std::string blueSettingsFileBeside(std::string_view accountFile);

}  // namespace ledra
