#ifndef QUORVEX_GRAPH_ENGINE_STREAM_PUMP_H_
#define QUORVEX_GRAPH_ENGINE_STREAM_PUMP_H_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "graph/engine/media_source.h"
#include "graph/engine/packet_queue.h"
#include "graph/engine/packet_sink.h"
#include "graph/engine/progress_line.h"
#include "platform/interrupts.h"

namespace quorvex::engine {

// Where one source stream's packets go; no sink for streams nobody wants.
struct Route {
  PacketSink* sink = nullptr;
  int input = -1;
};

// The graph's streaming threads. One thread demuxes the source while a
// second writes the packets to the sinks, so reading and writing overlap;
// the queue between them is bounded, so memory stays flat.
class StreamPump {
 public:
  // The sinks are open already; the pump finishes or abandons every one.
  StreamPump(MediaSource& source, std::vector<Route> routes, std::vector<PacketSink*> sinks,
             const Interrupts& interrupts, std::unique_ptr<ProgressTerminal> progress);
  // Stops the threads (a run not waited for counts as abandoned).
  ~StreamPump();
  StreamPump(const StreamPump&) = delete;
  StreamPump& operator=(const StreamPump&) = delete;

  void Start();
  // The completion event code (1 end of data, 2 user abort, 3 read or write
  // error), or nullopt when `timeout` passed first; a negative timeout waits
  // for good.
  std::optional<int32_t> Wait(std::chrono::milliseconds timeout);

 private:
  enum class ReadEnd { kEndOfData, kError, kInterrupted, kCancelled };

  // The threads' entries: whatever escapes their loops ends the run as an
  // error, after the same clean-up as any other end.
  void Read();
  void Write();
  void ReadLoop();
  // False when writing failed.
  bool WriteLoop();
  int32_t Conclude(bool writeFailed);
  // Finishes every output, then commits them all, unless a stop request
  // came first; true when all are in place.
  bool FinishAndCommit();

  MediaSource& source_;
  std::vector<Route> routes_;
  std::vector<PacketSink*> sinks_;
  const Interrupts& interrupts_;
  ProgressLine progress_;
  PacketQueue queue_;

  std::thread reader_;
  std::thread writer_;
  ReadEnd readEnd_ = ReadEnd::kEndOfData;  // written by the reader before it ends

  std::mutex mutex_;
  std::condition_variable done_;
  std::optional<int32_t> eventCode_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_STREAM_PUMP_H_
