#include "state/work_state_format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/numbers.hpp"
#include "base/quoted_fields.hpp"
#include "base/text.hpp"
#include "platform/cp932.hpp"
#include "platform/file_io.hpp"
#include "state/account_links.hpp"
#include "state/conversion_state.hpp"

namespace ledra {

namespace {

constexpr std::string_view kYayoiWord = "弥生会計";
constexpr std::string_view kBlueReturnWord = "ブルーリターン";

// The screens as the file names them.
constexpr std::pair<Screen, std::string_view> kScreenWords[] = {
    {Screen::Initial, "初期状態"},       {Screen::Starting, "起動時"},
    {Screen::Welcome, "広告中"},         {Screen::FileSettings, "ファイル設定"},
    {Screen::Mapping, "ファイル出力中"},
};

std::string_view screenWord(Screen screen) {
  for (const auto& [s, word] : kScreenWords)
    if (s == screen) return word;
  return {};
}

// The file keeps ten source-file fields; the slots after the last one are never filled.
constexpr size_t kStoredSourceFiles = 10;

constexpr const char* kStandardHeader = "科目標準";
constexpr const char* kAccountHeader = "変更中勘定科目";
constexpr const char* kBalanceHeader = "変更中科目残高";
constexpr const char* kSubAccountHeader = "変更中補助科目";
constexpr const char* kSubBalanceHeader = "変更中補助残高";
constexpr const char* kDepartmentHeader = "変更中部門一覧";
constexpr const char* kProfitAndLossTag = "[TBL]ProfitAndLoss";
constexpr const char* kBalanceSheetTag = "[TBL]BalanceSheet";
constexpr const char* kAllViewTag = "[TBL]ALLView";

std::string fieldName(const char* name, int column) {
  return column > 0 ? std::string(name) + " " + std::to_string(column) : std::string(name);
}

// Record layouts. The writer and the reader both walk these, so the two keep one field order.
// A visitor offers text, number, boolean, single and groupCode; the group code is written but
// recomputed from the group number on reading.

template <class V, class E>
void visitStandardAccount(V& v, E& e) {
  v.text(e.reserved1, "Reserved1");
  v.text(e.reserved2, "Reserved2");
  v.text(e.ledraCode, "LedraCode");
  v.text(e.ledraName, "LedraName");
  v.text(e.masterValue5, "MasterValue5");
}

template <class V, class E>
void visitWorkAccount(V& v, E& e) {
  for (int n = 1; n <= 18; ++n) v.text(e.col(n), "Columns", n);
  v.text(e.sourceCode, "SourceCode");
  v.text(e.sourceName, "SourceName");
  v.text(e.ledraCode, "LedraCode");
  v.text(e.ledraName, "LedraName");
  v.number(e.openingBalance, "OpeningBalance");
  v.boolean(e.hasSubAccounts, "HasSubAccounts");
  v.number(e.subAccountGroupNo, "SubAccountGroupNo");
  v.groupCode(e.subAccountGroupCode, e.subAccountGroupNo);
  v.boolean(e.notAutoMatched, "NotAutoMatched");
  v.boolean(e.matched, "Matched");
  v.number(e.displayBalance, "DisplayBalance");
  v.boolean(e.selected, "Selected");
  v.boolean(e.valid, "Valid");
  v.boolean(e.inUse, "InUse");
}

// The four amounts and the ratio, kept alike by both balance tables.
template <class V, class E>
void visitAmounts(V& v, E& e) {
  v.number(e.amount1, "Amount1");
  v.number(e.amount2, "Amount2");
  v.number(e.amount3, "Amount3");
  v.number(e.amount4, "Amount4");
  v.single(e.ratio, "Ratio");
}

// An account's mapping as the file repeats it in each of its balance rows and sub-accounts. The
// tables keep it on the account alone: the writer fills this from the links, the reader drops it.
struct RepeatedMapping {
  std::string code;
  std::string name;
  bool matched = false;
  bool valid = false;
};

RepeatedMapping repeatedMapping(const AccountLinks& links, const WorkAccountBalance& row) {
  return {links.ledraCodeOf(row), links.ledraNameOf(row), links.matchedOf(row), links.validOf(row)};
}

template <class Row>
RepeatedMapping repeatedParentMapping(const AccountLinks& links, const Row& row) {
  return {links.parentLedraCodeOf(row), links.parentLedraNameOf(row)};
}

template <class V, class E>
void visitAccountBalance(V& v, E& e, RepeatedMapping& m) {
  for (int n = 1; n <= 5; ++n) v.text(e.col(n), "Columns", n);
  visitAmounts(v, e);
  v.text(e.col(6), "Columns", 6);  // after the amounts, where the file has always kept it
  v.text(e.accountSourceCode, "AccountSourceCode");
  v.text(e.accountSourceName, "AccountSourceName");
  v.text(m.code, "LedraCode");
  v.text(m.name, "LedraName");
  v.number(e.linkAmount, "LinkAmount");
  v.boolean(e.accountHasSubAccounts, "AccountHasSubAccounts");
  v.number(e.subAccountGroupNo, "SubAccountGroupNo");
  v.groupCode(e.subAccountGroupCode, e.subAccountGroupNo);
  v.boolean(e.accountNotAutoMatched, "AccountNotAutoMatched");
  v.boolean(m.matched, "AccountMatched");
  v.boolean(e.processed, "Processed");
  v.boolean(m.valid, "AccountValid");
  v.text(e.departmentCode, "DepartmentCode");
}

template <class V, class E>
void visitSubAccount(V& v, E& e, RepeatedMapping& m) {
  for (int n = 1; n <= 11; ++n) v.text(e.col(n), "Columns", n);
  v.text(e.newSubCode, "NewSubCode");
  v.text(e.subAccountName, "SubAccountName");
  v.number(e.subAccountGroupNo, "SubAccountGroupNo");
  v.groupCode(e.subAccountGroupCode, e.subAccountGroupNo);
  v.text(m.code, "ParentLedraCode");
  v.text(m.name, "ParentLedraName");
  v.number(e.openingBalance, "OpeningBalance");
  v.number(e.ownRow, "OwnRow");
  v.boolean(e.linkedToAccount, "LinkedToAccount");
}

template <class V, class E>
void visitSubAccountBalance(V& v, E& e, RepeatedMapping& m) {
  for (int n = 1; n <= 6; ++n) v.text(e.col(n), "Columns", n);
  visitAmounts(v, e);
  v.text(e.newSubCode, "NewSubCode");
  v.text(e.subAccountName, "SubAccountName");
  v.number(e.subAccountGroupNo, "SubAccountGroupNo");
  v.groupCode(e.subAccountGroupCode, e.subAccountGroupNo);
  v.text(m.code, "ParentLedraCode");
  v.text(m.name, "ParentLedraName");
  v.number(e.unusedLong1, "Long18");
  v.number(e.unusedLong2, "Long19");
  v.boolean(e.linkedToAccount, "LinkedToAccount");
  v.text(e.departmentCode, "DepartmentCode");
}

template <class V, class E>
void visitDepartment(V& v, E& e) {
  for (int n = 1; n <= 12; ++n) v.text(e.col(n), "Columns", n);
  v.text(e.joinedName, "JoinedName");
  v.text(e.level1Code, "Level1Code");
  v.text(e.level2Code, "Level2Code");
  v.text(e.level3Code, "Level3Code");
  v.text(e.departmentCode, "DepartmentCode");
  v.text(e.matchName, "MatchName");
  v.text(e.unusedText, "Text19");
  v.text(e.parentDepartmentName, "ParentDepartmentName");
}

// Reading (and counting) the rows that repeat a mapping: the repeated fields are read and dropped.
constexpr auto readAccountBalance = [](auto& v, auto& e) {
  RepeatedMapping dropped;
  visitAccountBalance(v, e, dropped);
};
constexpr auto readSubAccount = [](auto& v, auto& e) {
  RepeatedMapping dropped;
  visitSubAccount(v, e, dropped);
};
constexpr auto readSubAccountBalance = [](auto& v, auto& e) {
  RepeatedMapping dropped;
  visitSubAccountBalance(v, e, dropped);
};

// Counts the fields of a layout.
struct FieldCounter {
  size_t count = 0;
  template <class T>
  void text(T&, const char*, int = 0) {
    ++count;
  }
  template <class T>
  void number(T&, const char*) {
    ++count;
  }
  template <class T>
  void boolean(T&, const char*) {
    ++count;
  }
  template <class T>
  void single(T&, const char*) {
    ++count;
  }
  template <class T, class N>
  void groupCode(T&, N&) {
    ++count;
  }
};

template <class E, class Visit>
size_t fieldCount(Visit visit) {
  FieldCounter counter;
  E sample{};
  visit(counter, sample);
  return counter.count;
}

std::string countText(int32_t n) {
  // Non-negative numbers print with a blank in front and one after.
  return (n >= 0 ? " " : "") + std::to_string(n) + " ";
}

std::string singleText(float f) {
  std::string s = formatSingle(f);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

// Builds the file text (UTF-8) and notes the first text the format could not carry.
class Writer {
 public:
  explicit Writer(size_t sizeHint) { out_.reserve(sizeHint); }

  const std::string& text() const { return out_; }
  const std::optional<std::string>& problem() const { return problem_; }

  void fixedLine(std::string_view s) {
    out_ += s;
    out_ += kCrLf;
  }
  void countLine(int32_t n) { fixedLine(countText(n)); }
  void booleanLine(bool b) { fixedLine(b ? "True" : "False"); }

  // A whole-line setting: any text but a line break.
  void settingLine(const std::string& s, const char* name) {
    check(s, [&] { return std::string(name); });
    checkHeldByCp932(s, [&] { return std::string(name); });
    fixedLine(s);
  }

  void sourceFilesLine(const SourceFiles& files) {
    size_t i = 0;
    for (const std::string& file : files) {
      auto name = [&] { return "SourceFiles(" + std::to_string(i) + ")"; };
      check(file, name);
      checkHeldByCp932(file, name);
      appendQuotedWhenNeeded(out_, file);
      out_ += ',';
      ++i;
    }
    for (; i < kStoredSourceFiles; ++i) out_ += ',';
    out_ += kCrLf;
  }

  void viewLine(const AccountView& view) {
    for (int32_t v : view) {
      out_ += std::to_string(v);
      out_ += ',';
    }
    out_ += kCrLf;
  }

  void beginRecord(const char* section, int32_t entry, bool trailingComma) {
    section_ = section;
    entry_ = entry;
    trailingComma_ = trailingComma;
    firstField_ = true;
  }
  void endRecord() { out_ += kCrLf; }

  void text(const std::string& s, const char* name, int column = 0) {
    check(s, [&] { return recordItem(fieldName(name, column)); });
    if (!trailingComma_ && !firstField_) out_ += ',';
    appendQuotedWhenNeeded(out_, s);
    if (trailingComma_) out_ += ',';
    firstField_ = false;
  }
  void number(int32_t v, const char*) {
    char digits[16];
    const auto r = std::to_chars(digits, digits + sizeof digits, v);
    field(std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
  }
  void boolean(bool b, const char*) { field(b ? "True" : "False"); }
  void single(float f, const char* name) {
    if (!problem_ && !std::isfinite(f)) problem_ = recordItem(name) + ": 数値ではありません";
    field(singleText(f));
  }
  void groupCode(const std::string& code, int32_t) { text(code, "SubAccountGroupCode"); }

 private:
  // Commas and quotes are carried by quoting; only a line break cannot be.
  template <class Name>
  void check(std::string_view s, Name name) {
    if (problem_) return;
    // A plain loop: find_first_of asks memchr about the two characters once per byte.
    bool lineBreak = false;
    for (char c : s) lineBreak |= (c == '\r') | (c == '\n');
    if (lineBreak) problem_ = name() + ": 改行を含んでいます";
  }

  // Read texts are already folded, but paths come from the file system as they are: one CP932
  // cannot hold would come back as another path, so the state would no longer find its files.
  template <class Name>
  void checkHeldByCp932(const std::string& s, Name name) {
    if (problem_ || isAscii(s)) return;
    if (foldToCp932(s) != s) problem_ = name() + ": CP932で表せない文字を含んでいます（" + s + "）";
  }

  std::string recordItem(const std::string& field) const {
    return std::string(section_) + " " + std::to_string(entry_ + 1) + "件目 " + field;
  }

  void field(std::string_view s) {
    if (!trailingComma_ && !firstField_) out_ += ',';
    out_ += s;
    if (trailingComma_) out_ += ',';
    firstField_ = false;
  }

  std::string out_;
  std::optional<std::string> problem_;
  const char* section_ = "";
  int32_t entry_ = 0;
  bool trailingComma_ = true;
  bool firstField_ = true;
};

template <class TableT, class Visit>
void writeSection(Writer& w, const char* header, const TableT& table, bool trailingComma,
                  Visit visit) {
  w.fixedLine(header);
  w.countLine(table.count());
  for (int32_t i = 0; i < table.count(); ++i) {
    w.beginRecord(header, i, trailingComma);
    visit(w, table[i]);
    w.endRecord();
  }
}

void writeState(Writer& w, const ConversionData& s) {
  w.fixedLine(s.sourcePackage == SourcePackage::BlueReturn ? kBlueReturnWord : kYayoiWord);
  w.fixedLine(screenWord(s.screenState));
  w.settingLine(s.ledraUserCode, "LedraUserCode");
  w.settingLine(s.ledraUserName, "LedraUserName");
  w.settingLine(s.departmentTotalName, "DepartmentTotalName");
  w.settingLine(s.baseFolder, "BaseFolder");
  w.sourceFilesLine(s.sourceFiles);
  w.settingLine(s.outputFolder, "OutputFolder");
  w.settingLine(s.ledraAccountFile, "LedraAccountFile");
  writeSection(w, kStandardHeader, s.standardAccounts, true,
               [](auto& v, auto& e) { visitStandardAccount(v, e); });
  writeSection(w, kAccountHeader, s.workAccounts, true,
               [](auto& v, auto& e) { visitWorkAccount(v, e); });
  const AccountLinks links(s);
  writeSection(w, kBalanceHeader, s.workAccountBalances, true, [&links](auto& v, auto& e) {
    RepeatedMapping m = repeatedMapping(links, e);
    visitAccountBalance(v, e, m);
  });
  writeSection(w, kSubAccountHeader, s.workSubAccounts, true, [&links](auto& v, auto& e) {
    RepeatedMapping m = repeatedParentMapping(links, e);
    visitSubAccount(v, e, m);
  });
  writeSection(w, kSubBalanceHeader, s.workSubAccountBalances, true, [&links](auto& v, auto& e) {
    RepeatedMapping m = repeatedParentMapping(links, e);
    visitSubAccountBalance(v, e, m);
  });
  writeSection(w, kDepartmentHeader, s.workDepartments, false,
               [](auto& v, auto& e) { visitDepartment(v, e); });
  w.countLine(s.journalRows.count());
  for (auto [tag, view] :
       {std::pair{kProfitAndLossTag, &s.profitAndLossView},
        std::pair{kBalanceSheetTag, &s.balanceSheetView}, std::pair{kAllViewTag, &s.allView}}) {
    w.fixedLine(tag);
    w.countLine(view->count());
    w.viewLine(*view);
  }
  w.booleanLine(s.consumptionTaxOn);
  w.booleanLine(s.simplifiedTaxation);
}

// Room for the whole file text, rather more than it takes: only what is written is touched.
size_t textSizeHint(const ConversionData& s) {
  auto fields = [](auto& table, auto visit) {
    using Entry = std::remove_cvref_t<decltype(table[0])>;
    static const size_t perEntry = fieldCount<Entry>(visit);
    return static_cast<size_t>(table.count()) * perEntry;
  };
  size_t n = fields(s.standardAccounts, [](auto& v, auto& e) { visitStandardAccount(v, e); }) +
             fields(s.workAccounts, [](auto& v, auto& e) { visitWorkAccount(v, e); }) +
             fields(s.workAccountBalances, readAccountBalance) +
             fields(s.workSubAccounts, readSubAccount) +
             fields(s.workSubAccountBalances, readSubAccountBalance) +
             fields(s.workDepartments, [](auto& v, auto& e) { visitDepartment(v, e); });
  n += static_cast<size_t>(s.profitAndLossView.count() + s.balanceSheetView.count() +
                           s.allView.count());
  return n * 16 + 64 * 1024;
}

// The value of a text of digits alone (after a "-" when allowed), up to fifteen of them, which
// a double holds exactly; nothing for any other text, which then goes the general way.
std::optional<int64_t> plainInteger(std::string_view s, bool minus) {
  const bool negative = minus && !s.empty() && s.front() == '-';
  if (negative) s.remove_prefix(1);
  if (s.empty() || s.size() > 15) return std::nullopt;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return negative ? -v : v;
}

// A refused work-state file: the 1-based line and what is wrong with it.
struct MalformedFile {
  size_t line;
  std::string reason;
};

// Reads the file line by line; every departure from the layout throws MalformedFile.
class Reader {
 public:
  explicit Reader(std::string_view text) : lines_(splitPlainView(text, kCrLf)) {
    // Every line ends with CR LF, so the split leaves one empty part after the last.
    if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
  }

  std::string_view next() {
    if (pos_ >= lines_.size()) throw MalformedFile{pos_ + 1, "行がありません"};
    return lines_[pos_++];
  }
  bool atEnd() const { return pos_ >= lines_.size(); }
  [[noreturn]] void fail(std::string reason) const { throw MalformedFile{pos_, std::move(reason)}; }

  void expect(std::string_view word) {
    if (next() != word) fail("「" + std::string(word) + "」ではありません");
  }

  int32_t count(int32_t capacity) {
    std::string_view line = next();
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    const std::optional<int64_t> n = parseInteger(line);
    if (!n) fail("件数が数値ではありません");
    if (*n < 0 || *n > capacity)
      fail("件数 " + std::to_string(*n) + " が範囲外です（上限 " + std::to_string(capacity) + "）");
    return static_cast<int32_t>(*n);
  }

  bool booleanLine(const char* name) {
    const std::string_view line = next();
    return toBoolean(line, name);
  }

  // Splits a record line into fields; trailingComma lines end with "," after the last field.
  void beginRecord(std::string_view line, size_t expected, bool trailingComma) {
    if (!cutQuotedFields(line, fields_, scratch_, true)) fail("引用符（\"）が閉じていません");
    fieldIndex_ = 0;
    size_t found = fields_.size();
    if (trailingComma && fields_.back().empty()) --found;
    if (found != expected)
      fail("項目数が " + std::to_string(found) + " です（" + std::to_string(expected) + " 項目）");
    if (trailingComma && !fields_.back().empty()) fail("行末に「,」がありません");
  }

  void text(std::string& s, const char*, int = 0) {
    // Most columns are empty: clearing is cheaper than a general assignment.
    const std::string_view f = field();
    if (f.empty()) {
      s.clear();
    } else {
      s.assign(f);
    }
  }
  void number(int32_t& v, const char* name) { v = toLong(field(), name); }
  void boolean(bool& b, const char* name) { b = toBoolean(field(), name); }
  void single(float& f, const char* name) {
    const std::string_view text = field();
    // Digits alone stand for a float exactly up to 2^24 (no sign: "-0" is a float of its own).
    if (const std::optional<int64_t> plain = plainInteger(text, false);
        plain && *plain < (1 << 24)) {
      f = static_cast<float>(*plain);
      return;
    }
    const std::optional<float> v = parseSingle(text);
    if (!v) fail(std::string(name) + " が数値ではありません");
    f = *v;
  }
  // The written code is not trusted: it follows from the group number read just before.
  void groupCode(std::string& code, int32_t no) {
    field();
    const std::optional<std::string> c = subAccountGroupCode(no);
    if (!c) fail("SubAccountGroupNo " + std::to_string(no) + " に対応する記号がありません");
    code = *c;
  }

  int32_t toLong(std::string_view s, const char* name) const {
    // Nearly every number is a plain integer, which reads to the same value without a double.
    if (const std::optional<int64_t> plain = plainInteger(s, true)) {
      if (!fitsInt32(*plain)) fail(std::string(name) + " が範囲外です");
      return static_cast<int32_t>(*plain);
    }
    const std::optional<double> v = parseStrictNumber(s);
    if (!v) fail(std::string(name) + " が数値ではありません");
    const std::optional<int32_t> r = toInt32Rounded(*v);
    if (!r) fail(std::string(name) + " が範囲外です");
    return *r;
  }

 private:
  std::string_view field() { return fields_[fieldIndex_++]; }

  bool toBoolean(std::string_view s, const char* name) const {
    if (s == "True") return true;
    if (s == "False") return false;
    fail(std::string(name) + " が True でも False でもありません");
  }

  std::vector<std::string_view> lines_;
  size_t pos_ = 0;
  std::vector<std::string_view> fields_;
  std::string scratch_;  // unquoted fields of the current record
  size_t fieldIndex_ = 0;
};

template <class TableT, class Visit>
void readSection(Reader& r, const char* header, TableT& table, bool trailingComma, Visit visit) {
  using Entry = std::remove_reference_t<decltype(table[0])>;
  static const size_t expected = fieldCount<Entry>(visit);
  r.expect(header);
  table.resize(r.count(TableT::kCapacity));
  for (int32_t i = 0; i < table.count(); ++i) {
    r.beginRecord(r.next(), expected, trailingComma);
    visit(r, table[i]);
  }
}

void readView(Reader& r, const char* tag, AccountView& view, int32_t accountCount) {
  r.expect(tag);
  view.resize(r.count(AccountView::kCapacity));
  const std::vector<std::string_view> items = splitPlainView(r.next(), ",");
  if (items.size() != static_cast<size_t>(view.count()) + 1 || !items.back().empty())
    r.fail("件数 " + std::to_string(view.count()) + " と値の数が合いません");
  for (int32_t i = 0; i < view.count(); ++i) {
    const int32_t v = r.toLong(items[i], "勘定科目番号");
    // The views index WorkAccounts; anything else would point outside the table.
    if (v < 0 || v >= accountCount) r.fail("勘定科目番号 " + std::to_string(v) + " が範囲外です");
    view[i] = v;
  }
}

// Everything the file carries, read into a scratch state so that a refused file changes nothing.
void readState(std::string_view text, ConversionData& p) {
  Reader r(text);
  const std::string_view word = r.next();
  if (word == kYayoiWord)
    p.sourcePackage = SourcePackage::Yayoi;
  else if (word == kBlueReturnWord)
    p.sourcePackage = SourcePackage::BlueReturn;
  else
    r.fail("「弥生会計」でも「ブルーリターン」でもありません");
  const std::string_view screen = r.next();
  bool knownScreen = false;
  for (const auto& [value, word] : kScreenWords) {
    if (word != screen) continue;
    p.screenState = value;
    knownScreen = true;
  }
  p.ledraUserCode = r.next();
  if (const std::string why = userCodeProblem(p.ledraUserCode); !why.empty()) r.fail(why);
  p.ledraUserName = r.next();
  p.departmentTotalName = r.next();
  p.baseFolder = r.next();
  std::vector<std::string_view> files;
  std::string unquoted;
  if (!cutQuotedFields(r.next(), files, unquoted, true)) r.fail("引用符（\"）が閉じていません");
  if (files.size() != kStoredSourceFiles + 1 || !files.back().empty())
    r.fail("ソースファイルが10個ではありません");
  for (size_t i = 0; i < kSourceFileCount; ++i)
    p.sourceFiles[kEverySourceFile[i]] = std::string(files[i]);
  p.outputFolder = r.next();
  p.ledraAccountFile = r.next();
  readSection(r, kStandardHeader, p.standardAccounts, true,
              [](auto& v, auto& e) { visitStandardAccount(v, e); });
  readSection(r, kAccountHeader, p.workAccounts, true,
              [](auto& v, auto& e) { visitWorkAccount(v, e); });
  readSection(r, kBalanceHeader, p.workAccountBalances, true, readAccountBalance);
  readSection(r, kSubAccountHeader, p.workSubAccounts, true, readSubAccount);
  readSection(r, kSubBalanceHeader, p.workSubAccountBalances, true, readSubAccountBalance);
  readSection(r, kDepartmentHeader, p.workDepartments, false,
              [](auto& v, auto& e) { visitDepartment(v, e); });
  p.journalRows.resize(r.count(kJournalCapacity));
  const int32_t accounts = p.workAccounts.count();
  readView(r, kProfitAndLossTag, p.profitAndLossView, accounts);
  readView(r, kBalanceSheetTag, p.balanceSheetView, accounts);
  readView(r, kAllViewTag, p.allView, accounts);
  p.consumptionTaxOn = r.booleanLine("ConsumptionTaxOn");
  p.simplifiedTaxation = r.booleanLine("SimplifiedTaxation");
  if (!r.atEnd()) {
    r.next();
    r.fail("余分な行があります");
  }
  // Looked at last, so that a file broken further on is still named for that.
  if (!knownScreen) throw MalformedFile{2, "画面の状態「" + std::string(screen) + "」がありません"};
}

}  // namespace

std::string userCodeProblem(std::string_view userCode) {
  // The longest stamp the archive's name takes after the code.
  if (userCode != "." && userCode != ".." &&
      isPlainFileName(std::string(userCode) + "_output_00000000000000.zip")) {
    return {};
  }
  std::string shown;
  for (unsigned char c : userCode) {
    if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return "ユーザーコード「" + shown +
         "」はファイル名に使えません（「/"
         "」「\\」、制御文字、「.」「..」だけのもの、長すぎるものは使えません）";
}

std::optional<std::string> workStateBytes(const ConversionData& data, std::string* problem) {
  auto refused = [&](std::string why) -> std::optional<std::string> {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  if (data.sourcePackage != SourcePackage::Yayoi && data.sourcePackage != SourcePackage::BlueReturn)
    return refused("SourcePackage: " + std::to_string(static_cast<int32_t>(data.sourcePackage)));
  Writer writer(textSizeHint(data));
  writeState(writer, data);
  if (writer.problem()) return refused(*writer.problem());
  // Every text held is one that CP932 carries as it stands, so the bytes read back the same.
  return encodeCp932(writer.text());
}

bool parseWorkState(std::string_view text, ConversionData& data, std::string* problem) {
  try {
    readState(text, data);
    return true;
  } catch (const MalformedFile& bad) {
    if (problem) *problem = std::to_string(bad.line) + "行目: " + bad.reason;
    return false;
  }
}

}  // namespace ledra
