#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/dates.hpp"

namespace ledra {

// One posting side of a journal line: columns 10 to 16 of the 弥生会計 layout for the debit
// side, 17 to 23 for the credit side.
struct JournalSide {
  std::string_view account;  // 弥生会計: the account name; ブルーリターンＡ: its code
  std::string_view subAccount;   // the sub-account name
  std::string_view department;   // the department name
  std::string_view taxCategory;  // 税区分
  std::string_view taxMethod;    // 税計算区分 (内税, 外税, ...)
  int32_t amount = 0;
  int32_t taxAmount = 0;
  // ブルーリターンＡ: the account code again (columns 6 and 7), whose first digit picks the tax
  // code row; empty for 弥生会計.
  std::string_view accountCode;
};

// One detail line of a journal, typed: what the journal import and the journal writer read of
// it. The texts are views into the Journal that holds the entry.
struct JournalEntry {
  int64_t sourceLine = 0;  // the line of the journal file (ブルーリターンＡ's records: the record)
  Date date;               // column 2
  int32_t voucher = 0;           // column 3's leading number, rounded; 0 when it is no number
  std::string_view voucherText;  // column 3 as written
  std::string_view colour;    // 弥生会計: column 6, the slip's colour mark (赤, 青, 緑, 黄)
  std::string_view slipMark;  // column 8; "[振伝]" marks a transfer slip
  JournalSide debit;
  JournalSide credit;
  std::string_view description;  // column 24
  std::string_view recordCode;  // column 29 (ブルーリターンＡ writes a code of its own there)
};

// The entries of one journal and the texts they view. It stays where it was made: the views
// point into it.
class Journal {
 public:
  Journal() = default;
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Empties the journal and holds the decoded file that the entries to come will view.
  void reset(std::string path, std::string text);
  // The file the journal was read from, for the detail of a failure.
  const std::string& path() const { return path_; }
  const std::string& text() const { return text_; }
  // Keeps a text that is not part of the held one (an unquoted field, a decoded record) for
  // as long as the journal lives; the view stays valid when more are kept.
  std::string_view keep(std::string_view text);

  std::vector<JournalEntry> entries;

  // A description that held characters CP932 lacks, as the file had it: the entry holds it
  // with "?" in their place, as shiwake.csv will. In line order.
  struct FoldedDescription {
    int64_t sourceLine = 0;
    std::string original;
  };
  std::vector<FoldedDescription> foldedDescriptions;

 private:
  std::string path_;
  std::string text_;
  std::deque<std::string> kept_;
};

}  // namespace ledra
