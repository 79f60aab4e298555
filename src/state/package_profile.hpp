#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ledra {

// The source package chosen on the start form; the numbers are those the work-state file keeps.
enum class SourcePackage : int32_t { None = 0, Yayoi = 1, BlueReturn = 2 };

// The source-file slots, in the order the work-state file keeps them: the 弥生会計 reports and
// journal, then ブルーリターンＡ's files.
enum class SourceFile : uint8_t {
  AccountList,
  TrialBalance,
  SubAccountList,
  SubAccountBalances,
  DepartmentList,
  Journal,  // for ブルーリターンＡ, the intermediate journal it expands into
  BlueAccounts,
  BlueJournal,
  BlueSettings,  // found beside BlueAccounts when the import runs
};
inline constexpr size_t kSourceFileCount = 9;

// One value per slot.
template <class T>
class PerSourceFile {
 public:
  T& operator[](SourceFile f) { return values_[static_cast<size_t>(f)]; }
  const T& operator[](SourceFile f) const { return values_[static_cast<size_t>(f)]; }
  auto begin() { return values_.begin(); }
  auto end() { return values_.end(); }
  auto begin() const { return values_.begin(); }
  auto end() const { return values_.end(); }
  bool operator==(const PerSourceFile&) const = default;

 private:
  std::array<T, kSourceFileCount> values_{};
};

using SourceFiles = PerSourceFile<std::string>;

// Every slot, in order.
inline constexpr std::array<SourceFile, kSourceFileCount> kEverySourceFile = {
    SourceFile::AccountList,        SourceFile::TrialBalance,   SourceFile::SubAccountList,
    SourceFile::SubAccountBalances, SourceFile::DepartmentList, SourceFile::Journal,
    SourceFile::BlueAccounts,       SourceFile::BlueJournal,    SourceFile::BlueSettings};

// A row of the file-settings screen: the slot it fills and how the package names the file.
struct SourceSlot {
  SourceFile file;
  std::string_view label;     // the row's label on the file settings
  std::string_view fileName;  // the name the package gives the file in its folder
  bool optional;              // the import skips it when left empty
};

// How a package's data is read.
enum class SourceReader {
  YayoiReports,    // text reports and a journal, each chosen or found by what it holds
  BlueReturnData,  // a year's data folder of fixed files; the journal expanded for 変換
};

// Which tax-category table the journal writer converts with.
enum class TaxTable { Yayoi, BlueReturn };

// Everything that differs between the source packages. The rest of the program asks the
// profile rather than which package it is.
struct PackageProfile {
  SourcePackage package;
  std::string_view name;  // as the start form and the captions name it
  SourceReader reader;
  // The file-settings rows, in screen order; every slot the user chooses is one of them.
  std::span<const SourceSlot> rows;
  // The master file must be named before the import may run.
  bool needsMasterFile;
  // The consumption-tax options apply; otherwise both are off when the files are chosen.
  bool hasTaxOptions;
  // The journal is taken for a period the user gives on the file settings.
  bool hasJournalPeriod;
  TaxTable taxTable;
  // Start-up asks, after the master, for the package's installation folder and fiscal year.
  bool asksInstallation;
  // The master dialog starts in, and the defaults lie in, this folder under the base folder
  // ("" for the base folder itself).
  std::string_view exchangeFolder;

  // The next button of the file-settings screen: every row that is not optional, the output
  // folder and, where needed, the master file are given.
  template <class Data>
  bool filesChosen(const Data& d) const {
    for (const SourceSlot& row : rows)
      if (!row.optional && d.sourceFiles[row.file].empty()) return false;
    return !d.outputFolder.empty() && (!needsMasterFile || !d.ledraAccountFile.empty());
  }
};

// The profile of a package; nullptr for None or a number no package has.
const PackageProfile* packageProfile(SourcePackage package);

// The profile of a package; 弥生会計's, the start form's first choice, when none is chosen.
const PackageProfile& packageProfileOrFirst(SourcePackage package);

// The profile's row for a slot; nullptr when the package has no such row.
const SourceSlot* sourceRow(const PackageProfile& profile, SourceFile file);

// The package's name, "" when there is none.
std::string packageName(SourcePackage package);

}  // namespace ledra
