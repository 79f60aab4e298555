#include "app/console_platform.hpp"

#include <unistd.h>

#include <algorithm>

#include "base/text.hpp"

namespace ledra {

namespace {
bool isErrorTitle(const std::string& title) {
  return title == "エラー" || title == "Error" || title == "Failed" || title == "保存失敗" ||
         title == "登録不可";
}
}  // namespace

ConsolePlatform::ConsolePlatform(std::FILE* out, std::FILE* err)
    : out_(out), err_(err), tty_(::isatty(::fileno(err)) != 0) {}

ConsolePlatform::~ConsolePlatform() { clearProgressLine(); }

MsgResult ConsolePlatform::messageBox(const MessageRequest& request) {
  clearProgressLine();
  std::FILE* to = (isErrorTitle(request.title) || request.icon == MsgIcon::Critical) ? err_ : out_;
  std::string text = replaceAll(request.text, "\r\n", "\n");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  std::fprintf(to, "%s\n", text.c_str());
  std::fflush(to);
  switch (request.buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
      return MsgResult::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
      return MsgResult::Yes;
    case MsgButtons::SaveDiscardCancel:
      return MsgResult::Cancel;  // nothing is closed without a person to answer
  }
  return MsgResult::Ok;
}

std::optional<std::string> ConsolePlatform::inputBox(const InputRequest&) { return std::nullopt; }
std::optional<std::string> ConsolePlatform::openFileDialog(const FileDialogRequest&) {
  return std::nullopt;
}
std::optional<std::string> ConsolePlatform::saveFileDialog(const FileDialogRequest&) {
  return std::nullopt;
}
std::string ConsolePlatform::browseFolder(const std::string&) { return {}; }

void ConsolePlatform::progressShow() {
  progressVisible_ = true;
  drawProgress(true);
}

void ConsolePlatform::progressHide() {
  progressVisible_ = false;
  clearProgressLine();
}

void ConsolePlatform::progressSetCaption(const std::string& caption) {
  caption_ = caption;
  lastPercent_ = -1;
  drawProgress(true);
}

void ConsolePlatform::progressSetMax(int64_t max) {
  max_ = max;
  drawProgress(false);
}

void ConsolePlatform::progressSetValue(int64_t value) {
  value_ = value;
  drawProgress(false);
}

void ConsolePlatform::drawProgress(bool force) {
  if (!tty_ || !progressVisible_) return;
  const int percent = max_ > 0 ? static_cast<int>(value_ * 100 / max_) : 0;
  if (!force && percent == lastPercent_) return;
  lastPercent_ = percent;
  const int width = 30;
  const int filled = std::min(width, std::max(0, percent * width / 100));
  std::fprintf(err_, "\r\x1b[K%s [%s%s] %3d%%", caption_.c_str(), std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), std::min(100, std::max(0, percent)));
  std::fflush(err_);
  lineDrawn_ = true;
}

void ConsolePlatform::clearProgressLine() {
  if (!lineDrawn_) return;
  std::fprintf(err_, "\r\x1b[K");
  std::fflush(err_);
  lineDrawn_ = false;
}

}  // namespace ledra
