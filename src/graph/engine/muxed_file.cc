#include "graph/engine/muxed_file.h"

#include "platform/diagnostics.h"

extern "C" {
#include <libavutil/error.h>
}

namespace quorvex::engine {

bool MuxedFile::Create(const std::filesystem::path& path, const char* formatName) {
  name_ = path.string();
  FileError error;
  output_ = OutputFile::Create(files_, name_, error);
  if (output_ == nullptr) {
    Diagnose(name_ + ": " + error.message);
    reported_ = true;
    return false;
  }
  channel_ = FileChannel::ForWriting(output_->file());
  AVFormatContext* format = nullptr;
  if (channel_ == nullptr || avformat_alloc_output_context2(&format, nullptr, formatName, nullptr) < 0) {
    Abandon();
    return Failed(AVERROR(ENOMEM));
  }
  format_.reset(format);
  format->pb = channel_->io();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  return true;
}

bool MuxedFile::Failed(int result) {
  if (reported_) return false;
  reported_ = true;
  std::string reason;
  if (channel_ != nullptr && channel_->failed()) {
    reason = channel_->error().message;
  } else {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, text, sizeof text);
    reason = text;
  }
  Diagnose(name_ + ": " + reason);
  return false;
}

bool MuxedFile::WriteHeader(AVDictionary** options) {
  const int result = avformat_write_header(format_.get(), options);
  if (result < 0 || channel_->failed()) return Failed(result);
  headerWritten_ = true;
  return true;
}

bool MuxedFile::Write(AVPacket* packet, bool interleaved) {
  const int result =
      interleaved ? av_interleaved_write_frame(format_.get(), packet) : av_write_frame(format_.get(), packet);
  if (!interleaved) av_packet_unref(packet);
  if (result < 0 || channel_->failed()) return Failed(result);
  return true;
}

bool MuxedFile::Finish(const std::function<bool(const std::string& partial)>& complete) {
  if (output_ == nullptr || !headerWritten_) return false;
  const int result = av_write_trailer(format_.get());
  if (result < 0 || !channel_->Flush()) return Failed(result);
  // A device or a pipe written directly has no file to change afterwards.
  if (complete && !output_->partial().empty() && !complete(output_->partial())) return Failed(AVERROR(EIO));
  finished_ = true;
  return true;
}

bool MuxedFile::Commit() {
  if (!finished_ || output_ == nullptr) return false;
  format_.reset();
  channel_.reset();
  FileError error;
  const bool committed = output_->Commit(error);
  output_.reset();
  if (!committed && !reported_) {
    reported_ = true;
    Diagnose(name_ + ": " + error.message);
  }
  return committed;
}

void MuxedFile::Abandon() {
  format_.reset();
  channel_.reset();
  output_.reset();  // deletes the partial file
}

}  // namespace quorvex::engine
