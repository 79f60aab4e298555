#include "import/blue_return_settings.hpp"

#include "platform/file_io.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr size_t kTaxOnByte = 208;
constexpr size_t kSimplifiedByte = 178;

}  // namespace

StepResult readBlueSettings(ConversionState& state, const std::string& path) {
  const auto bytes = readFileBytes(path);
  if (!bytes) {
    return StepResult::failure({path, 0, "ファイルを読み込めません"});
  }
  if (bytes->size() <= kTaxOnByte) {
    return StepResult::failure({path, 0,
                                "ファイルが短すぎます（" + std::to_string(bytes->size()) +
                                    "バイト、" + std::to_string(kTaxOnByte + 1) +
                                    "バイト以上必要です）"});
  }
  state.consumptionTaxOn = static_cast<unsigned char>((*bytes)[kTaxOnByte]) != 0;
  state.simplifiedTaxation = (*bytes)[kSimplifiedByte] != '0';
  return StepResult::success();
}

}  // namespace ledra
