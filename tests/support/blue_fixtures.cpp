#include "support/blue_fixtures.hpp"

#include <bit>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/cp932.hpp"
#include "platform/file_io.hpp"

namespace ledra::testing {

namespace {

constexpr size_t kRecordSize = 89;
constexpr size_t kDescriptionSize = 56;

void putWord(std::string& out, size_t pos, uint16_t v) {
  out[pos] = static_cast<char>(v & 0xFF);
  out[pos + 1] = static_cast<char>(v >> 8);
}

void putDouble(std::string& out, size_t pos, double v) {
  const auto bits = std::bit_cast<uint64_t>(v);
  for (size_t i = 0; i < 8; ++i) out[pos + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void save(const std::string& path, const std::string& bytes) {
  if (!writeFileAtomic(path, bytes)) throw std::runtime_error("cannot write " + path);
}

std::string quoted(const std::string& s) { return s.empty() ? s : "\"" + s + "\""; }

std::string brfLine(const std::string& c1, const std::string& c2, const std::string& name,
                    const std::string& side, const std::string& opening) {
  std::vector<std::string> cols(18);
  cols[0] = quoted(c1);
  cols[1] = quoted(c2);
  cols[2] = quoted(name);
  cols[13] = quoted(side);
  cols[side == "借" ? 16 : 17] = opening;
  std::string line;
  for (size_t i = 0; i < cols.size(); ++i) line += (i ? "," : "") + cols[i];
  return line;
}

}  // namespace

BlueRecord blueRecord(uint16_t year, uint8_t month, uint8_t day, uint16_t firstAccount,
                      uint16_t secondAccount, double amount, uint16_t voucher) {
  BlueRecord r;
  r.year = year;
  r.month = month;
  r.day = day;
  r.firstAccount = firstAccount;
  r.secondAccount = secondAccount;
  r.firstAmount = amount;
  r.secondAmount = amount;
  r.voucher = voucher;
  return r;
}

std::string blueRecordBytes(const BlueRecord& r) {
  std::string out(kRecordSize, '\0');
  out[0] = static_cast<char>(r.status);
  putWord(out, 1, r.voucher);
  out[3] = static_cast<char>(r.code3);
  putWord(out, 4, r.year);
  out[6] = static_cast<char>(r.month);
  out[7] = static_cast<char>(r.day);
  putWord(out, 8, r.firstAccount);
  out[10] = static_cast<char>(r.firstSub);
  putDouble(out, 11, r.firstAmount);
  putWord(out, 19, r.secondAccount);
  out[21] = static_cast<char>(r.secondSub);
  putDouble(out, 22, r.secondAmount);
  std::string description = encodeCp932(r.description);
  if (description.size() > kDescriptionSize) throw std::invalid_argument("description too long");
  description.resize(kDescriptionSize, ' ');
  out.replace(30, kDescriptionSize, description);
  out[87] = static_cast<char>(r.firstTax);
  out[88] = static_cast<char>(r.secondTax);
  return out;
}

std::string blueJournalBytes(const std::vector<BlueRecord>& records) {
  std::string out;
  for (const BlueRecord& r : records) out += blueRecordBytes(r);
  return out;
}

std::string blueSettingsBytes(bool taxOn, bool simplified, size_t size) {
  std::string out(size, '\0');
  if (size > 178) out[178] = simplified ? '1' : '0';
  if (size > 208) out[208] = taxOn ? 1 : 0;
  return out;
}

std::string blueAccountLine(const std::string& code, const std::string& name,
                            const std::string& side, const std::string& opening) {
  return brfLine(code, "", name, side, opening);
}

std::string blueSubAccountLine(const std::string& accountCode, const std::string& subCode,
                               const std::string& name, const std::string& side,
                               const std::string& opening) {
  return brfLine(accountCode, subCode, name, side, opening);
}

std::vector<std::string> blueAccountHeadings() {
  return {
      "\"勘定科目データ\"", "\"2007\"",
      "\"科目コード\",\"補助コード\",\"科目名\",,,,,,,,,,,\"貸借\",,,\"借方期首\",\"貸方期首\""};
}

void BlueCompany::writeTo(const std::string& folder) const {
  std::filesystem::create_directories(folder);
  Cp932TextBuilder brf;
  for (const std::string& line : blueAccountHeadings()) brf.line(line);
  for (const std::string& line : accountLines) brf.line(line);
  save(joinPath(folder, "kcode.brf"), brf.bytes());
  save(joinPath(folder, "仕訳データ"), blueJournalBytes(records));
  save(joinPath(folder, "基本情報ﾃﾞｰﾀ"), blueSettingsBytes(taxOn, simplified));
}

BlueCompany sampleBlueCompany() {
  BlueCompany c;
  c.accountLines = {
      blueAccountLine("101", "現金", "借", "80000"),
      blueAccountLine("111", "普通預金", "借", "450000"),
      blueSubAccountLine("111", "1", "東西銀行", "借", "300000"),
      blueSubAccountLine("111", "2", "南北銀行", "借", "150000"),
      blueAccountLine("131", "売掛金", "借", "0"),
      blueAccountLine("211", "買掛金", "貸", "40000"),
      blueAccountLine("311", "元入金", "貸", "490000"),
      blueAccountLine("411", "売上高", "貸", "0"),
      blueAccountLine("611", "仕入高", "借", "0"),
      blueAccountLine("711", "消耗品費", "借", "0"),
      blueAccountLine("781", "雑費", "借", "0"),
  };
  return c;
}

BlueCompany exampleBlueCompany() {
  BlueCompany c = sampleBlueCompany();
  auto add = [&](BlueRecord r, const std::string& description, uint8_t firstTax,
                 uint8_t secondTax) {
    r.description = description;
    r.firstTax = firstTax;
    r.secondTax = secondTax;
    c.records.push_back(r);
  };
  add(blueRecord(2006, 12, 28, 611, 101, 12000, 90), "前年の仕入", 1, 0);
  add(blueRecord(2007, 1, 10, 611, 101, 30000, 1), "商品 仕入", 1, 0);
  add(blueRecord(2007, 1, 15, 131, 411, 105000, 2), "北商店 売上", 0, 1);
  BlueRecord collected = blueRecord(2007, 2, 1, 111, 131, 105000, 3);
  collected.firstSub = 1;
  add(collected, "売掛金 回収", 0, 0);
  add(blueRecord(2007, 3, 5, 711, 101, 5400, 4), "事務用品 購入  ", 1, 0);
  BlueRecord deleted = blueRecord(2007, 3, 6, 711, 101, 999, 5);
  deleted.status = 1;
  add(deleted, "取消した仕訳", 1, 0);
  BlueRecord fee = blueRecord(2007, 12, 31, 781, 111, 630, 6);
  fee.secondSub = 2;
  add(fee, "振込\t手数料", 1, 0);
  return c;
}

}  // namespace ledra::testing
