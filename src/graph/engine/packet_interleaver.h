#ifndef QUORVEX_GRAPH_ENGINE_PACKET_INTERLEAVER_H_
#define QUORVEX_GRAPH_ENGINE_PACKET_INTERLEAVER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// Puts the packets of several streams, each in its own decoding order, into
// one order by decoding time, so that a player finds the audio of a moment
// near its video. A packet waits until every stream has one waiting (the
// earliest of them goes first), but never unbounded: when the waiting
// packets hold more than `byteBudget` bytes or span more than `maxSpan`
// microseconds, the earliest goes at once. A stream that ends early, stalls,
// or is stamped far ahead of the others therefore costs at most the budget,
// never the rest of the file.
class PacketInterleaver {
 public:
  PacketInterleaver(size_t streamCount, size_t byteBudget, int64_t maxSpan);

  // Takes the packet's reference; `packet->stream_index` names its stream
  // and `timeBase` its timestamps' unit. False when out of memory (the
  // packet is then left as it was).
  bool Push(AVPacket* packet, AVRational timeBase);
  // Moves the next packet due into `packet`; false when none is due yet.
  bool PopReady(AVPacket* packet);
  // Moves the next packet into `packet` whatever still waits for it, for
  // the end of the data; false when none is left.
  bool PopAny(AVPacket* packet);

  size_t bytesWaiting() const { return bytes_; }

 private:
  struct Waiting {
    PacketHandle packet;
    int64_t time;  // microseconds
  };
  // The stream whose first waiting packet is earliest; -1 when none waits.
  int EarliestStream() const;
  void Take(int stream, AVPacket* packet);

  std::vector<std::deque<Waiting>> streams_;
  std::vector<int64_t> lastTimes_;
  std::vector<PacketHandle> spare_;  // emptied packets, reused to save an allocation per packet
  size_t byteBudget_;
  int64_t maxSpan_;
  size_t bytes_ = 0;
  size_t streamsWaiting_ = 0;
  int64_t latestTime_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PACKET_INTERLEAVER_H_
