#include "platform/held_signals.hpp"

#include <csignal>
#include <mutex>

namespace ledra {

namespace {

constexpr int kHeld[] = {SIGINT, SIGTERM, SIGHUP};

std::mutex holdMutex;
int holders = 0;
struct sigaction earlier[3];
// Whichever thread the signal lands on, it is only noted here.
volatile std::sig_atomic_t pending = 0;

extern "C" void noteSignal(int sig) {
  if (pending == 0) pending = sig;
}

}  // namespace

HeldSignals::HeldSignals() {
  std::lock_guard<std::mutex> guard(holdMutex);
  if (holders++ > 0) return;
  pending = 0;
  struct sigaction note {};
  note.sa_handler = noteSignal;
  sigemptyset(&note.sa_mask);
  note.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) {
    sigaction(kHeld[i], nullptr, &earlier[i]);
    // A signal the program ignores stays ignored.
    if (earlier[i].sa_handler != SIG_IGN) sigaction(kHeld[i], &note, nullptr);
  }
}

HeldSignals::~HeldSignals() {
  std::lock_guard<std::mutex> guard(holdMutex);
  if (--holders > 0) return;
  for (int i = 0; i < 3; ++i) sigaction(kHeld[i], &earlier[i], nullptr);
  if (const int sig = pending) {
    pending = 0;
    std::raise(sig);
  }
}

}  // namespace ledra
