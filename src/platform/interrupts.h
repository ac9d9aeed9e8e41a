#ifndef QUORVEX_PLATFORM_INTERRUPTS_H_
#define QUORVEX_PLATFORM_INTERRUPTS_H_

namespace quorvex {

// The user's requests to stop: Ctrl+C, a terminate request, a closed
// terminal (hang-up) and quit. While at least one watch is held they are
// recorded instead of ending the process, so a running job can stop
// cleanly, keep the old destination and report the abort. A request the
// program was started with ignored stays ignored.
class Interrupts {
 public:
  virtual ~Interrupts() = default;

  // The first watch clears the record of earlier requests; the last one to
  // end restores what the program had before. The thread that begins the
  // first watch should end the last one: on POSIX the requests are held
  // back on it, and on the threads it starts meanwhile.
  virtual void BeginWatch() = 0;
  virtual void EndWatch() = 0;
  // Whether a request came since the first watch began: on POSIX a request
  // sent to the process counts from the moment it is sent, for every
  // thread, before any handler has run (one sent to a single thread that
  // holds it back counts for that thread). Safe from any thread.
  virtual bool Requested() const = 0;
};

// The platform's signals (POSIX) or console control events (Windows).
Interrupts& SystemInterrupts();

// Holds a watch for its lifetime.
class InterruptWatch {
 public:
  explicit InterruptWatch(Interrupts& interrupts) : interrupts_(interrupts) { interrupts_.BeginWatch(); }
  ~InterruptWatch() { interrupts_.EndWatch(); }
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

 private:
  Interrupts& interrupts_;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_INTERRUPTS_H_
