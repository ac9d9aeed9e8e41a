#include "graph/engine/muxed_file.h"

#include <system_error>

namespace quorvex::engine {

bool MuxedFile::Create(const std::filesystem::path& path, const char* formatName) {
  AVFormatContext* format = nullptr;
  if (avformat_alloc_output_context2(&format, nullptr, formatName, nullptr) < 0) return false;
  format_.reset(format);
  channel_ = FileChannel::CreateForWriting(path);
  if (channel_ == nullptr) {
    format_.reset();
    return false;
  }
  path_ = path;
  format->pb = channel_->io();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  return true;
}

bool MuxedFile::WriteHeader(AVDictionary** options) {
  if (avformat_write_header(format_.get(), options) < 0 || channel_->failed()) return false;
  headerWritten_ = true;
  return true;
}

bool MuxedFile::Write(AVPacket* packet, bool interleaved) {
  const int result = interleaved ? av_interleaved_write_frame(format_.get(), packet) : av_write_frame(format_.get(), packet);
  if (!interleaved) av_packet_unref(packet);
  return result >= 0 && !channel_->failed();
}

bool MuxedFile::Finish(const std::function<bool(const std::filesystem::path&)>& complete) {
  if (channel_ == nullptr) return false;
  bool written = headerWritten_ && av_write_trailer(format_.get()) >= 0;
  written = channel_->Close() && written;
  written = written && (!complete || complete(path_));
  if (!written) {
    Abandon();
    return false;
  }
  format_.reset();
  channel_.reset();
  return true;
}

void MuxedFile::Abandon() {
  format_.reset();
  if (channel_ != nullptr) channel_->Close();
  channel_.reset();
  if (path_.empty()) return;
  std::error_code ignored;
  // Only a file of ours goes: a destination such as a device stays.
  if (std::filesystem::is_regular_file(path_, ignored)) std::filesystem::remove(path_, ignored);
  path_.clear();
}

}  // namespace quorvex::engine
