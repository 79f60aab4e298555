// ブルーリターンＡ's binary journal: the expansion into the intermediate file, then the journal
// import and writer reading that file, against the example company's accounts.
#include <string>

#include "fuzz_support.hpp"
#include "import/blue_return_accounts.hpp"
#include "import/blue_return_journal.hpp"
#include "import/journal_import.hpp"
#include "output/journal_file.hpp"
#include "output/output_common.hpp"
#include "state/conversion_state.hpp"
#include "state/journal_entry.hpp"

using namespace ledra;

namespace {

const ConversionState& exampleCompany() {
  static const ConversionState company = [] {
    ConversionState s = fuzz::withExampleMaster(SourcePackage::BlueReturn);
    fuzz::QuietPlatform platform;
    (void)importBlueAccounts(s, platform, fuzz::examplesFolder() + "blue/Data/Y2007/kcode.brf");
    fuzz::classifyAll(s, platform);
    s.fiscalYear = 2007;
    s.journalPeriod = {2007, 1, 1, 2007, 12, 31};
    fuzz::writeEverySlip(s);
    return s;
  }();
  return company;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConversionState state = exampleCompany();
  const std::string path = fuzz::inputFile(data, size, "journal.bin");
  fuzz::QuietPlatform platform;
  if (!expandBlueJournal(state, platform, path, state.outputFolder)) return 0;
  const std::string intermediate = state.sourceFile(SourceFile::Journal);
  Journal journal;
  FolderOutput out(state.outputFolder);
  if (importJournal(state, platform, intermediate, &journal))
    (void)writeJournalFile(state, platform, journal, out);
  return 0;
}
