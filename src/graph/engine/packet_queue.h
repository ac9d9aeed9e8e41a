#ifndef QUORVEX_GRAPH_ENGINE_PACKET_QUEUE_H_
#define QUORVEX_GRAPH_ENGINE_PACKET_QUEUE_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// Hands packets from the reading thread to the writing thread. It is bounded
// both in packets and in bytes, so memory stays flat however large the
// source, and its slots are allocated once: a packet's data reference moves
// in and out without any allocation of the queue's own.
class PacketQueue {
 public:
  PacketQueue(size_t slots, size_t byteBudget);

  // Moves the packet's reference in, waiting for room. False when the queue
  // was cancelled (the packet is then left as it was).
  bool Push(AVPacket* packet);
  // Moves the oldest packet into `packet`, waiting for one. False when the
  // queue is closed and empty, or cancelled.
  bool Pop(AVPacket* packet);

  // No more packets will come; Pop drains what is left.
  void Close();
  // Wakes and refuses everyone, dropping what is queued.
  void Cancel();

  // True while a Push waits for room: lets a test see the reading thread held back.
  bool PushWaiting();

 private:
  bool HasRoomFor(size_t size) const;
  // The writer is woken in batches, not for every packet: each wake-up costs
  // both threads a context switch, which on small DVD packets is most of
  // the reading thread's time.
  bool WriterShouldWake() const;
  bool ReaderShouldWake() const;

  std::mutex mutex_;
  std::condition_variable notEmpty_;
  std::condition_variable notFull_;
  bool writerWaiting_ = false;
  bool readerWaiting_ = false;
  std::vector<PacketHandle> slots_;
  size_t head_ = 0;
  size_t count_ = 0;
  size_t bytes_ = 0;
  size_t byteBudget_;
  bool closed_ = false;
  bool cancelled_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PACKET_QUEUE_H_
