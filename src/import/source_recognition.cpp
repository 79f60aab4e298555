#include "import/source_recognition.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>
#include <unordered_set>

#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "import/source_files.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

namespace fs = std::filesystem;

// The header block is a few short lines; this much always holds the first two.
constexpr size_t kHeadBytes = 4096;
constexpr size_t kMaxHints = 10;

// 帳票名 of each report, as the import checks it.
constexpr std::pair<SourceFile, const char*> kTitles[] = {
    {SourceFile::AccountList, "勘定科目一覧表"},
    {SourceFile::TrialBalance, "残高試算表(月次・期間)"},
    {SourceFile::SubAccountList, "補助科目一覧表"},
    {SourceFile::SubAccountBalances, "補助残高一覧表(月次・期間)"},
    {SourceFile::DepartmentList, "部門一覧表"},
    {SourceFile::Journal, "仕訳日記帳"},
};

std::span<const SourceSlot> yayoiRows() { return packageProfile(SourcePackage::Yayoi)->rows; }

std::string_view titleOf(SourceFile file) {
  for (const auto& [f, title] : kTitles)
    if (f == file) return title;
  return {};
}
constexpr std::string_view kTitleKey = "帳票名";
constexpr std::string_view kFormatKey = "書式名";
constexpr std::string_view kJournalFormat = "汎用形式";

constexpr std::array<const char*, 3> kBlueFiles = {"kcode.brf", "仕訳データ", "基本情報ﾃﾞｰﾀ"};

// The first complete lines of the file's text (a last line the head cut short is left out).
std::optional<std::vector<std::string>> headLines(const std::string& path, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = unreadableFileReason(path);
    return std::nullopt;
  }
  std::string bytes(kHeadBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    why = unreadableFileReason(path);
    return std::nullopt;
  }
  const bool whole = in.eof();
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::vector<std::string> lines;
  if (bytes.find('\0') != std::string::npos) return lines;  // no text the import reads
  const std::string text = decodeFileText(bytes);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      if (whole) lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Key and value of a header line ("帳票名","勘定科目一覧表").
std::optional<std::pair<std::string, std::string>> headerItem(const std::string& line) {
  std::vector<std::string_view> fields;
  std::string scratch;
  cutQuotedFields(line, fields, scratch);
  if (fields.empty()) return std::nullopt;
  return std::pair{std::string(fields[0]), fields.size() > 1 ? std::string(fields[1]) : ""};
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const auto& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

// The regular files of a folder that are not hidden, by name.
std::vector<std::string> visibleFileNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> visibleSubfolders(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_directory(typeError)) continue;
    paths.push_back(joinPath(folder, name));
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string missingLine(const SourceSlot& row) {
  std::string line = std::string(row.label) + "のファイルがありません（帳票名「" +
                     std::string(titleOf(row.file)) + "」";
  if (row.file == SourceFile::Journal) line += "、書式名「" + std::string(kJournalFormat) + "」";
  return line + "）";
}

std::string duplicateLine(const SourceSlot& row, const std::vector<std::string>& files) {
  return std::string(row.label) + "のファイルが" + std::to_string(files.size()) + "つあります：" +
         joined(files, "、");
}

using Claims = PerSourceFile<std::vector<std::string>>;

// Rows that two or more files claim are problems; a single claim fills its row.
void settleClaims(YayoiSourceSet& set, const Claims& claims) {
  for (const SourceSlot& row : yayoiRows()) {
    const std::vector<std::string>& claim = claims[row.file];
    if (claim.size() == 1) {
      set.files[row.file] = claim.front();
    } else if (claim.size() > 1) {
      set.problems.push_back(
          {SourceProblem::Kind::Duplicate, row.file, claim, duplicateLine(row, claim)});
    }
  }
}

}  // namespace

RecognisedFile recogniseYayoiFile(const std::string& path) {
  RecognisedFile file;
  file.path = path;
  std::string why;
  const auto lines = headLines(path, why);
  if (!lines) {
    file.kind = RecognisedFile::Kind::Unreadable;
    file.unreadable = why;
    return file;
  }
  const auto title = lines->empty() ? std::nullopt : headerItem((*lines)[0]);
  if (!title || title->first != kTitleKey) return file;
  file.kind = RecognisedFile::Kind::OtherReport;
  file.title = title->second;
  if (lines->size() > 1) {
    const auto format = headerItem((*lines)[1]);
    if (format && format->first == kFormatKey) file.format = format->second;
  }
  // The same comparisons as the imports make, so that a file recognised here is accepted.
  if (file.title == titleOf(SourceFile::Journal)) {
    if (file.format == kJournalFormat) {
      file.kind = RecognisedFile::Kind::Report;
      file.role = SourceFile::Journal;
    }
    return file;
  }
  const std::string trimmed = trimSpaces(file.title);
  for (const auto& [role, title] : kTitles) {
    if (role != SourceFile::Journal && trimmed == title) {
      file.kind = RecognisedFile::Kind::Report;
      file.role = role;
    }
  }
  return file;
}

YayoiRows allYayoiRows() {
  YayoiRows all;
  for (const SourceSlot& row : yayoiRows()) all[row.file] = true;
  return all;
}

std::string yayoiRowLabel(SourceFile row) {
  const SourceSlot* slot = sourceRow(*packageProfile(SourcePackage::Yayoi), row);
  return slot ? std::string(slot->label) : "";
}

std::string notFillingReason(const RecognisedFile& file) {
  switch (file.kind) {
    case RecognisedFile::Kind::Report:
      return "";
    case RecognisedFile::Kind::OtherReport:
      if (file.title == titleOf(SourceFile::Journal))
        return file.path + ": 汎用形式ではない仕訳日記帳です" +
               (file.format.empty() ? "（書式名の行がありません）"
                                    : "（書式名：" + file.format + "）");
      return file.path + ": 取り込めない帳票です（帳票名：" + file.title + "）";
    case RecognisedFile::Kind::NotReport:
      return file.path + ": 弥生会計の帳票ではありません";
    case RecognisedFile::Kind::Unreadable:
      return file.path + ": " + file.unreadable;
  }
  return "";
}

YayoiSourceSet recogniseYayoiFolder(const std::string& folder, const YayoiRows& wanted) {
  YayoiSourceSet set;
  const std::vector<std::string> names = visibleFileNames(folder);
  auto isOfferedName = [](const std::string& name) {
    for (const SourceSlot& row : yayoiRows())
      if (name == row.fileName) return true;
    return false;
  };
  bool anyOpen = false;
  for (const SourceSlot& row : yayoiRows()) {
    if (!wanted[row.file]) continue;
    const std::string name(row.fileName);
    if (std::binary_search(names.begin(), names.end(), name))
      set.files[row.file] = joinPath(folder, name);
    else
      anyOpen = true;
  }
  // A folder of the offered names is read exactly as it always was.
  if (!anyOpen) return set;

  Claims claims;
  for (const std::string& name : names) {
    // Under an offered name a file belongs to that row, never to another.
    if (isOfferedName(name)) continue;
    RecognisedFile file = recogniseYayoiFile(joinPath(folder, name));
    if (file.role && wanted[*file.role] && set.files[*file.role].empty())
      claims[*file.role].push_back(file.path);
    else
      set.unused.push_back(std::move(file));
  }
  settleClaims(set, claims);
  for (const SourceSlot& row : yayoiRows()) {
    if (wanted[row.file] && !row.optional && set.files[row.file].empty() &&
        claims[row.file].empty())
      set.problems.push_back({SourceProblem::Kind::Missing, row.file, {}, missingLine(row)});
  }
  std::stable_sort(set.problems.begin(), set.problems.end(),
                   [](const auto& a, const auto& b) { return *a.role < *b.role; });
  return set;
}

YayoiSourceSet recogniseYayoiFiles(const std::vector<std::string>& paths) {
  YayoiSourceSet set;
  Claims claims;
  std::unordered_set<std::string> seen;
  for (const std::string& path : paths) {
    if (!seen.insert(path).second) continue;
    RecognisedFile file = recogniseYayoiFile(path);
    if (file.role) {
      claims[*file.role].push_back(path);
      continue;
    }
    set.problems.push_back(
        {SourceProblem::Kind::Foreign, std::nullopt, {path}, notFillingReason(file)});
    set.unused.push_back(std::move(file));
  }
  std::vector<SourceProblem> foreign = std::move(set.problems);
  set.problems.clear();
  settleClaims(set, claims);
  set.problems.insert(set.problems.end(), foreign.begin(), foreign.end());
  return set;
}

std::string sourceSetMessage(const YayoiSourceSet& set, const std::string& folder) {
  if (set.ok()) return "";
  std::string text = folder.empty() ? "弥生会計のファイルを特定できません。"
                                    : folder + "の弥生会計のファイルを特定できません。";
  for (const SourceProblem& p : set.problems) text += "\r\n" + p.message;
  if (folder.empty()) return text;
  // Files that look like reports but fill no row are the likely answer to a missing row.
  size_t hints = 0, more = 0;
  for (const RecognisedFile& f : set.unused) {
    if (f.kind != RecognisedFile::Kind::OtherReport && f.kind != RecognisedFile::Kind::Unreadable)
      continue;
    if (hints < kMaxHints) {
      text += "\r\n" + notFillingReason(f);
      ++hints;
    } else {
      ++more;
    }
  }
  if (more > 0) text += "\r\nほか" + std::to_string(more) + "件のファイルも取り込めません";
  return text;
}

std::vector<std::string> missingBlueFiles(const std::string& folder) {
  std::vector<std::string> missing;
  for (const char* name : kBlueFiles) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(joinPath(folder, name)), ec)) missing.push_back(name);
  }
  return missing;
}

std::vector<std::string> findBlueYearFolders(const std::string& folder) {
  if (missingBlueFiles(folder).empty()) return {folder};
  std::vector<std::string> found;
  for (const std::string& base : {folder, joinPath(folder, "Data")})
    for (const std::string& sub : visibleSubfolders(base))
      if (missingBlueFiles(sub).empty()) found.push_back(sub);
  return found;
}

}  // namespace ledra
