#pragma once

namespace ledra {

// While one exists, SIGINT, SIGTERM and SIGHUP wait: the first that arrives is delivered again
// when the last HeldSignals ends, so that work which must not stop half way (moving a set of
// files into place) finishes before the program ends.
class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
};

}  // namespace ledra
