#pragma once

#include <string>
#include <string_view>

namespace ledra {

struct ConversionData;
struct PackageProfile;
enum class SourceFile : uint8_t;

// The names under which the packages offer their files.

// The 弥生会計 report or journal of that slot (AccountList .. Journal), as 弥生会計 names it
// when it exports: "勘定科目一覧表.txt" ... "仕訳データ.txt"; "" for another slot.
std::string_view yayoiFileName(SourceFile file);

// Each of the package's file-settings rows = the file under its usual name in the folder.
void setDefaultSourceFiles(ConversionData& data, const PackageProfile& profile,
                           std::string_view folder);

// ブルーリターンＡ's basic-information file, which stands beside its account file.
std::string blueSettingsFileBeside(std::string_view accountFile);

}  // namespace ledra
