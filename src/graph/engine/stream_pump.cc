#include "graph/engine/stream_pump.h"

#include "graph/result_codes.h"

namespace quorvex::engine {
namespace {

// Enough for several seconds of Blu-ray video, little against the 64 MB the
// whole run may use.
constexpr size_t kQueueSlots = 1024;
constexpr size_t kQueueBytes = 4u << 20;

}  // namespace

StreamPump::StreamPump(MediaSource& source, std::vector<Route> routes, std::vector<PacketSink*> sinks,
                       const Interrupts& interrupts, std::unique_ptr<ProgressTerminal> progress)
    : source_(source),
      routes_(std::move(routes)),
      sinks_(std::move(sinks)),
      interrupts_(interrupts),
      progress_(std::move(progress)),
      queue_(kQueueSlots, kQueueBytes) {}

StreamPump::~StreamPump() {
  queue_.Cancel();
  if (writer_.joinable()) writer_.join();
  if (reader_.joinable()) reader_.join();
}

void StreamPump::Start() {
  reader_ = std::thread([this] { Read(); });
  writer_ = std::thread([this] { Write(); });
}

void StreamPump::Read() {
  try {
    ReadLoop();
  } catch (...) {
    readEnd_ = ReadEnd::kError;
    queue_.Close();
  }
}

void StreamPump::ReadLoop() {
  PacketHandle packet = MakePacket();
  ReadEnd end = ReadEnd::kEndOfData;
  while (packet != nullptr) {
    if (interrupts_.Requested()) {
      end = ReadEnd::kInterrupted;
      break;
    }
    const MediaSource::ReadResult result = source_.Read(packet.get());
    if (result == MediaSource::ReadResult::kEnd) break;
    if (result == MediaSource::ReadResult::kError) {
      source_.ReportReadFailure();
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

void StreamPump::Write() {
  bool writeFailed = true;
  try {
    writeFailed = !WriteLoop();
  } catch (...) {
    writeFailed = true;
  }
  // Either the reader is done, or it must stop now.
  if (writeFailed || interrupts_.Requested()) queue_.Cancel();
  reader_.join();
  int32_t code = kEcErrorAbort;
  try {
    code = Conclude(writeFailed);
  } catch (...) {
    for (PacketSink* sink : sinks_) sink->Abandon();
  }
  progress_.Clear();
  {
    std::lock_guard lock(mutex_);
    eventCode_ = code;
  }
  done_.notify_all();
}

bool StreamPump::WriteLoop() {
  PacketHandle packet = MakePacket();
  if (packet == nullptr) return false;
  while (queue_.Pop(packet.get())) {
    if (interrupts_.Requested()) return true;
    const Route& route = routes_[static_cast<size_t>(packet->stream_index)];
    const bool written = route.sink->Write(route.input, packet.get());
    av_packet_unref(packet.get());
    if (!written) return false;
  }
  return true;
}

int32_t StreamPump::Conclude(bool writeFailed) {
  // A stop request that came before the outputs are in place wins over
  // every other outcome: the user asked for the run to end.
  int32_t code = kEcComplete;
  if (interrupts_.Requested() || readEnd_ == ReadEnd::kInterrupted) {
    code = kEcUserAbort;
  } else if (writeFailed || readEnd_ != ReadEnd::kEndOfData) {
    code = kEcErrorAbort;
  } else if (!FinishAndCommit()) {
    code = interrupts_.Requested() ? kEcUserAbort : kEcErrorAbort;
  }
  // Whatever is not in place goes; the destinations stay as they were.
  for (PacketSink* sink : sinks_) sink->Abandon();
  return code;
}

bool StreamPump::FinishAndCommit() {
  for (PacketSink* sink : sinks_) {
    if (!sink->Finish()) return false;
  }
  if (interrupts_.Requested()) return false;
  bool committed = true;
  for (PacketSink* sink : sinks_) committed = sink->Commit() && committed;
  return committed;
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
