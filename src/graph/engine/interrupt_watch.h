#ifndef QUORVEX_GRAPH_ENGINE_INTERRUPT_WATCH_H_
#define QUORVEX_GRAPH_ENGINE_INTERRUPT_WATCH_H_

#include <memory>

namespace quorvex::engine {

// While one exists, the user's interrupt (Ctrl+C) and a request to terminate
// are recorded instead of killing the process, so a running graph can stop
// cleanly, delete its incomplete output and report the abort.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Whether an interrupt arrived since the watch began.
  static bool Interrupted();

 private:
  struct SavedHandlers;
  std::unique_ptr<SavedHandlers> saved_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_INTERRUPT_WATCH_H_
