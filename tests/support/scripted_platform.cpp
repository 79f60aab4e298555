#include "support/scripted_platform.hpp"

#include <filesystem>
#include <stdexcept>

namespace ledra::testing {

ScriptedPlatform::ScriptedPlatform() {
  documents = ownDir_.path() + "/Documents";
  home = ownDir_.path() + "/home";
  temp = ownDir_.path() + "/tmp";
  std::filesystem::create_directories(documents);
  std::filesystem::create_directories(temp);
}

MsgResult ScriptedPlatform::messageBox(const MessageRequest& request) {
  messages.push_back(request);
  if (!messageAnswers.empty()) {
    MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
  }
  switch (request.buttons) {
    case MsgButtons::Ok:
      return MsgResult::Ok;
    case MsgButtons::OkCancel:
      return request.defaultButton == 2 ? MsgResult::Cancel : MsgResult::Ok;
    case MsgButtons::YesNo:
      return request.defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
    case MsgButtons::YesNoCancel:
    case MsgButtons::SaveDiscardCancel:
      return request.defaultButton == 3   ? MsgResult::Cancel
             : request.defaultButton == 2 ? MsgResult::No
                                          : MsgResult::Yes;
  }
  return MsgResult::Ok;
}

namespace {
template <class T>
T takeFront(std::deque<T>& q, T fallback) {
  if (q.empty()) return fallback;
  T v = std::move(q.front());
  q.pop_front();
  return v;
}
}  // namespace

std::optional<std::string> ScriptedPlatform::inputBox(const InputRequest& request) {
  inputRequests.push_back(request);
  return takeFront<std::optional<std::string>>(inputAnswers, std::nullopt);
}

std::optional<std::string> ScriptedPlatform::openFileDialog(const FileDialogRequest& request) {
  openRequests.push_back(request);
  return takeFront<std::optional<std::string>>(openAnswers, std::nullopt);
}

std::optional<std::string> ScriptedPlatform::saveFileDialog(const FileDialogRequest& request) {
  saveRequests.push_back(request);
  return takeFront<std::optional<std::string>>(saveAnswers, std::nullopt);
}

std::string ScriptedPlatform::browseFolder(const std::string& prompt) {
  folderPrompts.push_back(prompt);
  return takeFront<std::string>(folderAnswers, std::string());
}

std::string ScriptedPlatform::browseFolderFrom(const std::string& prompt,
                                               const std::string& startFolder) {
  folderStarts.push_back(startFolder);
  return browseFolder(prompt);
}

std::string ScriptedPlatform::rememberedFolder(RememberedFolder which) {
  const auto found = remembered.find(which);
  return found == remembered.end() ? std::string() : found->second;
}

void ScriptedPlatform::rememberFolder(RememberedFolder which, const std::string& folder) {
  remembered[which] = folder;
}

void ScriptedPlatform::setBusy(bool b) {
  if (b != busy) ++busyChanges;
  busy = b;
}

void ScriptedPlatform::progressShow() {
  progressVisible = true;
  progress.push_back({ProgressEvent::Show, {}, 0});
}

void ScriptedPlatform::progressHide() {
  progressVisible = false;
  progress.push_back({ProgressEvent::Hide, {}, 0});
}

void ScriptedPlatform::progressSetCaption(const std::string& caption) {
  progressCaption = caption;
  progress.push_back({ProgressEvent::Caption, caption, 0});
}

void ScriptedPlatform::progressSetMax(int64_t max) {
  progressMax = max;
  progress.push_back({ProgressEvent::Max, {}, max});
}

void ScriptedPlatform::progressSetValue(int64_t value) {
  progressValue = value;
  if (recordProgressValues) progress.push_back({ProgressEvent::Value, {}, value});
}

ArchiveResult ScriptedPlatform::runArchive(const ArchiveRequest& request,
                                           PreparedMembers* prepared) {
  archiveRequests.push_back(request);
  if (archiver) return {archiver(request), 0, {}};
  return PosixPlatform::runArchive(request, prepared);
}

std::vector<std::string> ScriptedPlatform::messageTexts() const {
  std::vector<std::string> out;
  for (const auto& m : messages) out.push_back(m.text);
  return out;
}

}  // namespace ledra::testing
