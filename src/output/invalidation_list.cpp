#include "output/invalidation_list.hpp"

#include <exception>
#include <string>

#include "output/output_common.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {
constexpr std::string_view kFileName = "無効化一覧.txt";
}

bool writeInvalidationList(ConversionState& state, Platform& platform) {
  const std::string path = outputPath(state, kFileName);
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
    if (!commitOutputFile(state, kFileName, text.bytes(), &error)) {
      platform.progressHide();
      state.lastErrorDetail = ErrorDetail{path, 0, writeFailureReason(path, error)};
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    platform.progressHide();
    state.lastErrorDetail =
        ErrorDetail{path, 0,
                    exceptionReason(e) == kOutOfMemory
                        ? std::string(kOutOfMemory)
                        : std::string("出力中にエラーが発生しました（") + e.what() + "）"};
    return false;
  }
}

}  // namespace ledra
