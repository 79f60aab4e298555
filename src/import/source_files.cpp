#include "import/source_files.hpp"

#include "base/text.hpp"
#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

std::string_view yayoiFileName(SourceFile file) {
  const SourceSlot* row = sourceRow(*packageProfile(SourcePackage::Yayoi), file);
  return row ? row->fileName : std::string_view();
}

void setDefaultSourceFiles(ConversionData& data, const PackageProfile& profile,
                           std::string_view folder) {
  for (const SourceSlot& row : profile.rows)
    data.sourceFiles[row.file] = joinPath(folder, row.fileName);
}

std::string blueSettingsFileBeside(std::string_view accountFile) {
  return folderWithSeparator(trimSpaces(accountFile)) + "基本情報ﾃﾞｰﾀ";
}

}  // namespace ledra
