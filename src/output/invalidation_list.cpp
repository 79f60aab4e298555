#include "output/invalidation_list.hpp"

#include <exception>
#include <string>
#include <utility>

#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {
constexpr std::string_view kFileName = "無効化一覧.txt";
}

StepResult writeInvalidationList(const ConversionState& state, Platform& platform,
                                 OutputTarget& out) {
  const std::string path = outputPath(out.outputFolder(), kFileName);
  ErrorDetail failure;
  try {
    beginWriterProgress(platform, kFileName, state.workAccounts.count());
    Cp932TextBuilder text;
    for (int32_t i = 0; i < state.workAccounts.count(); ++i) {
      const WorkAccount& account = state.workAccounts[i];
      // Written whole: the list is for the user to read, not for the service's import.
      if (!account.valid) text.line(quotedRecord({account.sourceCode, account.sourceName}));
      platform.progressSetValue(i);
    }
    std::string error;
    if (out.put(kFileName, text.bytes(), &error)) return StepResult::success();
    failure = ErrorDetail{path, 0, writeFailureReason(path, error)};
  } catch (const std::exception& e) {
    failure = writerFailure(path, e);
  }
  platform.progressHide();
  return StepResult::failure(std::move(failure));
}

}  // namespace ledra
