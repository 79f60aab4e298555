#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/version.hpp"

namespace ledra {

struct ConversionState;
class Platform;

inline constexpr const char* kProgramCaption = "Ledraデータコンバート Ver" LEDRA_VERSION_TEXT;
inline constexpr const char* kPackageNames = "弥生会計 ブルーリターン … …";

struct ConvSelectView {
  std::string caption;
  std::string message;
  std::array<std::string, 4> packageLabels;
  std::array<bool, 4> packageEnabled{};
  std::string continueCaption;
  std::string exitCaption;
};

// What the start form asks the application to do after an event.
enum class StartAction { Stay, OpenMain, Exit };

// How the main form starts: from a chosen package, or on restored work.
enum class StartMode { Normal, Restored };

// The start form: choose the package or restore saved work.
class ConvSelectPresenter {
 public:
  ConvSelectPresenter(ConversionState& state, Platform& platform);
  void load();
  const ConvSelectView& view() const { return view_; }
  // B_Ptn(i): sets the package; OpenMain for the enabled buttons.
  StartAction clickPackage(int index);
  // B_Continue: restore, then OpenMain on success.
  StartAction clickContinue();
  StartAction clickExit() { return StartAction::Exit; }
  StartMode startMode() const { return startMode_; }

 private:
  ConversionState& state_;
  Platform& platform_;
  ConvSelectView view_;
  StartMode startMode_ = StartMode::Normal;
};

}  // namespace ledra
