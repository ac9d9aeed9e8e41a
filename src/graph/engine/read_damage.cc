#include "graph/engine/read_damage.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/diagnostics.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace quorvex::engine {
namespace {

// Past damage, a stretch this long with no mark of media in it is taken
// for the end of the media: a recorder's zero padding, a cut. Beyond it,
// and in formats without marks, the read stopped early.
constexpr int64_t kTailWithoutMedia = 64 << 10;
// How far past damage the search for media goes before it assumes there is
// some; a damaged film must not cost a read of the whole rest of the disc.
constexpr int64_t kResyncSearchLimit = 64 << 20;
// A badly damaged recording would otherwise fill the terminal.
constexpr int kMaxReports = 20;

constexpr std::string_view kClusterId{"\x1F\x43\xB6\x75", 4};
constexpr std::string_view kPackStart{"\x00\x00\x01\xBA", 4};
constexpr char kTsSync = 0x47;
constexpr int kTsPacketsInARun = 5;

// The demuxers being watched, by their context: libav's log is one for the
// whole process.
std::mutex& WatchMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::pair<const void*, ReadDamage*>>& Watched() {
  static std::vector<std::pair<const void*, ReadDamage*>> watched;
  return watched;
}

void LogHook(void* context, int level, const char* format, va_list arguments) {
  if (context == nullptr || level > AV_LOG_ERROR) return;
  ReadDamage* watcher = nullptr;
  {
    std::lock_guard lock(WatchMutex());
    for (const auto& [watchedContext, damage] : Watched()) {
      if (watchedContext == context) watcher = damage;
    }
  }
  if (watcher == nullptr) return;
  char text[256];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  AVIOContext* io = static_cast<AVFormatContext*>(context)->pb;
  watcher->Complain(io != nullptr ? avio_tell(io) : -1, std::move(line));
}

size_t FindTransportRun(std::string_view bytes) {
  for (size_t at = bytes.find(kTsSync); at != std::string_view::npos; at = bytes.find(kTsSync, at + 1)) {
    for (size_t stride : {size_t{188}, size_t{192}}) {
      if (at + stride * (kTsPacketsInARun - 1) >= bytes.size()) continue;
      bool run = true;
      for (size_t packet = 1; packet < kTsPacketsInARun && run; ++packet) run = bytes[at + stride * packet] == kTsSync;
      if (run) return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace

SourceLayout LayoutOf(const AVInputFormat& format) {
  const std::string_view name = format.name;
  if (name == "matroska,webm") return SourceLayout::kMatroska;
  if (name == "mpegts") return SourceLayout::kTransportStream;
  if (name == "mpeg") return SourceLayout::kProgramStream;
  return SourceLayout::kOther;
}

size_t FindResyncPoint(std::string_view bytes, SourceLayout layout) {
  switch (layout) {
    case SourceLayout::kMatroska:
      return bytes.find(kClusterId);
    case SourceLayout::kProgramStream:
      return bytes.find(kPackStart);
    case SourceLayout::kTransportStream:
      return FindTransportRun(bytes);
    case SourceLayout::kOther:
      break;
  }
  return std::string_view::npos;
}

ReadDamage::ReadDamage(AVFormatContext& format, std::string sourceName, int64_t sourceSize)
    : format_(format), name_(std::move(sourceName)), size_(sourceSize), layout_(LayoutOf(*format.iformat)) {
  static std::once_flag hooked;
  // The engine keeps libav quiet; this hook prints nothing either, it only
  // passes the watched demuxers' errors on.
  std::call_once(hooked, [] { av_log_set_callback(&LogHook); });
  std::lock_guard lock(WatchMutex());
  Watched().emplace_back(&format_, this);
}

ReadDamage::~ReadDamage() {
  std::lock_guard lock(WatchMutex());
  auto& watched = Watched();
  watched.erase(std::remove_if(watched.begin(), watched.end(), [&](const auto& entry) { return entry.second == this; }),
                watched.end());
}

void ReadDamage::Complain(int64_t position, std::string text) {
  // The first complaint marks where a damaged stretch starts; the demuxer
  // often complains again on its way through it.
  if (!pending_) pending_ = Damage{position, std::move(text)};
}

void ReadDamage::PacketRead(const AVPacket& packet) {
  // Packets the demuxer had gathered before the damage still come first;
  // only one from beyond it shows the damage was skipped.
  if (pending_ && packet.pos > pending_->position) {
    Report("damaged data at byte " + std::to_string(pending_->position) + " skipped (" + pending_->text + ")");
    pending_.reset();
  }
  if ((packet.flags & AV_PKT_FLAG_CORRUPT) != 0) {
    const int64_t at = packet.pos >= 0 ? packet.pos : avio_tell(format_.pb);
    Report("damaged data at byte " + std::to_string(at) + " kept as it is (a packet of stream " +
           std::to_string(packet.stream_index + 1) + ")");
  }
}

void ReadDamage::ReadFailed(int error) {
  if (pending_) return;
  char reason[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, reason, sizeof reason);
  pending_ = Damage{avio_tell(format_.pb), reason};
}

bool ReadDamage::EndIsClean() {
  const int64_t at = pending_ ? pending_->position : avio_tell(format_.pb);
  const std::string reason = pending_ ? " (" + pending_->text + ")" : std::string();
  if (at < 0 || at >= size_) {
    // A recording cut short: its last packet is incomplete.
    if (pending_) Report("ends in the middle of its data; the incomplete end is left out" + reason);
  } else if (!MediaFollows(at)) {
    if (pending_) Report("no readable media from byte " + std::to_string(at) + " to the end" + reason);
  } else {
    Report("reading stopped at byte " + std::to_string(at) + " of " + std::to_string(size_) + ": " +
           (pending_ ? pending_->text : std::string("no way past the data there")));
    pending_.reset();
    return false;
  }
  pending_.reset();
  return true;
}

void ReadDamage::GaveUp() {
  const int64_t at = pending_ ? pending_->position : avio_tell(format_.pb);
  Report("reading stopped at byte " + std::to_string(at) + " of " + std::to_string(size_) + ": " +
         (pending_ ? pending_->text : std::string("unreadable data")));
  pending_.reset();
}

bool ReadDamage::MediaFollows(int64_t offset) {
  if (layout_ == SourceLayout::kOther) return pending_.has_value() && size_ - offset > kTailWithoutMedia;
  // Matroska's damage is usually one element claiming too much; what it
  // covers was still media, even when no later cluster is there to go on.
  if (layout_ == SourceLayout::kMatroska && pending_ && size_ - offset > kTailWithoutMedia) return true;
  AVIOContext* io = format_.pb;
  if (io == nullptr || avio_seek(io, offset, SEEK_SET) < 0) return false;
  constexpr size_t kChunk = 1 << 20;
  constexpr size_t kOverlap = 192 * kTsPacketsInARun;
  std::string window;
  std::vector<unsigned char> chunk(kChunk);
  for (int64_t searched = 0; searched < kResyncSearchLimit;) {
    const int got = avio_read(io, chunk.data(), static_cast<int>(chunk.size()));
    if (got <= 0) return false;
    window.append(reinterpret_cast<const char*>(chunk.data()), static_cast<size_t>(got));
    if (FindResyncPoint(window, layout_) != std::string_view::npos) return true;
    searched += got;
    if (window.size() > kOverlap) window.erase(0, window.size() - kOverlap);
  }
  return true;
}

void ReadDamage::Report(const std::string& what) {
  ++reports_;
  if (reports_ <= kMaxReports) Diagnose(name_ + ": " + what);
  if (reports_ == kMaxReports + 1) Diagnose(name_ + ": more damage follows, not reported one by one");
}

}  // namespace quorvex::engine
