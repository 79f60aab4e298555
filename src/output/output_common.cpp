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

std::string outputPath(const ConversionState& state, std::string_view fileName) {
  std::string path = state.outputFolder;
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

ServiceCsvFile::ServiceCsvFile(const ConversionState& state, std::string_view fileName)
    : path_(outputPath(state, fileName)) {
  text_.line(state.ledraUserCode);
  text_.line(state.ledraUserName);
}

bool commitOutputFile(const ConversionState& state, std::string_view fileName,
                      std::string_view bytes, std::string* error) {
  if (state.outputSink) return state.outputSink(fileName, bytes, error);
  return writeFileAtomic(outputPath(state, fileName), bytes, error);
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

bool writeServiceFile(ConversionState& state, Platform& platform, std::string_view fileName,
                      const std::function<void(ServiceCsvFile&)>& fill) {
  const std::string path = outputPath(state, fileName);
  auto fail = [&](std::string reason) {
    platform.progressHide();
    state.lastErrorDetail = ErrorDetail{path, 0, std::move(reason)};
    return false;
  };
  try {
    ServiceCsvFile file(state, fileName);
    fill(file);
    std::string error;
    if (!commitOutputFile(state, fileName, file.bytes(), &error))
      return fail(writeFailureReason(path, error));
    return true;
  } catch (const std::exception& e) {
    const std::string why = exceptionReason(e);
    return fail(why == kOutOfMemory ? why : "出力中にエラーが発生しました（" + why + "）");
  }
}

}  // namespace ledra
