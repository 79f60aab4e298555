#include "state/package_profile.hpp"

namespace ledra {

namespace {

constexpr SourceSlot kYayoiRows[] = {
    {SourceFile::AccountList, "勘定科目一覧表", "勘定科目一覧表.txt", false},
    {SourceFile::TrialBalance, "科目残高試算表", "科目残高試算表.txt", false},
    {SourceFile::SubAccountList, "補助科目一覧表", "補助科目一覧表.txt", true},
    {SourceFile::SubAccountBalances, "補助科目残高一覧表", "補助残高一覧表.txt", true},
    {SourceFile::DepartmentList, "部門一覧表", "部門一覧表.txt", false},
    {SourceFile::Journal, "仕訳データ", "仕訳データ.txt", false},
};

constexpr SourceSlot kBlueReturnRows[] = {
    {SourceFile::BlueAccounts, "科目一覧表", "kcode.brf", false},
    {SourceFile::BlueJournal, "仕訳データ", "仕訳データ", false},
};

constexpr PackageProfile kYayoi{
    .package = SourcePackage::Yayoi,
    .name = "弥生会計",
    .reader = SourceReader::YayoiReports,
    .rows = kYayoiRows,
    .needsMasterFile = true,
    .hasTaxOptions = true,
    .hasJournalPeriod = false,
    .taxTable = TaxTable::Yayoi,
    .asksInstallation = false,
    .exchangeFolder = "Yayoi/Exchange/",
};

constexpr PackageProfile kBlueReturn{
    .package = SourcePackage::BlueReturn,
    .name = "ブルーリターン",
    .reader = SourceReader::BlueReturnData,
    .rows = kBlueReturnRows,
    .needsMasterFile = false,
    .hasTaxOptions = false,
    .hasJournalPeriod = true,
    .taxTable = TaxTable::BlueReturn,
    .asksInstallation = true,
    .exchangeFolder = "",
};

}  // namespace

const PackageProfile* packageProfile(SourcePackage package) {
  for (const PackageProfile* p : {&kYayoi, &kBlueReturn})
    if (p->package == package) return p;
  return nullptr;
}

const PackageProfile& packageProfileOrFirst(SourcePackage package) {
  const PackageProfile* p = packageProfile(package);
  return p ? *p : kYayoi;
}

const SourceSlot* sourceRow(const PackageProfile& profile, SourceFile file) {
  for (const SourceSlot& row : profile.rows)
    if (row.file == file) return &row;
  return nullptr;
}

std::string packageName(SourcePackage package) {
  const PackageProfile* p = packageProfile(package);
  return p ? std::string(p->name) : std::string();
}

}  // namespace ledra
