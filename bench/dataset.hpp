#pragma once

#include <cstdint>
#include <string>

// A synthetic company as 弥生会計 exports it (the five reports and the journal) together with
// the service's chart of accounts, sized for the benchmark. The same seed and size always give
// the same bytes.
namespace ledra::bench {

struct DatasetSize {
  int accounts = 2000;
  int balanceRows = 5000;
  int departments = 100;
  int subAccounts = 5000;
  int parentAccounts = 300;
  int subBalanceRows = 5000;
  int journalLines = 30000;

  // The largest company the tables hold.
  static DatasetSize full() { return {}; }
  // Every count halved, for the growth check.
  static DatasetSize half() { return full().scaled(0.5); }
  DatasetSize scaled(double factor) const;
};

struct DatasetSummary {
  int accounts = 0;
  int balanceRows = 0;
  int departments = 0;
  int subAccounts = 0;
  int parentAccounts = 0;
  int subBalanceRows = 0;
  int journalLines = 0;
  int slips = 0;
  int64_t bytes = 0;  // all files together
};

// Writes folder/yayoi/{勘定科目一覧表,科目残高試算表,補助科目一覧表,補助残高一覧表,部門一覧表,
// 仕訳データ}.txt and folder/ledra_master.csv (CP932, CR LF). The folder must exist.
DatasetSummary writeDataset(const std::string& folder, const DatasetSize& size, uint64_t seed);

}  // namespace ledra::bench
