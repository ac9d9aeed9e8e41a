#ifndef QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
#define QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_

#include <filesystem>
#include <memory>

#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"
#include "graph/engine/read_damage.h"

namespace quorvex::engine {

// A media file opened for demuxing: its streams, and its packets in file order.
class MediaSource {
 public:
  enum class Formats { kAnyByContent, kAsfOnly };
  enum class ReadResult { kPacket, kEnd, kError };

  // Nullptr when the file is not readable media of the allowed formats.
  static std::unique_ptr<MediaSource> Open(const std::filesystem::path& path, Formats formats);

  int streamCount() const { return static_cast<int>(format_->nb_streams); }
  const AVStream& stream(int index) const { return *format_->streams[index]; }

  // Fills `packet` with the next packet, timestamps completed as far as the
  // demuxer can. A damaged stretch is skipped rather than ending the read,
  // and reported; damage that ends the read with media still ahead is an
  // error.
  ReadResult Read(AVPacket* packet);

  // Bytes read so far and the file's size, for progress.
  int64_t bytesRead() const { return channel_->position(); }
  int64_t size() const { return channel_->size(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  MediaSource() = default;

  std::filesystem::path path_;
  // Declared first so it outlives the format context that reads through it.
  std::unique_ptr<FileChannel> channel_;
  InputFormatHandle format_;
  // Declared after the context it watches.
  std::unique_ptr<ReadDamage> damage_;
  int consecutiveFailures_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
