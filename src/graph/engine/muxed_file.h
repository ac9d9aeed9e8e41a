#ifndef QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_
#define QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_

#include <filesystem>
#include <functional>
#include <memory>

#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// One output file written by a libav muxer. Until Finish succeeds the file
// counts as incomplete, and closing it any other way deletes it, so a failed
// or interrupted run leaves no half-written destination behind.
class MuxedFile {
 public:
  MuxedFile() = default;
  ~MuxedFile() {
    if (channel_ != nullptr) Abandon();
  }
  MuxedFile(const MuxedFile&) = delete;
  MuxedFile& operator=(const MuxedFile&) = delete;

  // Creates the file and a muxer of the named libav format.
  bool Create(const std::filesystem::path& path, const char* formatName);
  AVFormatContext* format() const { return format_.get(); }

  bool WriteHeader(AVDictionary** options);
  bool Write(AVPacket* packet, bool interleaved);
  // `complete`, when given, may still change the written and closed file
  // (in place) before it counts as finished; its failure abandons the file.
  bool Finish(const std::function<bool(const std::filesystem::path&)>& complete = {});
  // Closes and deletes the file, also one that was finished.
  void Abandon();

 private:
  std::filesystem::path path_;
  std::unique_ptr<FileChannel> channel_;
  OutputFormatHandle format_;
  bool headerWritten_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_
