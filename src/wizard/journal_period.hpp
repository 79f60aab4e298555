#pragma once

#include <optional>

#include "base/dates.hpp"

namespace ledra {

// The end of a one-year journal period: the day before the same day a year later, or for
// 29 February the day before 28 February of the next year (2008/2/29 -> 2009/2/27).
std::optional<Ymd> journalPeriodEnd(const Ymd& start);

}  // namespace ledra
