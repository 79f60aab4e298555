#include "wizard/conv_select_presenter.hpp"

#include "base/text.hpp"
#include "platform/platform.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"

namespace ledra {

namespace {

const std::vector<std::string>& packageNames() {
  static const std::vector<std::string> names = splitPlain(kPackageNames, " ");
  return names;
}

}  // namespace

ConvSelectPresenter::ConvSelectPresenter(ConversionState& state, Platform& platform)
    : state_(state), platform_(platform) {}

void ConvSelectPresenter::load() {
  view_.caption = kProgramCaption;
  view_.message = "コンバート対象の会計ソフトを選択して下さい。";
  view_.continueCaption = "保存データを読込む";
  view_.exitCaption = "終了";
  startMode_ = StartMode::Normal;
  state_.baseFolder = platform_.documentsFolder();
  // Only the first two packages can be converted; the others are shown as to come.
  view_.packageEnabled = {true, true, false, false};
  for (size_t i = 0; i < view_.packageLabels.size(); ++i)
    view_.packageLabels[i] = packageNames()[i];
}

StartAction ConvSelectPresenter::clickPackage(int index) {
  if (index < 0 || index > 3 || !view_.packageEnabled[static_cast<size_t>(index)])
    return StartAction::Stay;
  state_.sourcePackage = static_cast<SourcePackage>(index + 1);
  return StartAction::OpenMain;
}

StartAction ConvSelectPresenter::clickContinue() {
  if (!restoreWorkState(state_, platform_)) return StartAction::Stay;
  platform_.message("保存情報の読込みを完了しました。", "読込完了");
  startMode_ = StartMode::Restored;
  return StartAction::OpenMain;
}

}  // namespace ledra
