#include "output/tax_conversion.hpp"

#include <unordered_map>
#include <vector>

#include "base/numbers.hpp"
#include "base/text.hpp"
#include "state/conversion_state.hpp"
#include "state/package_profile.hpp"
#include "state/table.hpp"

namespace ledra {

namespace {

// 弥生会計 tax categories and the service's codes, position by position.
constexpr std::string_view kYayoiCategoryNames =
    "対象外 課税売上 簡売不 簡売一 簡売二 簡売三 簡売四 簡売五 課税売返 簡返不 簡返一 簡返二 "
    "簡返三 簡返四 簡返五 課税売倒 課税売回 輸出売上 輸出売返 輸出売倒 非課売上 非課売返 非課売倒 "
    "非資売上 非資売返 非資売倒 対外売上 有価譲渡 課対仕入 課対仕返 課対輸本 課対輸本 課対輸税 "
    "課対輸税 地消貨割 非課仕入 対外仕入 不明";
constexpr std::string_view kYayoiCategoryCodes =
    "00 115 1450 1451 1452 1453 1454 1455 125 1550 1551 1552 1553 1554 1555 185 90 21 22 23 31 "
    "32 33 90 90 90 90 40 515 525 90 90 90 90 80 90 90 90";

// ブルーリターンＡ rows, picked by the tax category number 1 to 8.
constexpr std::string_view kBlueSalesSimplified = "Code 1451 1452 1453 1454 1455 31 00 00";
constexpr std::string_view kBlueSalesGeneral = "Code 115 115 115 115 115 31 00 00";
constexpr std::string_view kBluePurchases = "Code 515 515 515 515 515 00 00 00";

const std::unordered_map<std::string, std::string>& yayoiCategoryTable() {
  static const auto table = [] {
    const auto names = splitPlain(kYayoiCategoryNames, " ");
    const auto codes = splitPlain(kYayoiCategoryCodes, " ");
    std::unordered_map<std::string, std::string> map;
    for (size_t i = 0; i < names.size() && i < codes.size(); ++i) map[names[i]] = codes[i];
    return map;
  }();
  return table;
}

std::string yayoiCategoryCode(std::string_view category) {
  const auto& table = yayoiCategoryTable();
  if (auto it = table.find(std::string(category)); it != table.end()) return it->second;
  return "90";
}

std::string blueCategoryCode(const ConversionState& state, const TaxSide& side) {
  if (!state.consumptionTaxOn) return "00";
  const double number = leadingNumber(side.category);
  if (!(number > 0 && number <= 8)) return "00";
  const int index = static_cast<int>(roundHalfEven(number));
  if (index < 1) return "00";  // a fraction below one would pick the row's label
  std::string_view row;
  const std::string first = firstChar(side.accountCode);
  if (first == "1" || first == "6" || first == "7" || first == "8") {
    row = kBluePurchases;
  } else if (first == "2" || first == "3" || first == "4" || first == "5") {
    row = state.simplifiedTaxation ? kBlueSalesSimplified : kBlueSalesGeneral;
  } else {
    return "00";
  }
  return splitPlain(row, " ").at(static_cast<size_t>(index));
}

bool blueTaxTable(const ConversionState& state) {
  return packageProfileOrFirst(state.sourcePackage).taxTable == TaxTable::BlueReturn;
}

}  // namespace

std::string taxCategoryCode(const ConversionState& state, const TaxSide& side) {
  if (blueTaxTable(state)) return blueCategoryCode(state, side);
  return yayoiCategoryCode(side.category);
}

std::string taxMethodCode(const ConversionState& state, const TaxSide& side,
                          std::string_view debitMethod, std::string_view creditMethod) {
  if (blueTaxTable(state)) {
    const std::string_view c = side.category;
    return (c == "1" || c == "2" || c == "3" || c == "4" || c == "5") ? "4" : "0";
  }
  if (side.cash) return "0";
  if (debitMethod.empty() && creditMethod.empty()) return "4";
  if (debitMethod == "外税" || creditMethod == "外税") return "4";
  if (debitMethod == "内税" || creditMethod == "内税") return "1";
  return "0";
}

SideAmountTexts sideAmounts(const TaxSide& side, std::string_view methodCode) {
  const int64_t a = side.amount;
  const int64_t t = side.taxAmount;
  if (side.method == "外税") {
    const int64_t total = a + t;
    if (!fitsInt32(total)) throw StepError("税込金額が大きすぎます: " + std::to_string(total));
    return {std::to_string(total), std::to_string(t)};
  }
  if (methodCode == "0") return {std::to_string(a), "0"};
  if (methodCode == "1") return {std::to_string(a), std::to_string(t)};
  if (methodCode == "4") {
    // Tax included at 5 percent; the product is formed in 64 bits so large amounts cannot wrap.
    const double tax = roundHalfAway(static_cast<double>(a * 5) / 105.0);
    return {std::to_string(a), std::to_string(static_cast<int64_t>(tax))};
  }
  return {"0", "0"};
}

ConvertedTax convertTax(const ConversionState& state, const TaxSide& side,
                        std::string_view debitMethod, std::string_view creditMethod) {
  ConvertedTax out;
  out.categoryCode = taxCategoryCode(state, side);
  out.methodCode = taxMethodCode(state, side, debitMethod, creditMethod);
  SideAmountTexts amounts = sideAmounts(side, out.methodCode);
  out.amount = std::move(amounts.amount);
  out.taxAmount = std::move(amounts.taxAmount);
  if (side.category == "対象外") {
    out.methodCode = "0";
    out.taxAmount = "0";
  }
  return out;
}

}  // namespace ledra
