#ifndef QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_
#define QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"
#include "graph/engine/output_file.h"
#include "platform/media_file.h"

namespace quorvex::engine {

// One output file written by a libav muxer, all or nothing: the data goes to
// a partial file that takes the destination's place only at Commit, so a
// failed or interrupted run leaves the destination as it was. Each failure
// tells its reason on standard error once.
class MuxedFile {
 public:
  explicit MuxedFile(MediaFileSystem& files) : files_(files) {}
  ~MuxedFile() { Abandon(); }
  MuxedFile(const MuxedFile&) = delete;
  MuxedFile& operator=(const MuxedFile&) = delete;

  // Creates the partial file and a muxer of the named libav format.
  bool Create(const std::filesystem::path& path, const char* formatName);
  AVFormatContext* format() const { return format_.get(); }

  bool WriteHeader(AVDictionary** options);
  bool Write(AVPacket* packet, bool interleaved);
  // Writes the trailer and everything still buffered; the destination is
  // not touched yet.
  // `complete`, when given, may still change the partial file (in place,
  // by its name) once everything is written; its failure fails the finish.
  bool Finish(const std::function<bool(const std::string& partial)>& complete = {});
  // Puts the finished file in the destination's place.
  bool Commit();
  // Closes and deletes the partial file; a committed file stays.
  void Abandon();

 private:
  // Reports the reason for a failed libav call `result` once; false.
  bool Failed(int result);

  MediaFileSystem& files_;
  std::string name_;  // as given, for messages
  std::unique_ptr<OutputFile> output_;
  // Declared after the output so it goes first: it writes into the output.
  std::unique_ptr<FileChannel> channel_;
  OutputFormatHandle format_;
  bool headerWritten_ = false;
  bool finished_ = false;
  bool reported_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MUXED_FILE_H_
