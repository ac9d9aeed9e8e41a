#include "graph/engine/packet_queue.h"

#include <new>

namespace quorvex::engine {

PacketQueue::PacketQueue(size_t slots, size_t byteBudget) : byteBudget_(byteBudget) {
  slots_.reserve(slots);
  for (size_t i = 0; i < slots; ++i) {
    slots_.push_back(MakePacket());
    if (slots_.back() == nullptr) throw std::bad_alloc();
  }
}

bool PacketQueue::HasRoomFor(size_t size) const {
  // One packet larger than the whole budget still passes once the queue is empty.
  return count_ < slots_.size() && (count_ == 0 || bytes_ + size <= byteBudget_);
}

bool PacketQueue::WriterShouldWake() const {
  return writerWaiting_ && (count_ >= slots_.size() / 8 || bytes_ >= byteBudget_ / 8);
}

bool PacketQueue::ReaderShouldWake() const {
  return readerWaiting_ && count_ <= slots_.size() / 2 && bytes_ <= byteBudget_ / 2;
}

bool PacketQueue::Push(AVPacket* packet) {
  const size_t size = packet->size > 0 ? static_cast<size_t>(packet->size) : 0;
  std::unique_lock lock(mutex_);
  while (!cancelled_ && !HasRoomFor(size)) {
    // Whatever is queued must reach the writer before the reader may wait.
    if (writerWaiting_) notEmpty_.notify_one();
    readerWaiting_ = true;
    notFull_.wait(lock);
    readerWaiting_ = false;
  }
  if (cancelled_) return false;
  av_packet_move_ref(slots_[(head_ + count_) % slots_.size()].get(), packet);
  ++count_;
  bytes_ += size;
  if (WriterShouldWake()) notEmpty_.notify_one();
  return true;
}

bool PacketQueue::Pop(AVPacket* packet) {
  std::unique_lock lock(mutex_);
  while (!cancelled_ && count_ == 0 && !closed_) {
    writerWaiting_ = true;
    notEmpty_.wait(lock);
    writerWaiting_ = false;
  }
  if (cancelled_ || count_ == 0) return false;
  AVPacket* slot = slots_[head_].get();
  bytes_ -= slot->size > 0 ? static_cast<size_t>(slot->size) : 0;
  av_packet_move_ref(packet, slot);
  head_ = (head_ + 1) % slots_.size();
  --count_;
  if (ReaderShouldWake()) notFull_.notify_one();
  return true;
}

void PacketQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  notEmpty_.notify_all();
}

void PacketQueue::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (PacketHandle& slot : slots_) av_packet_unref(slot.get());
    count_ = 0;
    bytes_ = 0;
  }
  notEmpty_.notify_all();
  notFull_.notify_all();
}

bool PacketQueue::PushWaiting() {
  std::lock_guard lock(mutex_);
  return readerWaiting_;
}

}  // namespace quorvex::engine
