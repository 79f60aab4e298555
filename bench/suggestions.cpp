// Ranking suggestions for every account of a saved full-size work state: suggestions
// STATE_FILE. The accounts lose their mappings and a third of their names are varied (a
// remark, a blank, half-width digits to full-width), so that every account is ranked
// against the whole chart. Prints one line per measurement: name, count, then mean and max in
// milliseconds of wall-clock time and of CPU time.
#include "matching/suggestions.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "answering_platform.hpp"
#include "matching/mapping_operations.hpp"
#include "state/conversion_state.hpp"
#include "state/work_state.hpp"

namespace {

double threadCpuMillis() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Sample {
  double wall;
  double cpu;
};

template <class F>
Sample measure(F&& op) {
  const double cpu0 = threadCpuMillis();
  const auto start = std::chrono::steady_clock::now();
  op();
  const auto end = std::chrono::steady_clock::now();
  return {std::chrono::duration<double, std::milli>(end - start).count(), threadCpuMillis() - cpu0};
}

void print(const char* name, const std::vector<Sample>& samples) {
  double wall = 0, cpu = 0, wallMax = 0, cpuMax = 0;
  for (const Sample& s : samples) {
    wall += s.wall;
    cpu += s.cpu;
    wallMax = std::max(wallMax, s.wall);
    cpuMax = std::max(cpuMax, s.cpu);
  }
  const double n = static_cast<double>(samples.size());
  std::printf("%s %zu %.2f %.2f %.2f %.2f\n", name, samples.size(), wall / n, wallMax, cpu / n,
              cpuMax);
}

int fail(const char* what) {
  std::fprintf(stderr, "suggestions: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ledra;
  if (argc != 2) return fail("usage: suggestions STATE_FILE");
  bench::AnsweringPlatform platform;
  ConversionState state;
  if (!restoreWorkStateFromFile(state, platform, argv[1])) return fail("cannot restore the state");
  const int32_t accounts = state.workAccounts.count();
  for (int32_t i = 0; i < accounts; ++i) {
    clearStandardAccount(state, i);
    std::string& name = state.workAccounts[i].sourceName;
    if (i % 3 == 1) name += "（本店）";
    if (i % 3 == 2 && name.size() > 3) name.insert(3, "　");
  }

  std::vector<Sample> ranking;
  size_t suggested = 0;
  for (int k = 0; k < 10; ++k) {
    ranking.push_back(measure([&] {
      const SuggestionIndex index(state);
      suggested = 0;
      for (const AccountSuggestions& a : suggestUnmatched(state, index))
        suggested += a.suggestions.empty() ? 0 : 1;
    }));
  }
  if (suggested * 2 < static_cast<size_t>(accounts))
    return fail("fewer than half of the accounts got a suggestion");

  ConversionState accepting = state;
  AcceptSummary summary;
  const Sample accept = measure([&] { summary = acceptSuggestions(accepting); });
  if (summary.accepted * 2 < accounts) return fail("fewer than half of the suggestions accepted");

  std::printf("# %d accounts, %d standard accounts, %zu with a suggestion, %d accepted\n", accounts,
              state.standardAccountCandidates.count(), suggested, summary.accepted);
  print("suggest_all_accounts", ranking);
  print("accept_suggestions", {accept});
  return 0;
}
