#pragma once

namespace ledra {

// What an import reads. The numbers are the kinds' own: the 弥生会計 reports, the journal and
// ブルーリターンＡ's account file; they also name the classification each one runs.
enum class ReportKind {
  AccountList = 0,
  TrialBalance = 1,
  SubAccountList = 2,
  SubAccountBalances = 3,
  DepartmentList = 4,
  Journal = 5,
  BlueAccounts = 6,
};

}  // namespace ledra
