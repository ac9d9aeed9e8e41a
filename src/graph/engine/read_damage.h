#ifndef QUORVEX_GRAPH_ENGINE_READ_DAMAGE_H_
#define QUORVEX_GRAPH_ENGINE_READ_DAMAGE_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// How the bytes at some offset of a source look to a reader that lost its
// way: enough to tell whether media follows damage that ended the read.
enum class SourceLayout { kOther, kMatroska, kTransportStream, kProgramStream };

SourceLayout LayoutOf(const AVInputFormat& format);

// Where in `bytes` the next unit the layout's demuxer could start reading
// from lies (a Matroska cluster, a run of transport packets, a pack); npos
// when there is none, or the layout has no marks to find.
size_t FindResyncPoint(std::string_view bytes, SourceLayout layout);

// Watches one demuxer for damage in its source and says so on standard
// error with the byte offset. libav tells of damage only in its log (or by
// a packet's corrupt flag), then either finds its way back, or ends the
// read as if the file ended there.
class ReadDamage {
 public:
  ReadDamage(AVFormatContext& format, std::string sourceName, int64_t sourceSize);
  ~ReadDamage();
  ReadDamage(const ReadDamage&) = delete;
  ReadDamage& operator=(const ReadDamage&) = delete;

  // After each packet read: a damaged stretch before it was skipped.
  void PacketRead(const AVPacket& packet);
  // After a failed read that the reader will retry.
  void ReadFailed(int error);
  // When the demuxer reports the end of the data: true when the end is the
  // source's own, or damage after which no media follows (a recording cut
  // short); false when damage stopped the read with media still ahead.
  bool EndIsClean();
  // When the reader gives up after failing reads.
  void GaveUp();

  // Called from libav's log on the thread that reads.
  void Complain(int64_t position, std::string text);

 private:
  void Report(const std::string& what);
  bool MediaFollows(int64_t offset);

  AVFormatContext& format_;
  std::string name_;
  int64_t size_;
  SourceLayout layout_;
  struct Damage {
    int64_t position;
    std::string text;
  };
  std::optional<Damage> pending_;
  int reports_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_READ_DAMAGE_H_
