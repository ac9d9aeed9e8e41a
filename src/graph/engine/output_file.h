#ifndef QUORVEX_GRAPH_ENGINE_OUTPUT_FILE_H_
#define QUORVEX_GRAPH_ENGINE_OUTPUT_FILE_H_

#include <memory>
#include <string>

#include "platform/media_file.h"

namespace quorvex::engine {

// A destination written all or nothing. The data goes to a partial file
// beside the destination (".movie.mkv.quorvex-part") that replaces it in one
// rename when the run succeeds, so an earlier file of that name survives any
// failed or interrupted run byte for byte; killed outright, only the partial
// file remains. A destination that is a device or a pipe is written directly
// and never replaced; a symbolic link is followed and its target replaced.
class OutputFile {
 public:
  // Nullptr, the reason in `error`, when nothing can be written there.
  static std::unique_ptr<OutputFile> Create(MediaFileSystem& files, const std::string& destination, FileError& error);
  // Deletes the partial file unless committed.
  ~OutputFile() { Abandon(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  MediaFile& file() { return *file_; }
  // The partial file's name; empty when the destination is written directly.
  const std::string& partial() const { return partial_; }
  // The name the data finally has, for messages.
  const std::string& destination() const { return destination_; }

  // Closes the file and puts it in the destination's place.
  bool Commit(FileError& error);
  // Closes and deletes what was written; the destination stays as it was.
  void Abandon();

  // The partial file's name for `destination`, in the same folder.
  static std::string PartialNameFor(const std::string& destination);

 private:
  OutputFile(MediaFileSystem& files, std::string destination, std::string partial, std::unique_ptr<MediaFile> file)
      : files_(files), destination_(std::move(destination)), partial_(std::move(partial)), file_(std::move(file)) {}

  MediaFileSystem& files_;
  std::string destination_;
  std::string partial_;  // empty when writing the destination directly
  std::unique_ptr<MediaFile> file_;
  bool open_ = true;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_OUTPUT_FILE_H_
