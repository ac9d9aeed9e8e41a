#include "graph/engine/stream_pump.h"

#include "graph/engine/interrupt_watch.h"
#include "graph/result_codes.h"

namespace quorvex::engine {
namespace {

// Enough for several seconds of Blu-ray video, little against the 64 MB the
// whole run may use.
constexpr size_t kQueueSlots = 1024;
constexpr size_t kQueueBytes = 4u << 20;

}  // namespace

StreamPump::StreamPump(MediaSource& source, std::vector<Route> routes, std::vector<PacketSink*> sinks,
                       std::unique_ptr<ProgressTerminal> progress)
    : source_(source),
      routes_(std::move(routes)),
      sinks_(std::move(sinks)),
      progress_(std::move(progress)),
      queue_(kQueueSlots, kQueueBytes) {}

StreamPump::~StreamPump() {
  queue_.Cancel();
  if (writer_.joinable()) writer_.join();
  if (reader_.joinable()) reader_.join();
}

void StreamPump::Start() {
  reader_ = std::thread([this] { ReadLoop(); });
  writer_ = std::thread([this] { WriteLoop(); });
}

void StreamPump::ReadLoop() {
  PacketHandle packet = MakePacket();
  ReadEnd end = ReadEnd::kEndOfData;
  while (packet != nullptr) {
    if (InterruptWatch::Interrupted()) {
      end = ReadEnd::kInterrupted;
      break;
    }
    const MediaSource::ReadResult result = source_.Read(packet.get());
    if (result == MediaSource::ReadResult::kEnd) break;
    if (result == MediaSource::ReadResult::kError) {
      end = ReadEnd::kError;
      break;
    }
    const auto index = static_cast<size_t>(packet->stream_index);
    // Streams that appear mid-file (a new PID in a transport stream) were
    // never connected.
    if (index >= routes_.size() || routes_[index].sink == nullptr) {
      av_packet_unref(packet.get());
      continue;
    }
    if (!queue_.Push(packet.get())) {
      end = ReadEnd::kCancelled;
      break;
    }
    progress_.Update(source_.bytesRead(), source_.size());
  }
  if (packet == nullptr) end = ReadEnd::kError;
  readEnd_ = end;
  queue_.Close();
}

void StreamPump::WriteLoop() {
  PacketHandle packet = MakePacket();
  bool writeFailed = packet == nullptr;
  bool interrupted = false;
  while (!writeFailed && queue_.Pop(packet.get())) {
    if (InterruptWatch::Interrupted()) {
      interrupted = true;
      break;
    }
    const Route& route = routes_[static_cast<size_t>(packet->stream_index)];
    writeFailed = !route.sink->Write(route.input, packet.get());
    av_packet_unref(packet.get());
  }
  // Either the reader is done, or it must stop now.
  if (writeFailed || interrupted) queue_.Cancel();
  reader_.join();
  const int32_t code = Conclude(writeFailed, interrupted);
  progress_.Clear();
  {
    std::lock_guard lock(mutex_);
    eventCode_ = code;
  }
  done_.notify_all();
}

int32_t StreamPump::Conclude(bool writeFailed, bool interrupted) {
  int32_t code = kEcComplete;
  if (interrupted || readEnd_ == ReadEnd::kInterrupted) {
    code = kEcUserAbort;
  } else if (writeFailed || readEnd_ != ReadEnd::kEndOfData) {
    code = kEcErrorAbort;
  }
  for (PacketSink* sink : sinks_) {
    if (code != kEcComplete) {
      sink->Abandon();
    } else if (!sink->Finish()) {
      code = kEcErrorAbort;
    }
  }
  // One failed output fails the run: the others go too, so nothing half-made stays.
  if (code != kEcComplete) {
    for (PacketSink* sink : sinks_) sink->Abandon();
  }
  return code;
}

std::optional<int32_t> StreamPump::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (timeout.count() < 0) {
    done_.wait(lock, [&] { return eventCode_.has_value(); });
  } else {
    done_.wait_for(lock, timeout, [&] { return eventCode_.has_value(); });
  }
  return eventCode_;
}

}  // namespace quorvex::engine
