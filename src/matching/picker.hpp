#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "matching/panel_rows.hpp"
#include "matching/wheel_scroll.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

struct ConversionState;
class Platform;
class SuggestionIndex;

inline constexpr std::string_view kPickerCaption = "Ledra　勘定科目選択";

// One row i of the picker's list F_Item: the option button Op_Code(i) (caption = the code)
// and the label KName(i) (the name).
struct PickerRowView {
  std::string code;      // Op_Code(i) caption
  bool enabled = false;  // Op_Code(i) enabled: a listed account no source account uses yet
  std::string name;      // KName(i) caption
  bool operator==(const PickerRowView&) const = default;
};

// The picker dialog LedraItem: C_AutoCollect "候補自動検出", T_Like and B_Like "検索",
// Op_Code(0..9) with KName(0..9), VScroll_LedraItem, B_Exec "OK", B_Cancel "キャンセル".
struct PickerView {
  std::string caption{kPickerCaption};  // the form's caption
  bool autoCollect = false;             // C_AutoCollect ticked
  std::string searchText;               // T_Like
  std::array<PickerRowView, kPanelRows> rows;
  int32_t selectedRow = -1;  // the Op_Code(i) that is chosen; -1 when none
  int32_t scrollMax = 0;     // VScroll_LedraItem Max
  int32_t scrollValue = 0;   // VScroll_LedraItem Value
};

// The picker for one source account: lists the standard accounts ten at a time, narrowed by
// the first character of the source name or by a search text, and maps the account onto the
// chosen one. Opening it is the constructor followed by load().
class PickerPresenter {
 public:
  // sourceName is the source account name of the panel row the picker was opened for.
  PickerPresenter(ConversionState& state, Platform& platform, int32_t accountIndex,
                  std::string sourceName);

  const PickerView& view() const { return view_; }
  int32_t accountIndex() const { return accountIndex_; }

  // With suggestions, 候補自動検出 lists the most alike standard accounts first.
  void setSuggestions(const SuggestionIndex* index) { suggestions_ = index; }
  // The form's load: the listing, from the first row.
  void load();
  // C_AutoCollect click: ticked lists the suggestions, then the accounts whose name holds the
  // first character of the source name; unticked lists them all.
  void setAutoCollect(bool ticked);
  // T_Like typed into; B_Like "検索" lists the accounts whose name holds the text.
  void setSearchText(std::string text);
  void search();
  // VScroll_LedraItem change or scroll; a negative value counts as 0.
  void scrollTo(int32_t value);
  // A wheel event over the dialog. The middle button's events are raised too; nothing acts
  // on them.
  void wheel(int delta);
  void middleButtonDown(float /*x*/, float /*y*/) {}
  void middleButtonUp(float /*x*/, float /*y*/) {}
  // Op_Code(i) click. The choice belongs to the row: scrolling moves it to the entry that
  // then stands in that row.
  void select(int32_t row);
  // Arrow, page and Ctrl+Home/End keys over the list: the choice moves to the next account
  // that can be chosen in that direction and the list scrolls to show it; with none to choose
  // the list only scrolls.
  void moveSelection(RowKey key);
  // Whether a row is chosen that OK would assign.
  bool hasChoice() const { return rowChosen(view_.selectedRow); }
  // B_Exec "OK": refuses a code some account already uses (with a message), otherwise maps
  // the account and carries the mapping to its balance rows and sub-accounts. True when the
  // account was mapped. The dialog closes either way.
  bool confirm();

 private:
  void list(std::string_view needle, bool everything);
  // Lists these standard accounts (by candidate index), in this order.
  void listCandidates(const std::vector<int32_t>& candidates);
  void draw();
  bool rowChosen(int32_t row) const;

  ConversionState& state_;
  Platform& platform_;
  int32_t accountIndex_;
  std::string sourceName_;
  const SuggestionIndex* suggestions_ = nullptr;
  std::vector<PickerEntry> entries_;  // the standard accounts listed, with their Taken flags
  PickerView view_;
};

}  // namespace ledra
