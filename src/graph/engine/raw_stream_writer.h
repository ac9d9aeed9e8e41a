#ifndef QUORVEX_GRAPH_ENGINE_RAW_STREAM_WRITER_H_
#define QUORVEX_GRAPH_ENGINE_RAW_STREAM_WRITER_H_

#include <filesystem>
#include <memory>

#include "graph/engine/muxed_file.h"
#include "graph/engine/stream_repack.h"

namespace quorvex::engine {

// The libav muxer that writes a stream as a raw elementary stream a player
// or mkvmerge reads: H.264 and HEVC as Annex B byte streams (converted from
// length-prefixed units when the source stored them so), AAC with ADTS
// headers, little-endian PCM (also repacked disc LPCM) as WAV, anything else
// as its packets' bytes.
const char* RawFormatFor(AVCodecID codec);

// Writes one source stream into a raw file.
class RawStreamWriter {
 public:
  explicit RawStreamWriter(MediaFileSystem& files) : file_(files) {}
  bool Open(const std::filesystem::path& path, const AVStream& source);
  // The packet's data is taken.
  bool Write(AVPacket* packet);
  bool Finish() { return file_.Finish(); }
  bool Commit() { return file_.Commit(); }
  void Abandon() { file_.Abandon(); }

 private:
  MuxedFile file_;
  std::unique_ptr<StreamRepack> repack_;  // null when written as it is
  AVRational sourceTimeBase_{};
  AVRational outputTimeBase_{};
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_RAW_STREAM_WRITER_H_
