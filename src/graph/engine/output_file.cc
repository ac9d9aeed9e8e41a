#include "graph/engine/output_file.h"

#include "text/file_names.h"

namespace quorvex::engine {

std::string OutputFile::PartialNameFor(const std::string& destination) {
  // In the same folder, so the final rename never crosses file systems.
  const std::string folder = DirectoryOf(destination);
  return folder + "." + destination.substr(folder.size()) + ".quorvex-part";
}

std::unique_ptr<OutputFile> OutputFile::Create(MediaFileSystem& files, const std::string& destination,
                                               FileError& error) {
  const std::string target = files.FollowLinks(destination);
  const PathKind kind = files.KindOf(target);
  if (kind == PathKind::kDirectory) {
    error.code = kFileErrorIsDirectory;
    error.message = "Is a directory";
    return nullptr;
  }
  // A device or a pipe takes the data as it comes; there is nothing to keep.
  const std::string partial = kind == PathKind::kOther ? std::string() : PartialNameFor(target);
  std::unique_ptr<MediaFile> file = files.OpenForWriting(partial.empty() ? target : partial, error);
  if (file == nullptr) return nullptr;
  return std::unique_ptr<OutputFile>(new OutputFile(files, target, partial, std::move(file)));
}

bool OutputFile::Commit(FileError& error) {
  if (!open_) return false;
  open_ = false;
  const bool closed = file_->Close(error);
  file_.reset();
  if (partial_.empty()) return closed;
  if (!closed || !files_.Replace(partial_, destination_, error)) {
    files_.Remove(partial_);
    return false;
  }
  return true;
}

void OutputFile::Abandon() {
  if (!open_) return;
  open_ = false;
  FileError ignored;
  file_->Close(ignored);
  file_.reset();
  if (!partial_.empty()) files_.Remove(partial_);
}

}  // namespace quorvex::engine
