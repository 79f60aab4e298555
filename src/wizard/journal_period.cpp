#include "wizard/journal_period.hpp"

namespace ledra {

std::optional<Ymd> journalPeriodEnd(const Ymd& start) {
  if (!isValidYmd(start.year, start.month, start.day)) return std::nullopt;
  auto next = makeDate(start.year + 1, start.month, start.day);
  if (!next) next = makeDate(start.year + 1, start.month, start.day - 1);
  if (!next) return std::nullopt;
  return toYmd(Date{next->serial - 1});
}

}  // namespace ledra
