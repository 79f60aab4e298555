// The journal import and the journal writer, against the example company's tables.
#include <string>

#include "fuzz_support.hpp"
#include "import/journal_import.hpp"
#include "import/report_import.hpp"
#include "output/journal_file.hpp"
#include "output/output_common.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"

using namespace ledra;

namespace {

const ConversionState& exampleCompany() {
  static const ConversionState company = [] {
    ConversionState s = fuzz::withExampleMaster(SourcePackage::Yayoi);
    fuzz::QuietPlatform platform;
    const std::pair<const char*, ReportKind> reports[] = {
        {"部門一覧表.txt", ReportKind::DepartmentList},
        {"勘定科目一覧表.txt", ReportKind::AccountList},
        {"科目残高試算表.txt", ReportKind::TrialBalance},
        {"補助科目一覧表.txt", ReportKind::SubAccountList},
        {"補助残高一覧表.txt", ReportKind::SubAccountBalances}};
    for (const auto& [name, kind] : reports)
      (void)importReport(s, platform, fuzz::examplesFolder() + "yayoi/" + name, kind);
    fuzz::writeEverySlip(s);
    return s;
  }();
  return company;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConversionState state = exampleCompany();
  const std::string path = fuzz::inputFile(data, size, "journal.txt");
  state.sourceFiles[SourceFile::Journal] = path;
  fuzz::QuietPlatform platform;
  Journal journal;
  FolderOutput out(state.outputFolder);
  if (importJournal(state, platform, path, &journal))
    (void)writeJournalFile(state, platform, journal, out);
  return 0;
}
