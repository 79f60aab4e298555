#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledra {

struct ConversionState;

// One posting side of a journal line, as the tax rules see it.
struct TaxSide {
  std::string_view category;  // tax category text
  std::string_view method;    // the side's own tax method text
  int32_t amount = 0;
  int32_t taxAmount = 0;
  bool cash = false;             // the side's account, blanks removed, is 現金
  std::string_view accountCode;  // ブルーリターンＡ: the side's account code (columns 6 / 7)
};

struct SideAmountTexts {
  std::string amount;
  std::string taxAmount;
  bool operator==(const SideAmountTexts&) const = default;
};

struct ConvertedTax {
  std::string categoryCode;
  std::string methodCode;
  std::string amount;
  std::string taxAmount;
  bool operator==(const ConvertedTax&) const = default;
};

// The service's tax category code of the side.
std::string taxCategoryCode(const ConversionState& state, const TaxSide& side);

// The service's tax method code; debitMethod and creditMethod are the tax method texts of
// both sides of the line, which take part in each side's rule.
std::string taxMethodCode(const ConversionState& state, const TaxSide& side,
                          std::string_view debitMethod, std::string_view creditMethod);

// Amount and tax amount for the given method code, tax included at 5 percent. Throws a
// StepError when the amount to be written does not fit 32 bits.
SideAmountTexts sideAmounts(const TaxSide& side, std::string_view methodCode);

// All four values, with 対象外 forcing method "0" and tax "0".
ConvertedTax convertTax(const ConversionState& state, const TaxSide& side,
                        std::string_view debitMethod, std::string_view creditMethod);

}  // namespace ledra
