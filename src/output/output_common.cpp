#include "output/output_common.hpp"

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

}  // namespace

std::string fitBytes(std::string_view text, int width) {
  if (width < 0) width = 0;
  // A CP932 form is never longer than the UTF-8 one, so a short text needs no encoding.
  if (text.size() <= static_cast<size_t>(width)) return withoutNul(std::string(text));
  const std::string sjis = encodeCp932(text);
  if (sjis.size() <= static_cast<size_t>(width)) return withoutNul(std::string(text));
  size_t keep = static_cast<size_t>(width);
  if (cutSplitsCharacter(sjis, keep)) --keep;
  return withoutNul(decodeCp932(std::string_view(sjis).substr(0, keep)));
}

std::string fitBytesPadded(std::string_view text, int width) {
  if (width < 0) width = 0;
  if (text.size() <= static_cast<size_t>(width)) return std::string(text);
  const std::string sjis = encodeCp932(text);
  if (sjis.size() <= static_cast<size_t>(width)) return std::string(text);
  size_t keep = static_cast<size_t>(width);
  if (cutSplitsCharacter(sjis, keep)) {
    return decodeCp932(std::string_view(sjis).substr(0, keep - 1)) + " ";
  }
  return decodeCp932(std::string_view(sjis).substr(0, keep));
}

std::string outputPath(std::string_view folder, std::string_view fileName) {
  std::string path(folder);
  path += '/';
  path.append(fileName);
  return path;
}

std::string quotedRecord(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += '"';
    for (char c : fields[i]) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

bool FolderOutput::put(std::string_view fileName, std::string_view bytes, std::string* error) {
  return writeFileAtomic(outputPath(folder_, fileName), bytes, error);
}

ServiceCsvFile::ServiceCsvFile(const ConversionState& state) {
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
    ServiceCsvFile file(state);
    fill(file);
    std::string error;
    if (out.put(fileName, file.bytes(), &error)) return StepResult::success();
    failure = ErrorDetail{path, 0, writeFailureReason(path, error)};
  } catch (const std::exception& e) {
    failure = writerFailure(path, e);
  }
  platform.progressHide();
  return StepResult::failure(std::move(failure));
}

}  // namespace ledra
