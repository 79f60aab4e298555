// Latency of the mapping screen's operations on a saved full-size work state:
// interaction STATE_FILE. Prints one line per operation: name, count, then mean and max in µs
// of wall-clock time and of CPU time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "answering_platform.hpp"
#include "matching/mapping_operations.hpp"
#include "matching/picker.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"
#include "wizard/mapping_presenter.hpp"
#include "wizard/step_flow.hpp"

namespace {

// Wall-clock time shows what the user waits; the thread's CPU time is the operation's own cost,
// which a busy machine does not inflate.
class Timings {
 public:
  template <class F>
  void time(F&& op) {
    const double cpu0 = threadCpuMicros();
    const auto start = std::chrono::steady_clock::now();
    op();
    const auto end = std::chrono::steady_clock::now();
    cpu_.push_back(threadCpuMicros() - cpu0);
    wall_.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  void print(const char* name) const {
    std::printf("%s %zu %.2f %.2f %.2f %.2f\n", name, wall_.size(), mean(wall_), max(wall_),
                mean(cpu_), max(cpu_));
  }

 private:
  static double threadCpuMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
  }
  static double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
  }
  static double max(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
  }

  std::vector<double> wall_;
  std::vector<double> cpu_;
};

int fail(const char* what) {
  std::fprintf(stderr, "interaction: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ledra;
  if (argc != 2) return fail("usage: interaction STATE_FILE");
  bench::AnsweringPlatform platform;
  ConversionState state;
  if (!restoreWorkStateFromFile(state, platform, argv[1])) return fail("cannot restore the state");
  state.screenState = Screen::Mapping;
  const int32_t accounts = state.workAccounts.count();
  if (accounts == 0 || state.workSubAccounts.count() == 0) return fail("the state is empty");

  // Account-code decisions: each account loses its code (the box emptied) and gets it back
  // (typed, Enter, OK to the question).
  Timings clears, assigns;
  for (int k = 0; k < 1000; ++k) {
    const int32_t i = static_cast<int32_t>((static_cast<int64_t>(k) * 7919) % accounts);
    const std::string code = state.workAccounts[i].ledraCode;
    MappingResult r1, r2;
    clears.time([&] { r1 = enterAccountCode(state, platform, i, ""); });
    assigns.time([&] { r2 = enterAccountCode(state, platform, i, code); });
    if (!r1.applied() || !r2.applied()) return fail("an account-code decision was refused");
  }

  // The 無効 box on accounts that are not in use: invalidated and valid again.
  Timings validity;
  std::vector<int32_t> idle;
  for (int32_t i = 0; i < accounts; ++i)
    if (!state.workAccounts[i].inUse) idle.push_back(i);
  for (int k = 0; k < 500 && !idle.empty(); ++k) {
    const int32_t i = idle[static_cast<size_t>(k) % idle.size()];
    MappingResult r1, r2;
    validity.time([&] { r1 = setAccountValid(state, platform, i, false); });
    validity.time([&] { r2 = setAccountValid(state, platform, i, true); });
    if (!r1.applied() || !r2.applied()) return fail("the 無効 box was refused");
  }

  // Sub-account codes: the parent chosen in the combo, the code typed into the row, Enter.
  std::unordered_map<std::string, std::string> codeOfName;
  for (const WorkAccount& a : state.workAccounts)
    codeOfName.try_emplace(a.sourceName, a.sourceCode);
  Timings subCodes;
  const int32_t subs = state.workSubAccounts.count();
  for (int k = 0; k < 1000; ++k) {
    const int32_t r = static_cast<int32_t>((static_cast<int64_t>(k) * 104729) % subs);
    const WorkSubAccount sub = state.workSubAccounts[r];
    MappingResult result;
    subCodes.time([&] {
      result = setSubAccountCode(state, codeOfName[sub.col(2)], sub.subAccountName, sub.newSubCode);
    });
    if (!result.applied()) return fail("a sub-account code was refused");
  }

  // The account view redraw as the scroll bar moves: the rows, the remaining count, the scroll
  // range, then the parent choices and the next-button rule it ends with.
  MappingPresenter mapping(state, platform);
  mapping.show();
  const int32_t maxTop = mapping.view().accounts.scrollMax;
  Timings redraws;
  for (int k = 0; k < 1000; ++k) {
    const int32_t top = static_cast<int32_t>((static_cast<int64_t>(k) * 7919) % (maxTop + 1));
    redraws.time([&] { mapping.scrollAccounts(top); });
  }

  // A wheel notch and a key step (Down in the last row) as the screen delivers them: the
  // list moves one row through the same rule, at the design size and in a maximised window.
  Timings wheelNotches, keySteps;
  for (const int32_t rows : {kPanelRows, 40}) {
    mapping.setVisibleRows(rows);
    mapping.scrollAccounts(0);
    for (int k = 0; k < 500; ++k) wheelNotches.time([&] { mapping.wheel(-120); });
    for (int k = 0; k < 500; ++k)
      keySteps.time([&] { mapping.pressRowKey(rows - 1, RowKey::Down); });
  }
  mapping.setVisibleRows(kPanelRows);

  // A code typed into the panel and Enter: the decision, its redraw and the focus move.
  Timings panelCodes;
  for (int k = 0; k < 200; ++k) {
    const int32_t row = k % 9;
    const int32_t account = mapping.view().accounts.rows[static_cast<size_t>(row)].accountIndex;
    const std::string code = state.workAccounts[account].ledraCode;
    mapping.changeAccountCode(row, "");  // unmapped at once
    mapping.changeAccountCode(row, code);
    panelCodes.time([&] { mapping.pressEnterInAccountCode(row); });
    if (state.workAccounts[account].ledraCode != code) return fail("a panel code was refused");
  }

  // The picker's listing: every standard account, then those holding the first character of
  // the source name.
  Timings listings;
  for (int k = 0; k < 100; ++k) {
    const int32_t i = static_cast<int32_t>((static_cast<int64_t>(k) * 7919) % accounts);
    PickerPresenter picker(state, platform, i, state.workAccounts[i].sourceName);
    listings.time([&] { picker.load(); });
    listings.time([&] { picker.setAutoCollect(true); });
  }

  Timings next;
  bool ready = true;
  for (int k = 0; k < 100; ++k) next.time([&] { ready = evaluateNextButton(state) && ready; });
  if (!ready) return fail("the state is not ready after the changes");

  clears.print("account_code_clear");
  assigns.print("account_code_assign");
  validity.print("account_valid_toggle");
  subCodes.print("sub_account_code");
  next.print("update_next_button");
  redraws.print("account_view_redraw");
  panelCodes.print("account_code_panel");
  wheelNotches.print("wheel_notch");
  keySteps.print("key_step");
  listings.print("picker_listing");
  return 0;
}
