#include "state/account_links.hpp"

namespace ledra {

const std::string AccountLinks::kNone;

AccountLinks::AccountLinks(const ConversionData& data) : data_(data) {
  for (int32_t i = 0; i < data.workAccounts.count(); ++i) {
    const WorkAccount& a = data.workAccounts[i];
    if (!a.hasSubAccounts || a.subAccountGroupNo <= 0) continue;
    const auto group = static_cast<size_t>(a.subAccountGroupNo);
    if (group >= byGroup_.size()) byGroup_.resize(group + 1, 0);
    // Group numbers are given once each; a restored file that repeats one keeps the last.
    byGroup_[group] = i + 1;
  }
}

const WorkAccount* AccountLinks::accountOf(const WorkAccountBalance& row) const {
  if (!byCodeAndName_) {
    byCodeAndName_ = indexBy(data_.workAccounts, TextIndex::Keep::First, [](const WorkAccount& a) {
      return std::pair<std::string_view, std::string_view>{a.sourceCode, a.sourceName};
    });
  }
  const std::optional<int32_t> i =
      byCodeAndName_->find(row.accountSourceCode, row.accountSourceName);
  return i ? &data_.workAccounts[*i] : nullptr;
}

const WorkAccount* AccountLinks::parentOf(int32_t subAccountGroupNo) const {
  if (subAccountGroupNo <= 0 || static_cast<size_t>(subAccountGroupNo) >= byGroup_.size())
    return nullptr;
  const int32_t i = byGroup_[static_cast<size_t>(subAccountGroupNo)];
  return i ? &data_.workAccounts[i - 1] : nullptr;
}

const std::string& AccountLinks::ledraCodeOf(const WorkAccountBalance& row) const {
  const WorkAccount* a = accountOf(row);
  return a ? a->ledraCode : kNone;
}

const std::string& AccountLinks::ledraNameOf(const WorkAccountBalance& row) const {
  const WorkAccount* a = accountOf(row);
  return a ? a->ledraName : kNone;
}

bool AccountLinks::validOf(const WorkAccountBalance& row) const {
  const WorkAccount* a = accountOf(row);
  return a && a->valid;
}

bool AccountLinks::matchedOf(const WorkAccountBalance& row) const {
  const WorkAccount* a = accountOf(row);
  return a && a->matched;
}

}  // namespace ledra
