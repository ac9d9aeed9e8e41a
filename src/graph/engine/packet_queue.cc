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

bool PacketQueue::Push(AVPacket* packet) {
  const size_t size = packet->size > 0 ? static_cast<size_t>(packet->size) : 0;
  std::unique_lock lock(mutex_);
  // One packet larger than the whole budget still passes once the queue is empty.
  changed_.wait(lock, [&] {
    return cancelled_ || (count_ < slots_.size() && (count_ == 0 || bytes_ + size <= byteBudget_));
  });
  if (cancelled_) return false;
  av_packet_move_ref(slots_[(head_ + count_) % slots_.size()].get(), packet);
  ++count_;
  bytes_ += size;
  lock.unlock();
  changed_.notify_all();
  return true;
}

bool PacketQueue::Pop(AVPacket* packet) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return cancelled_ || count_ > 0 || closed_; });
  if (cancelled_ || count_ == 0) return false;
  AVPacket* slot = slots_[head_].get();
  bytes_ -= slot->size > 0 ? static_cast<size_t>(slot->size) : 0;
  av_packet_move_ref(packet, slot);
  head_ = (head_ + 1) % slots_.size();
  --count_;
  lock.unlock();
  changed_.notify_all();
  return true;
}

void PacketQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

void PacketQueue::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (PacketHandle& slot : slots_) av_packet_unref(slot.get());
    count_ = 0;
    bytes_ = 0;
  }
  changed_.notify_all();
}

}  // namespace quorvex::engine
