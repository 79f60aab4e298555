#include "output/output_common.hpp"

#include <algorithm>

#include "output/conversion_report.hpp"
#include "platform/cp932.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

// True when the first width bytes end in the middle of a double-byte character.
bool cutSplitsCharacter(std::string_view sjis, size_t width) {
  size_t i = 0;
  while (i < width) {
    if (isCp932LeadByte(static_cast<unsigned char>(sjis[i]))) {
      if (i + 1 >= width) return true;
      i += 2;
    } else {
      ++i;
    }
  }
  return false;
}

std::string withoutNul(std::string s) {
  std::erase(s, '\0');
  return s;
}

// The report of the conversion under way on this thread, and the cuts fitBytes made for the
// record being built, which its fields then name.
thread_local ConversionReport* tReport = nullptr;
thread_local std::vector<std::pair<std::string, std::string>> tPendingCuts;
thread_local bool tFillingServiceFile = false;

void noteCut(std::string_view before, const std::string& after) {
  if (tReport && tFillingServiceFile) tPendingCuts.emplace_back(std::string(before), after);
}

struct FillingServiceFile {
  FillingServiceFile() {
    tFillingServiceFile = true;
    tPendingCuts.clear();
  }
  ~FillingServiceFile() {
    tFillingServiceFile = false;
    tPendingCuts.clear();
  }
};

}  // namespace

ReportScope::ReportScope(ConversionReport& report) : previous_(tReport) {
  tReport = &report;
  tPendingCuts.clear();
}

ReportScope::~ReportScope() {
  tReport = previous_;
  tPendingCuts.clear();
}

void ServiceCsvFile::record(const std::vector<std::string>& fields) {
  const std::string utf8 = quotedRecord(fields);
  const size_t start = text_.bytes().size();
  text_.line(utf8);
  ++records_;
  if (!tReport) return;
  const auto place = [this] { return ReportPlace{fileName_, records_, true}; };
  for (const auto& [before, after] : tPendingCuts) {
    const auto it = std::find(fields.begin(), fields.end(), after);
    const int64_t field = it == fields.end() ? 0 : (it - fields.begin()) + 1;
    tReport->textCut(place(), field ? "項目" + std::to_string(field) : std::string("項目"), before,
                     after);
  }
  tPendingCuts.clear();
  // Texts typed here rather than read from a CP932 file may hold characters it lacks. Each
  // such character is written as one "?" (a byte no double-byte character ends with), so
  // the fields are looked at one by one only when the record gained some.
  const std::string_view written = std::string_view(text_.bytes()).substr(start);
  if (std::count(written.begin(), written.end(), '?') == std::count(utf8.begin(), utf8.end(), '?'))
    return;
  for (size_t i = 0; i < fields.size(); ++i)
    if (lacksCp932Characters(fields[i]))
      tReport->questionMarks(place(), "項目" + std::to_string(i + 1), fields[i]);
}

std::string fitBytes(std::string_view text, int width) {
  if (width < 0) width = 0;
  // A CP932 form is never longer than the UTF-8 one, so a short text needs no encoding.
  if (text.size() <= static_cast<size_t>(width)) return withoutNul(std::string(text));
  const std::string sjis = encodeCp932(text);
  if (sjis.size() <= static_cast<size_t>(width)) return withoutNul(std::string(text));
  size_t keep = static_cast<size_t>(width);
  if (cutSplitsCharacter(sjis, keep)) --keep;
  std::string cut = withoutNul(decodeCp932(std::string_view(sjis).substr(0, keep)));
  noteCut(text, cut);
  return cut;
}

std::string fitBytesPadded(std::string_view text, int width) {
  if (width < 0) width = 0;
  if (text.size() <= static_cast<size_t>(width)) return std::string(text);
  const std::string sjis = encodeCp932(text);
  if (sjis.size() <= static_cast<size_t>(width)) return std::string(text);
  size_t keep = static_cast<size_t>(width);
  std::string cut = cutSplitsCharacter(sjis, keep)
                        ? decodeCp932(std::string_view(sjis).substr(0, keep - 1)) + " "
                        : decodeCp932(std::string_view(sjis).substr(0, keep));
  noteCut(text, cut);
  return cut;
}

std::string outputPath(std::string_view folder, std::string_view fileName) {
  std::string path(folder);
  path += '/';
  path.append(fileName);
  return path;
}

std::string quotedRecord(const std::vector<std::string>& fields) {
  size_t size = 3 * fields.size();
  for (const std::string& f : fields) size += f.size();
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += '"';
    // Whole runs between quotes: a character at a time cost most of the service files' time.
    std::string_view rest = fields[i];
    for (size_t q; (q = rest.find('"')) != std::string_view::npos; rest.remove_prefix(q + 1)) {
      out.append(rest.data(), q + 1);
      out += '"';
    }
    out += rest;
    out += '"';
  }
  return out;
}

bool FolderOutput::put(std::string_view fileName, std::string_view bytes, std::string* error) {
  return writeFileAtomic(outputPath(folder_, fileName), bytes, error);
}

ServiceCsvFile::ServiceCsvFile(const ConversionState& state, std::string_view fileName)
    : fileName_(fileName) {
  text_.line(state.ledraUserCode);
  text_.line(state.ledraUserName);
}

std::string writeFailureReason(const std::string& path, const std::string& error) {
  std::string_view why = error;
  if (why.starts_with(path + ": ")) why.remove_prefix(path.size() + 2);
  return "ファイルを書き込めません（" + std::string(why) + "）";
}

void beginWriterProgress(Platform& platform, std::string_view fileName, int64_t max) {
  platform.progressShow();
  platform.progressSetCaption(std::string(fileName) + "出力中");
  platform.progressSetValue(0);
  platform.progressSetMax(max);
}

ErrorDetail writerFailure(const std::string& path, const std::exception& e) {
  const std::string why = exceptionReason(e);
  return {path, 0, why == kOutOfMemory ? why : "出力中にエラーが発生しました（" + why + "）"};
}

StepResult writeServiceFile(const ConversionState& state, Platform& platform, OutputTarget& out,
                            std::string_view fileName,
                            const std::function<void(ServiceCsvFile&)>& fill) {
  const std::string path = outputPath(out.outputFolder(), fileName);
  ErrorDetail failure;
  try {
    ServiceCsvFile file(state, fileName);
    {
      const FillingServiceFile filling;
      fill(file);
    }
    std::string error;
    if (out.put(fileName, file.bytes(), &error)) {
      if (tReport) tReport->facts().recordsWritten.emplace_back(fileName, file.records());
      return StepResult::success();
    }
    failure = ErrorDetail{path, 0, writeFailureReason(path, error)};
  } catch (const std::exception& e) {
    failure = writerFailure(path, e);
  }
  platform.progressHide();
  return StepResult::failure(std::move(failure));
}

}  // namespace ledra
