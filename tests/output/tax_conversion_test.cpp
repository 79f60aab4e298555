#include "output/tax_conversion.hpp"

#include <gtest/gtest.h>

#include "state/conversion_state.hpp"
#include "state/table.hpp"

namespace ledra {
namespace {

TEST(YayoiTax, ConvertsEachSide) {
  struct Case {
    const char* category;
    const char* debitMethod;
    const char* creditMethod;
    bool debitSide;  // false: the credit side is converted
    bool cash;
    int32_t amount;
    int32_t tax;
    ConvertedTax expected;
  };
  // clang-format off
  const Case cases[] = {
      {"課税売上", "",     "",     true,  false, 10500,     0,   {"115", "4", "10500", "500"}},
      {"課税売上", "",     "",     true,  true,  10500,     0,   {"115", "0", "10500", "0"}},
      {"課税売上", "外税", "",     true,  false, 10000,     500, {"115", "4", "10500", "500"}},
      // The other side's 外税 decides the method; only the side's own 外税 adds the tax.
      {"課対仕入", "",     "外税", true,  false, 10500,     0,   {"515", "4", "10500", "500"}},
      {"課対仕入", "内税", "",     false, false, 10500,     480, {"515", "1", "10500", "480"}},
      {"課対仕入", "内税", "",     true,  true,  10500,     480, {"515", "0", "10500", "0"}},
      {"課税売上", "別記", "",     true,  false, 10500,     480, {"115", "0", "10500", "0"}},
      {"課税売返", "",     "",     true,  false, -1050,     0,   {"125", "4", "-1050", "-50"}},
      {"課税売上", "",     "",     true,  false, 32,        0,   {"115", "4", "32", "2"}},
      {"課税売上", "",     "",     true,  false, -32,       0,   {"115", "4", "-32", "-2"}},
      {"軽減売上", "",     "",     true,  false, 105,       0,   {"90", "4", "105", "5"}},
      {"課税売上 ", "",    "",     true,  false, 105,       0,   {"90", "4", "105", "5"}},
      {"課税売回", "",     "",     false, false, 105,       0,   {"90", "4", "105", "5"}},
      {"簡売三",   "",     "",     false, false, 0,         0,   {"1453", "4", "0", "0"}},
      {"課対輸税", "",     "",     true,  false, 0,         0,   {"90", "4", "0", "0"}},
      {"不明",     "",     "",     true,  false, 0,         0,   {"90", "4", "0", "0"}},
      {"対象外",   "",     "",     true,  false, 10500,     0,   {"00", "0", "10500", "0"}},
      {"対象外",   "外税", "",     true,  false, 10000,     500, {"00", "0", "10500", "0"}},
      {"課税売上", "", "", true, false, 500000000,  0, {"115", "4", "500000000", "23809524"}},
      {"課税売上", "", "", true, false, 2147483647, 0, {"115", "4", "2147483647", "102261126"}},
  };
  // clang-format on
  ConversionState state;
  state.sourcePackage = SourcePackage::Yayoi;
  for (const Case& c : cases) {
    const TaxSide side{
        c.category, c.debitSide ? c.debitMethod : c.creditMethod, c.amount, c.tax, c.cash, ""};
    EXPECT_EQ(convertTax(state, side, c.debitMethod, c.creditMethod), c.expected)
        << c.category << " " << c.debitMethod << "/" << c.creditMethod << " " << c.amount;
  }
}

TEST(TaxAmounts, AddedTaxThatOverflowsFails) {
  const TaxSide side{"課税売上", "外税", 2147483000, 1000, false, ""};
  EXPECT_THROW(sideAmounts(side, "4"), StepError);
  const TaxSide fits{"課税売上", "外税", 2147482647, 1000, false, ""};
  EXPECT_EQ(sideAmounts(fits, "4"), (SideAmountTexts{"2147483647", "1000"}));
}

TEST(TaxAmounts, UnknownMethodCodeWritesZeros) {
  EXPECT_EQ(sideAmounts(TaxSide{"", "", 100, 5, false, ""}, "9"), (SideAmountTexts{"0", "0"}));
}

TEST(BlueTax, CodesByAccountDigitAndCategory) {
  struct Case {
    bool taxOn;
    bool simplified;
    const char* category;
    const char* accountCode;
    const char* expectedCategory;
    const char* expectedMethod;
  };
  // clang-format off
  const Case cases[] = {
      {false, false, "1",  "411", "00",   "4"},
      {false, false, "6",  "411", "00",   "0"},
      {true,  false, "1",  "411", "115",  "4"},
      {true,  false, "6",  "411", "31",   "0"},
      {true,  false, "7",  "411", "00",   "0"},
      {true,  true,  "2",  "311", "1452", "4"},
      {true,  true,  "5",  "511", "1455", "4"},
      {true,  false, "1",  "111", "515",  "4"},
      {true,  true,  "6",  "611", "00",   "0"},
      {true,  false, "1",  "911", "00",   "4"},
      {true,  false, "9",  "411", "00",   "0"},
      {true,  false, "01", "411", "115",  "0"},  // the number picks the code, the text the method
  };
  // clang-format on
  for (const Case& c : cases) {
    ConversionState state;
    state.sourcePackage = SourcePackage::BlueReturn;
    state.consumptionTaxOn = c.taxOn;
    state.simplifiedTaxation = c.simplified;
    const TaxSide side{c.category, "", 1050, 0, false, c.accountCode};
    const std::string trace = std::string(c.category) + " " + c.accountCode;
    EXPECT_EQ(taxCategoryCode(state, side), c.expectedCategory) << trace;
    EXPECT_EQ(taxMethodCode(state, side, "", ""), c.expectedMethod) << trace;
  }
}

TEST(BlueTax, MethodFourIncludesFivePercent) {
  ConversionState state;
  state.sourcePackage = SourcePackage::BlueReturn;
  state.consumptionTaxOn = true;
  EXPECT_EQ(convertTax(state, TaxSide{"1", "", 1050, 0, false, "411"}, "", ""),
            (ConvertedTax{"115", "4", "1050", "50"}));
}

}  // namespace
}  // namespace ledra
