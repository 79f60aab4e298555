#include <cstdio>
#include <string>
#include <vector>

#include "app/cli.hpp"

#ifdef LEDRA_HAVE_GUI
#include "gui/gui_controller.hpp"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef LEDRA_HAVE_GUI
  if (args.empty()) return ledra::gui::runGui(argc, argv);
  if (args == std::vector<std::string>{"--gui-available"}) return 0;
#else
  if (args.empty() || args == std::vector<std::string>{"--gui-available"}) {
    std::fprintf(stderr, "この版には画面がありません。使い方: ledra-convert --help\n");
    return 2;
  }
#endif
  return ledra::runCommandLine(args);
}
