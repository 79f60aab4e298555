#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledra {

struct ConversionData;
struct ConversionState;
struct PackageProfile;
enum class SourceFile : uint8_t;

// The names under which the packages offer their files.

// The 弥生会計 report or journal of that slot (AccountList .. Journal), as 弥生会計 names it
// when it exports: "勘定科目一覧表.txt" ... "仕訳データ.txt"; "" for another slot.
std::string_view yayoiFileName(SourceFile file);

// Each of the package's file-settings rows = the file under its usual name in the folder.
void setDefaultSourceFiles(ConversionData& data, const PackageProfile& profile,
                           std::string_view folder);

// A text of the master or of a report's detail line that holds characters CP932 lacks: such a
// file is UTF-8, read as CP932 holds it, so those characters reach the service's files as "?".
struct LackingText {
  std::string path;
  int64_t line = 0;
  int column = 0;  // 1-based, the line cut at every comma
  std::string original;
};
// Every such text in the files the state names, as they are now (the journal's are noted
// by its reader). A CP932 file costs the three bytes that say it is no UTF-8 file.
std::vector<LackingText> lackingSourceTexts(const ConversionState& state);

// ブルーリターンＡ's basic-information file, which stands beside its account file.
std::string blueSettingsFileBeside(std::string_view accountFile);

}  // namespace ledra
