#include "dataset.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/cp932.hpp"
#include "platform/file_io.hpp"

namespace ledra::bench {

namespace {

// splitmix64: the standard distributions differ between libraries, this does not.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // 0 <= n < bound
  int below(int bound) { return static_cast<int>(next() % static_cast<uint64_t>(bound)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  bool chance(int percent) { return below(100) < percent; }
  template <class T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
  }
  // Amounts spread over several orders of magnitude, as a real ledger has them.
  int32_t amount(int32_t lo, int32_t hi) {
    const double u = static_cast<double>(next() >> 11) / 9007199254740992.0;
    const double v = std::exp(std::log(lo) + u * (std::log(hi) - std::log(lo)));
    return std::max<int32_t>(lo, static_cast<int32_t>(v) / 10 * 10);
  }

 private:
  uint64_t state_;
};

enum class Section {
  Assets,
  Liabilities,
  Equity,
  Sales,
  CostOfSales,
  Expenses,
  NonOperating,
  Manufacturing
};

struct AccountGroup {
  Section section;
  std::vector<std::string> headings;  // bracketed, outermost first
  std::vector<std::string> names;
  bool subAccountsLikely;  // banks, customers, suppliers
};

const std::vector<AccountGroup>& accountGroups() {
  static const std::vector<AccountGroup> groups = {
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[流動資産]", "[現金・預金]"},
       {"現金", "小口現金", "当座預金", "普通預金", "定期預金", "通知預金", "別段預金"},
       true},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[流動資産]", "[売上債権]"},
       {"受取手形", "売掛金", "電子記録債権", "クレジット売掛金"},
       true},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[流動資産]", "[棚卸資産]"},
       {"商品", "製品", "原材料", "仕掛品", "貯蔵品"},
       false},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[流動資産]", "[他流動資産]"},
       {"有価証券", "前渡金", "立替金", "前払費用", "未収入金", "仮払金", "短期貸付金",
        "仮払消費税"},
       true},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[固定資産]", "[有形固定資産]"},
       {"建物", "建物附属設備", "構築物", "機械装置", "車両運搬具", "工具器具備品", "土地",
        "建設仮勘定"},
       false},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[固定資産]", "[無形固定資産]"},
       {"ソフトウェア", "電話加入権", "のれん"},
       false},
      {Section::Assets,
       {"[貸借対照表]", "[資産の部]", "[固定資産]", "[投資その他の資産]"},
       {"投資有価証券", "出資金", "長期貸付金", "敷金", "差入保証金", "長期前払費用"},
       true},
      {Section::Liabilities,
       {"[貸借対照表]", "[負債の部]", "[流動負債]"},
       {"支払手形", "買掛金", "短期借入金", "未払金", "未払費用", "未払法人税等", "未払消費税",
        "前受金", "預り金", "仮受金", "仮受消費税", "賞与引当金"},
       true},
      {Section::Liabilities,
       {"[貸借対照表]", "[負債の部]", "[固定負債]"},
       {"長期借入金", "退職給付引当金", "長期未払金"},
       true},
      {Section::Equity,
       {"[貸借対照表]", "[純資産の部]", "[株主資本]", "[資本金]"},
       {"資本金"},
       false},
      {Section::Equity,
       {"[貸借対照表]", "[純資産の部]", "[株主資本]", "[利益剰余金]", "[その他利益剰余金]"},
       {"繰越利益剰余金", "別途積立金"},
       false},
      {Section::Sales, {"[損益計算書]", "[売上高]"}, {"売上高", "売上値引高", "売上戻り高"}, true},
      {Section::CostOfSales,
       {"[損益計算書]", "[売上原価]"},
       {"期首商品棚卸高", "仕入高", "仕入値引高", "期末商品棚卸高"},
       true},
      {Section::Expenses,
       {"[損益計算書]", "[販売管理費]"},
       {"役員報酬",   "給料手当",   "賞与",     "法定福利費", "福利厚生費", "荷造運賃",
        "広告宣伝費", "接待交際費", "会議費",   "旅費交通費", "通信費",     "販売手数料",
        "消耗品費",   "事務用品費", "修繕費",   "水道光熱費", "新聞図書費", "諸会費",
        "支払手数料", "車両費",     "地代家賃", "賃借料",     "保険料",     "租税公課",
        "支払報酬料", "寄付金",     "研修費",   "減価償却費", "貸倒損失",   "雑費"},
       true},
      {Section::NonOperating,
       {"[損益計算書]", "[営業外損益]", "[営業外収益]"},
       {"受取利息", "受取配当金", "雑収入"},
       false},
      {Section::NonOperating,
       {"[損益計算書]", "[営業外損益]", "[営業外費用]"},
       {"支払利息", "雑損失"},
       false},
      {Section::Manufacturing,
       {"[製造原価報告書]", "[製造原価]"},
       {"材料仕入高", "賃金", "外注加工費", "工場消耗品費", "電力費", "工場修繕費"},
       true},
  };
  return groups;
}

// Variants of one account name, as a company with branches and lines of business names them.
const std::vector<std::string> kQualifiers = {
    "本社", "東京", "大阪", "名古屋", "札幌", "仙台", "横浜", "京都",   "神戸", "広島",
    "福岡", "那覇", "新潟", "金沢",   "静岡", "岡山", "熊本", "鹿児島", "高松", "松山",
    "長野", "千葉", "埼玉", "宇都宮", "小売", "卸売", "通販", "海外",   "製造", "工事",
    "保守", "教育", "第一", "第二",   "第三", "第四", "第五", "第六",   "第七", "第八"};

std::string sectionMarker(Section s) {
  switch (s) {
    case Section::Assets:
    case Section::Liabilities:
    case Section::Equity:
      return "[貸借対照表]";
    case Section::Manufacturing:
      return "[製造原価報告書]";
    default:
      return "[損益計算書]";
  }
}

bool isBalanceSheet(Section s) {
  return s == Section::Assets || s == Section::Liabilities || s == Section::Equity;
}

struct Account {
  std::string name;
  std::string code;
  std::vector<std::string> headings;
  Section section;
  bool subAccountsLikely;
  std::string ledraCode;
  std::vector<std::string> subAccounts;  // names; codes are their 1-based positions
  bool active = true;                    // used by the journal
};

struct Department {
  std::vector<std::string> levels;  // columns 3-7
  std::string matchName;            // the deepest level, or the company's "(共通)" row
};

// Text fields in double quotes, numbers and empty fields bare, as the package exports.
class LineWriter {
 public:
  void field(std::string_view text) {
    separator();
    if (!text.empty()) {
      line_ += '"';
      line_ += text;
      line_ += '"';
    }
  }
  void number(int64_t value) {
    separator();
    line_ += std::to_string(value);
  }
  void bare(std::string_view text) {
    separator();
    line_ += text;
  }
  void empty(int count = 1) {
    for (int i = 0; i < count; ++i) separator();
  }
  std::string take() {
    std::string out = std::move(line_);
    line_.clear();
    first_ = true;
    return out;
  }

 private:
  void separator() {
    if (!first_) line_ += ',';
    first_ = false;
  }
  std::string line_;
  bool first_ = true;
};

class TextFile {
 public:
  void line(const std::string& utf8) {
    utf8_ += utf8;
    utf8_ += "\r\n";
  }
  int64_t write(const std::string& path) const {
    const std::string bytes = encodeCp932(utf8_);
    std::string error;
    if (!writeFileAtomic(path, bytes, &error)) throw std::runtime_error(error);
    return static_cast<int64_t>(bytes.size());
  }

 private:
  std::string utf8_;
};

const std::string kCompany = "株式会社ベンチマーク商事";
const std::string kUserCode = "S0090001";

void headerBlock(TextFile& f, const std::string& title, bool balances, bool monthly,
                 int titleColumns) {
  LineWriter w;
  w.field("帳票名");
  w.field(title);
  f.line(w.take());
  w.field("書式名");
  w.field("標準");
  f.line(w.take());
  w.field("事業所名");
  w.field(kCompany);
  f.line(w.take());
  w.field("処理日時");
  w.field("2027/04/15 09:30");
  f.line(w.take());
  if (balances) {
    w.field("月次/期間");
    w.field(monthly ? "月次" : "期間");
    f.line(w.take());
    w.field("集計期間");
    w.field("2026/04/01");
    w.field("2027/03/31");
    f.line(w.take());
    w.field("税抜/税込");
    w.field("税込");
    f.line(w.take());
  }
  w.field("[表題行]");
  for (int c = 2; c <= titleColumns; ++c) w.field("項目" + std::to_string(c));
  f.line(w.take());
}

std::vector<Account> makeAccounts(const DatasetSize& size, Random& rnd) {
  std::vector<const AccountGroup*> groupOf;
  std::vector<std::string> bases;
  for (const AccountGroup& g : accountGroups()) {
    for (const std::string& n : g.names) {
      groupOf.push_back(&g);
      bases.push_back(n);
    }
  }
  const int nBases = static_cast<int>(bases.size());
  if (size.accounts > nBases * static_cast<int>(kQualifiers.size() + 1))
    throw std::runtime_error("too many accounts for the name list");

  std::vector<Account> accounts;
  int sectionCount[8] = {};
  for (int b = 0; b < nBases; ++b) {
    const int variants = size.accounts / nBases + (b < size.accounts % nBases ? 1 : 0);
    const AccountGroup& g = *groupOf[static_cast<size_t>(b)];
    for (int v = 0; v < variants; ++v) {
      Account a;
      a.name = v == 0 ? bases[static_cast<size_t>(b)]
                      : bases[static_cast<size_t>(b)] + "（" +
                            kQualifiers[static_cast<size_t>(v - 1)] + "）";
      a.section = g.section;
      a.subAccountsLikely = g.subAccountsLikely;
      // One to five headings before the name: the outermost is kept, some inner ones dropped.
      a.headings.push_back(g.headings[0]);
      for (size_t h = 1; h < g.headings.size(); ++h)
        if (v == 0 || rnd.chance(70)) a.headings.push_back(g.headings[h]);
      const int s = static_cast<int>(g.section);
      a.ledraCode = std::to_string((s + 1) * 1000 + sectionCount[s]++);
      accounts.push_back(std::move(a));
    }
  }
  for (size_t i = 0; i < accounts.size(); ++i) accounts[i].code = std::to_string(1000 + 4 * i);
  return accounts;
}

const std::vector<std::string> kBankNames = {"東西", "南北",   "中央",   "港町", "山手",
                                             "桜川", "みどり", "大和田", "北星", "朝日野"};
const std::vector<std::string> kBranchNames = {"本店",     "駅前支店", "中町支店", "東口支店",
                                               "西口支店", "港支店",   "北支店",   "南支店"};
const std::vector<std::string> kFirmStems = {"青葉", "若松", "東海", "富士見", "白石", "三ツ星",
                                             "大和", "丸山", "光陽", "新栄",   "旭",   "松風",
                                             "竹内", "梅田", "本郷", "浜松"};
const std::vector<std::string> kFirmKinds = {"商事", "工業", "物産", "電機", "建設", "運輸",
                                             "食品", "印刷", "精工", "産業", "化成", "技研"};

void makeSubAccounts(std::vector<Account>& accounts, const DatasetSize& size, Random& rnd) {
  std::vector<size_t> eligible;
  for (size_t i = 0; i < accounts.size(); ++i)
    if (accounts[i].subAccountsLikely && accounts[i].name != "現金") eligible.push_back(i);
  if (static_cast<int>(eligible.size()) < size.parentAccounts)
    throw std::runtime_error("too few accounts that can carry sub-accounts");
  // Fisher-Yates on the seeded generator, then back into account order.
  for (size_t i = eligible.size(); i > 1; --i)
    std::swap(eligible[i - 1], eligible[static_cast<size_t>(rnd.below(static_cast<int>(i)))]);
  eligible.resize(static_cast<size_t>(size.parentAccounts));
  std::sort(eligible.begin(), eligible.end());

  std::vector<int> counts(eligible.size(), size.subAccounts / size.parentAccounts);
  for (int extra = size.subAccounts % size.parentAccounts; extra > 0; --extra)
    ++counts[static_cast<size_t>(rnd.below(size.parentAccounts))];

  for (size_t p = 0; p < eligible.size(); ++p) {
    Account& a = accounts[eligible[p]];
    const bool bank = a.name.find("預金") != std::string::npos;
    const int offset = rnd.below(1000);
    for (int k = 0; k < counts[p]; ++k) {
      const int n = offset + k;  // distinct within the parent
      if (bank) {
        a.subAccounts.push_back(kBankNames[static_cast<size_t>(n % 10)] + "銀行" +
                                kBranchNames[static_cast<size_t>((n / 10) % 8)] +
                                (n >= 80 ? std::to_string(n / 80) : ""));
      } else {
        a.subAccounts.push_back("株式会社" + kFirmStems[static_cast<size_t>(n % 16)] +
                                kFirmKinds[static_cast<size_t>((n / 16) % 12)] +
                                (n >= 192 ? std::to_string(n / 192) : ""));
      }
    }
  }
}

std::vector<Department> makeDepartments(int count) {
  static const std::vector<std::pair<std::string, std::string>> kDivisions = {
      {"東日本営業本部", "東日本"}, {"西日本営業本部", "西日本"}, {"製造本部", "製造"},
      {"管理本部", "管理"},         {"海外事業本部", "海外"},     {"開発本部", "開発"}};
  static const std::vector<std::string> kOrdinals = {"第一", "第二", "第三", "第四",
                                                     "第五", "第六", "第七", "第八"};
  std::vector<Department> out;
  out.push_back({{}, kCompany + "(共通)"});
  for (size_t d = 0; static_cast<int>(out.size()) < count; ++d) {
    if (d >= kDivisions.size()) throw std::runtime_error("too many departments");
    const auto& [division, shortName] = kDivisions[d];
    out.push_back({{division}, division});
    for (int b = 0; b < 4 && static_cast<int>(out.size()) < count; ++b) {
      const std::string bu = shortName + kOrdinals[static_cast<size_t>(b)] + "部";
      out.push_back({{division, bu}, bu});
      for (int k = 0; k < 7 && static_cast<int>(out.size()) < count; ++k) {
        const std::string ka = bu + kOrdinals[static_cast<size_t>(k)] + "課";
        out.push_back({{division, bu, ka}, ka});
      }
    }
  }
  return out;
}

int64_t writeAccountList(const std::string& path, const std::vector<Account>& accounts) {
  TextFile f;
  headerBlock(f, "勘定科目一覧表", false, false, 18);
  for (const Account& a : accounts) {
    LineWriter w;
    w.field("[明細行]");
    for (const std::string& h : a.headings) w.field(h);
    w.field(a.name);
    w.empty(static_cast<int>(6 - a.headings.size() - 1));
    w.field(a.name);  // 8: 正式名称
    w.empty();        // 9
    w.bare(a.code);   // 10: code
    w.empty();        // 11
    w.field(isBalanceSheet(a.section)     ? "対象外"
            : a.section == Section::Sales ? "課税売上"
                                          : "課対仕入");  // 12
    w.empty(3);                                           // 13-15
    w.number(0);                                          // 16
    w.empty();                                            // 17
    w.number(0);                                          // 18
    f.line(w.take());
  }
  return f.write(path);
}

struct BalanceAmounts {
  int32_t opening, debit, credit, closing;
};

BalanceAmounts balanceAmounts(const Account& a, Random& rnd) {
  BalanceAmounts b{};
  if (isBalanceSheet(a.section) && rnd.chance(85)) b.opening = rnd.amount(1000, 50000000);
  b.debit = rnd.chance(70) ? rnd.amount(1000, 20000000) : 0;
  b.credit = rnd.chance(70) ? rnd.amount(1000, 20000000) : 0;
  b.closing = b.opening + b.debit - b.credit;
  return b;
}

int64_t writeBalances(const std::string& path, std::vector<Account>& accounts,
                      const std::vector<Department>& departments, const DatasetSize& size,
                      Random& rnd) {
  // Every account has its company row; the remaining rows go to departments, one or two
  // per account.
  const int n = static_cast<int>(accounts.size());
  std::vector<int> departmentRows(static_cast<size_t>(n), 0);
  int rest = std::max(0, size.balanceRows - n);
  for (int i = 0; rest > 0 && departments.size() > 1; i = (i + 1) % n) {
    if (departmentRows[static_cast<size_t>(i)] == 0 || rnd.chance(30)) {
      ++departmentRows[static_cast<size_t>(i)];
      --rest;
    }
  }
  TextFile f;
  headerBlock(f, "残高試算表(月次・期間)", true, false, 9);
  for (int i = 0; i < n; ++i) {
    Account& a = accounts[static_cast<size_t>(i)];
    auto row = [&](const std::string& department, const BalanceAmounts& b, double ratio) {
      LineWriter w;
      w.field("[明細行]");
      w.field(department);
      w.empty();
      w.field(sectionMarker(a.section));
      w.field(a.name);
      w.number(b.opening);
      w.number(b.debit);
      w.number(b.credit);
      w.number(b.closing);
      char r[32];
      std::snprintf(r, sizeof r, "%.2f", ratio);
      w.bare(r);
      f.line(w.take());
    };
    const BalanceAmounts total = balanceAmounts(a, rnd);
    row(kCompany + "(合計)", total, 0.0);
    const int parts = departmentRows[static_cast<size_t>(i)];
    for (int d = 0; d < parts; ++d) {
      const Department& dept =
          departments[1 + static_cast<size_t>(rnd.below(static_cast<int>(departments.size()) - 1))];
      BalanceAmounts b{total.opening / parts, total.debit / parts, total.credit / parts, 0};
      b.closing = b.opening + b.debit - b.credit;
      row(dept.matchName, b, 100.0 / parts);
    }
  }
  return f.write(path);
}

int64_t writeSubAccountList(const std::string& path, const std::vector<Account>& accounts) {
  TextFile f;
  headerBlock(f, "補助科目一覧表", false, false, 11);
  for (const Account& a : accounts) {
    for (size_t k = 0; k < a.subAccounts.size(); ++k) {
      LineWriter w;
      w.field("[明細行]");
      w.field(a.name);
      w.field(a.subAccounts[k]);
      w.empty(2);
      char code[32];
      std::snprintf(code, sizeof code, "%03zu", k + 1);
      w.bare(code);
      w.empty(5);
      f.line(w.take());
    }
  }
  return f.write(path);
}

int64_t writeSubBalances(const std::string& path, const std::vector<Account>& accounts,
                         const std::vector<Department>& departments, const DatasetSize& size,
                         Random& rnd, int& rows) {
  // One row per sub-account, under a department or the company's common row; every tenth
  // parent also has a row kept without a sub-account, in place of the row of its last
  // sub-account (which has no opening balance yet).
  TextFile f;
  headerBlock(f, "補助残高一覧表(月次・期間)", true, true, 11);
  rows = 0;
  int parent = 0;
  for (const Account& a : accounts) {
    if (a.subAccounts.empty()) continue;
    std::vector<std::string> names = a.subAccounts;
    if (parent++ % 10 == 0) names.back() = "指定なし";
    for (const std::string& sub : names) {
      if (rows >= size.subBalanceRows) break;
      const std::string department =
          departments.size() > 1 && rnd.chance(70)
              ? departments[1 + static_cast<size_t>(
                                    rnd.below(static_cast<int>(departments.size()) - 1))]
                    .matchName
              : kCompany + "(共通)";
      const BalanceAmounts b = balanceAmounts(a, rnd);
      LineWriter w;
      w.field("[明細行]");
      w.field(department);
      w.empty(2);
      w.field(a.name);
      w.field(sub);
      w.number(b.opening);
      w.number(b.debit);
      w.number(b.credit);
      w.number(b.closing);
      w.bare("0.00");
      f.line(w.take());
      ++rows;
    }
  }
  return f.write(path);
}

int64_t writeDepartments(const std::string& path, const std::vector<Department>& departments) {
  TextFile f;
  headerBlock(f, "部門一覧表", false, false, 12);
  for (const Department& d : departments) {
    LineWriter w;
    w.field("[明細行]");
    w.field(kCompany);
    for (const std::string& level : d.levels) w.field(level);
    w.empty(static_cast<int>(5 - d.levels.size()));
    w.field(d.levels.empty() ? kCompany : d.levels.back());  // 8: display name
    w.empty(4);
    f.line(w.take());
  }
  return f.write(path);
}

// One posting side of a journal line.
struct Side {
  const Account* account = nullptr;
  std::string subAccount;
  std::string department;
  std::string taxCategory;
  std::string taxMethod;
  int32_t amount = 0;
  int32_t tax = 0;
};

class JournalBuilder {
 public:
  JournalBuilder(const std::vector<Account>& accounts, const std::vector<Department>& departments,
                 Random& rnd)
      : departments_(departments), rnd_(rnd) {
    for (const Account& a : accounts) {
      if (!a.active) continue;
      if (a.name == "現金") cash_ = &a;
      if (a.section == Section::Sales) sales_.push_back(&a);
      if (a.section == Section::Expenses || a.section == Section::CostOfSales ||
          a.section == Section::Manufacturing)
        expenses_.push_back(&a);
      if (a.name.starts_with("売掛金") || a.name.starts_with("受取手形"))
        receivables_.push_back(&a);
      if (a.name.starts_with("買掛金") || a.name.starts_with("未払金") ||
          a.name.starts_with("支払手形"))
        payables_.push_back(&a);
      if (a.name.find("預金") != std::string::npos) banks_.push_back(&a);
      if (isBalanceSheet(a.section)) balanceSheet_.push_back(&a);
    }
    if (!cash_ || sales_.empty() || expenses_.empty() || receivables_.empty() ||
        payables_.empty() || banks_.empty())
      throw std::runtime_error("the chart lacks an account the journal needs");
  }

  // One slip of one or more lines; returns the lines written.
  int slip(TextFile& f, int voucher, const std::string& date, int maxLines) {
    const int kind = rnd_.below(100);
    int lines = 1;
    const int r = rnd_.below(100);
    if (r >= 50) lines = r < 70 ? 2 : r < 85 ? 3 : rnd_.between(4, 6);
    lines = std::min(lines, maxLines);
    const bool transfer = kind >= 40;
    const std::string colour =
        rnd_.chance(6) ? std::vector<std::string>{"赤", "青", "緑", "黄"}[rnd_.below(4)] : "";

    for (int l = 0; l < lines; ++l) {
      Side debit, credit;
      const int32_t amount = rnd_.amount(100, 3000000);
      if (kind < 20) {  // cash sale
        debit = side(cash_, amount);
        credit = side(rnd_.pick(sales_), amount);
      } else if (kind < 40) {  // cash expense
        debit = side(rnd_.pick(expenses_), amount);
        credit = side(cash_, amount);
      } else if (kind < 60) {  // sale on account
        debit = side(rnd_.pick(receivables_), amount);
        credit = side(rnd_.pick(sales_), amount);
      } else if (kind < 75) {  // purchase on account
        debit = side(rnd_.pick(expenses_), amount);
        credit = side(rnd_.pick(payables_), amount);
      } else if (kind < 90) {  // bank payment
        debit = side(rnd_.pick(l == 0 ? payables_ : expenses_), amount);
        credit = side(rnd_.pick(banks_), amount);
      } else {  // any two balance sheet accounts
        debit = side(rnd_.pick(balanceSheet_), amount);
        credit = side(rnd_.pick(balanceSheet_), amount);
      }
      // Compound slips: later lines often carry one side only.
      if (l > 0 && rnd_.chance(30)) {
        if (rnd_.chance(50)) {
          debit = Side{};
        } else {
          credit = Side{};
        }
      }
      LineWriter w;
      w.field("[明細行]");
      w.field(date);
      w.number(voucher);
      w.empty(2);
      w.field(l == 0 ? colour : "");
      w.empty();
      w.field(transfer ? "[振伝]" : "");
      w.empty();
      writeSide(w, debit);
      writeSide(w, credit);
      w.field(description(debit.account ? debit : credit, l));
      w.empty(5);
      f.line(w.take());
    }
    return lines;
  }

 private:
  Side side(const Account* a, int32_t amount) {
    Side s;
    s.account = a;
    s.amount = amount;
    if (!a->subAccounts.empty() && rnd_.chance(90)) s.subAccount = rnd_.pick(a->subAccounts);
    if (!isBalanceSheet(a->section) && rnd_.chance(80) && departments_.size() > 1)
      s.department = departments_[1 + static_cast<size_t>(
                                          rnd_.below(static_cast<int>(departments_.size()) - 1))]
                         .matchName;
    const bool taxable = a->section == Section::Sales || a->section == Section::Expenses ||
                         a->section == Section::CostOfSales || a->section == Section::Manufacturing;
    if (!taxable) {
      s.taxCategory = "対象外";
      return s;
    }
    if (a->section == Section::Sales) {
      const int r = rnd_.below(100);
      s.taxCategory = r < 85 ? "課税売上" : r < 92 ? "輸出売上" : r < 96 ? "非課売上" : "課税売返";
    } else {
      const int r = rnd_.below(100);
      s.taxCategory = r < 85 ? "課対仕入" : r < 92 ? "非課仕入" : r < 96 ? "課対仕返" : "対象外";
    }
    const int m = rnd_.below(100);
    if (m < 60) {
      s.taxMethod = "内税";
      s.tax = static_cast<int32_t>(std::llround(amount * 5.0 / 105.0));
    } else if (m < 80) {
      s.taxMethod = "外税";
      s.tax = static_cast<int32_t>(std::llround(amount * 0.05));
    }
    return s;
  }

  static void writeSide(LineWriter& w, const Side& s) {
    if (!s.account) {
      w.empty(7);
      return;
    }
    w.field(s.account->name);
    w.field(s.subAccount);
    w.field(s.department);
    w.field(s.taxCategory);
    w.field(s.taxMethod);
    w.number(s.amount);
    w.number(s.tax);
  }

  std::string description(const Side& s, int line) {
    std::string text =
        s.subAccount.empty() ? s.account->name : s.subAccount + " " + s.account->name;
    text += line == 0 ? " 月次計上" : " 内訳";
    // Some descriptions exceed the service's 62 bytes, with the cut inside a double-byte
    // character about half of the time.
    if (rnd_.chance(12))
      text += rnd_.chance(50) ? " 請求書番号INV-2026-0415 備考：振込手数料先方負担"
                              : " 備考 A 請求書番号あり 振込手数料当方負担のため差引";
    return text;
  }

  const std::vector<Department>& departments_;
  Random& rnd_;
  const Account* cash_ = nullptr;
  std::vector<const Account*> sales_, expenses_, receivables_, payables_, banks_, balanceSheet_;
};

std::string dateOfLine(int line, int totalLines) {
  // The fiscal year 2026/04/01 to 2027/03/31, spread evenly over the lines.
  static const int kMonthDays[] = {30, 31, 30, 31, 31, 30, 31, 30, 31, 31, 28, 31};
  int day = static_cast<int>(static_cast<int64_t>(line) * 365 / std::max(1, totalLines));
  int month = 0;
  while (day >= kMonthDays[month]) day -= kMonthDays[month++];
  const int calendarMonth = (month + 3) % 12 + 1;
  const int year = month < 9 ? 2026 : 2027;
  char text[48];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, calendarMonth, day + 1);
  return text;
}

int64_t writeJournal(const std::string& path, const std::vector<Account>& accounts,
                     const std::vector<Department>& departments, const DatasetSize& size,
                     Random& rnd, int& slips) {
  TextFile f;
  LineWriter w;
  w.field("帳票名");
  w.field("仕訳日記帳");
  f.line(w.take());
  w.field("書式名");
  w.field("汎用形式");
  f.line(w.take());
  JournalBuilder builder(accounts, departments, rnd);
  slips = 0;
  for (int line = 0; line < size.journalLines;) {
    ++slips;
    line += builder.slip(f, slips, dateOfLine(line, size.journalLines), size.journalLines - line);
  }
  return f.write(path);
}

int64_t writeMaster(const std::string& path, const std::vector<Account>& accounts, Random& rnd) {
  // Sorted by the service's code; a tenth of the names carry blanks that the matching ignores.
  std::vector<const Account*> order;
  for (const Account& a : accounts) order.push_back(&a);
  std::sort(order.begin(), order.end(), [](const Account* x, const Account* y) {
    return std::stoi(x->ledraCode) < std::stoi(y->ledraCode);
  });
  TextFile f;
  bool first = true;
  for (const Account* a : order) {
    std::string name = a->name;
    if (rnd.chance(10) && name.size() > 3) {
      // After the first character (every name here starts with a three-byte one).
      name.insert(3, rnd.chance(50) ? "\u3000" : " ");
    }
    std::string line = first ? kUserCode + "," + kCompany : ",";
    line += "," + a->ledraCode + "," + name + ",1";
    f.line(line);
    first = false;
  }
  return f.write(path);
}

}  // namespace

DatasetSize DatasetSize::scaled(double factor) const {
  auto s = [factor](int n) { return std::max(1, static_cast<int>(std::lround(n * factor))); };
  DatasetSize out;
  out.accounts = s(accounts);
  out.balanceRows = s(balanceRows);
  out.departments = s(departments);
  out.subAccounts = s(subAccounts);
  out.parentAccounts = s(parentAccounts);
  out.subBalanceRows = s(subBalanceRows);
  out.journalLines = s(journalLines);
  return out;
}

DatasetSummary writeDataset(const std::string& folder, const DatasetSize& size, uint64_t seed) {
  Random rnd(seed);
  std::vector<Account> accounts = makeAccounts(size, rnd);
  makeSubAccounts(accounts, size, rnd);
  // A few profit-and-loss accounts never see a journal line, so that they can be invalidated.
  for (Account& a : accounts)
    if (!isBalanceSheet(a.section) && a.subAccounts.empty() && rnd.chance(10)) a.active = false;
  const std::vector<Department> departments = makeDepartments(size.departments);

  const std::string yayoi = joinPath(folder, "yayoi");
  std::filesystem::create_directories(yayoi);
  DatasetSummary sum;
  sum.bytes += writeDepartments(joinPath(yayoi, "部門一覧表.txt"), departments);
  sum.bytes += writeAccountList(joinPath(yayoi, "勘定科目一覧表.txt"), accounts);
  sum.bytes +=
      writeBalances(joinPath(yayoi, "科目残高試算表.txt"), accounts, departments, size, rnd);
  sum.bytes += writeSubAccountList(joinPath(yayoi, "補助科目一覧表.txt"), accounts);
  sum.bytes += writeSubBalances(joinPath(yayoi, "補助残高一覧表.txt"), accounts, departments, size,
                                rnd, sum.subBalanceRows);
  sum.bytes +=
      writeJournal(joinPath(yayoi, "仕訳データ.txt"), accounts, departments, size, rnd, sum.slips);
  sum.bytes += writeMaster(joinPath(folder, "ledra_master.csv"), accounts, rnd);

  sum.accounts = static_cast<int>(accounts.size());
  sum.balanceRows = std::max(size.balanceRows, sum.accounts);
  sum.departments = static_cast<int>(departments.size());
  for (const Account& a : accounts) {
    sum.subAccounts += static_cast<int>(a.subAccounts.size());
    if (!a.subAccounts.empty()) ++sum.parentAccounts;
  }
  sum.journalLines = size.journalLines;
  return sum;
}

}  // namespace ledra::bench
