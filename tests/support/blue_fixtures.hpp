#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ブルーリターンＡ data files for tests and the bundled example: the account file (kcode.brf,
// CP932 text), the binary journal of 89-byte records and the basic-information file.
//
//   BlueCompany c = sampleBlueCompany();
//   c.records.push_back(blueRecord(2007, 4, 1, 611, 101, 1234.0));
//   c.writeTo(folder);   // kcode.brf, 仕訳データ, 基本情報ﾃﾞｰﾀ
namespace ledra::testing {

// One journal record. The 16-bit fields are stored as they are, so a test can give a value
// whose high byte is 128 or more.
struct BlueRecord {
  uint8_t status = 0;
  uint16_t voucher = 1;
  uint8_t code3 = 0;  // written as column 29
  uint16_t year = 2007;
  uint8_t month = 1;
  uint8_t day = 1;
  uint16_t firstAccount = 0;
  uint8_t firstSub = 0;
  double firstAmount = 0;
  uint16_t secondAccount = 0;
  uint8_t secondSub = 0;
  double secondAmount = 0;
  std::string description;  // UTF-8; stored as CP932 padded with spaces to 56 bytes
  uint8_t firstTax = 0;     // position 87, column 13
  uint8_t secondTax = 0;    // position 88, column 20
};

BlueRecord blueRecord(uint16_t year, uint8_t month, uint8_t day, uint16_t firstAccount,
                      uint16_t secondAccount, double amount, uint16_t voucher = 1);

// The 89 bytes of one record; the journal file is the records one after another.
std::string blueRecordBytes(const BlueRecord& record);
std::string blueJournalBytes(const std::vector<BlueRecord>& records);
// size bytes of zeros with byte 208 = taxOn and byte 178 = '1' (simplified) or '0'.
std::string blueSettingsBytes(bool taxOn, bool simplified, size_t size = 256);

// kcode.brf lines (18 columns): the side is "借" or "貸"; the opening amount goes to column 17
// for "借", 18 otherwise.
std::string blueAccountLine(const std::string& code, const std::string& name,
                            const std::string& side, const std::string& opening);
std::string blueSubAccountLine(const std::string& accountCode, const std::string& subCode,
                               const std::string& name, const std::string& side,
                               const std::string& opening);
// The three heading lines the file begins with.
std::vector<std::string> blueAccountHeadings();

struct BlueCompany {
  std::vector<std::string> accountLines;  // after the headings
  std::vector<BlueRecord> records;
  bool taxOn = true;
  bool simplified = false;

  // Writes kcode.brf, 仕訳データ and 基本情報ﾃﾞｰﾀ into folder (created when missing).
  void writeTo(const std::string& folder) const;
};

// 現金 101, 普通預金 111 (東西銀行 1, 南北銀行 2), 売掛金 131, 買掛金 211, 元入金 311,
// 売上高 411, 仕入高 611, 消耗品費 711, 雑費 781, with opening balances; no records.
BlueCompany sampleBlueCompany();

// The example company of examples/blue: the sample company and a year of records, among
// them a deleted one and one outside 2007.
BlueCompany exampleBlueCompany();

}  // namespace ledra::testing
