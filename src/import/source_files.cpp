#include "import/source_files.hpp"

#include <optional>
#include <utility>

#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "platform/text_file.hpp"
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

std::vector<LackingText> lackingSourceTexts(const ConversionState& state) {
  std::vector<std::pair<std::string, bool>> files{{state.ledraAccountFile, false}};
  for (const SourceSlot& row : packageProfileOrFirst(state.sourcePackage).rows)
    if (row.file != SourceFile::Journal) files.emplace_back(state.sourceFile(row.file), true);
  std::vector<LackingText> out;
  for (const auto& [path, detailRowsOnly] : files) {
    if (path.empty() || !startsWithUtf8Mark(path)) continue;
    const std::optional<SourceText> read = readSourceText(path);
    if (!read || !read->utf8) continue;
    int64_t lineNo = 0;
    for (std::string_view line : splitPlainView(read->text, "\r\n")) {
      ++lineNo;
      if (isAscii(line) || !lacksCp932Characters(line)) continue;
      const std::vector<std::string_view> fields = splitPlainView(line, ",");
      // A report's other lines (headings, totals) reach no file of the service.
      if (detailRowsOnly && stripEnclosingQuotesView(fields[0]) != "[明細行]") continue;
      for (size_t i = 0; i < fields.size(); ++i)
        if (lacksCp932Characters(fields[i]))
          out.push_back({path, lineNo, static_cast<int>(i + 1),
                         std::string(stripEnclosingQuotesView(fields[i]))});
    }
  }
  return out;
}

std::string blueSettingsFileBeside(std::string_view accountFile) {
  return folderWithSeparator(trimSpaces(accountFile)) + "基本情報ﾃﾞｰﾀ";
}

}  // namespace ledra
