#include "graph/engine/file_channel.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace quorvex::engine {

std::unique_ptr<FileChannel> FileChannel::OpenForReading(const std::filesystem::path& path) {
  std::error_code error;
  // A folder opens as a stream on some systems; it is never media.
  if (!std::filesystem::is_regular_file(path, error)) return nullptr;
  std::unique_ptr<FileChannel> channel(new FileChannel());
  channel->file_.pubsetbuf(nullptr, 0);  // libav's buffer is the only one
  if (channel->file_.open(path, std::ios::in | std::ios::binary) == nullptr) return nullptr;
  const auto size = std::filesystem::file_size(path, error);
  channel->size_ = error ? 0 : static_cast<int64_t>(size);
  if (!channel->Attach(false)) return nullptr;
  return channel;
}

std::unique_ptr<FileChannel> FileChannel::CreateForWriting(const std::filesystem::path& path) {
  std::unique_ptr<FileChannel> channel(new FileChannel());
  channel->file_.pubsetbuf(nullptr, 0);
  if (channel->file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary) == nullptr) return nullptr;
  if (!channel->Attach(true)) return nullptr;
  return channel;
}

bool FileChannel::Attach(bool writable) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
  if (buffer == nullptr) return false;
  io_ = avio_alloc_context(buffer, kBufferSize, writable ? 1 : 0, this, writable ? nullptr : &ReadPacket,
                           writable ? &WritePacket : nullptr, &Seek);
  if (io_ == nullptr) {
    av_free(buffer);
    return false;
  }
  return true;
}

FileChannel::~FileChannel() {
  if (io_ != nullptr) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
}

bool FileChannel::Close() {
  if (io_ != nullptr && io_->write_flag) {
    avio_flush(io_);
    if (io_->error < 0) failed_ = true;
  }
  if (file_.is_open() && file_.close() == nullptr) failed_ = true;
  return !failed_;
}

int FileChannel::ReadPacket(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FileChannel*>(opaque);
  const std::streamsize got = self->file_.sgetn(reinterpret_cast<char*>(buffer), size);
  if (got <= 0) return AVERROR_EOF;
  self->position_.fetch_add(got, std::memory_order_relaxed);
  return static_cast<int>(got);
}

int FileChannel::WritePacket(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FileChannel*>(opaque);
  const std::streamsize put = self->file_.sputn(reinterpret_cast<const char*>(buffer), size);
  if (put != size) {
    self->failed_ = true;
    return AVERROR(EIO);
  }
  return size;
}

int64_t FileChannel::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<FileChannel*>(opaque);
  if ((whence & AVSEEK_SIZE) != 0) {
    if (self->io_ != nullptr && self->io_->write_flag) return -1;
    return self->size_;
  }
  std::ios::seekdir direction = std::ios::beg;
  switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: direction = std::ios::beg; break;
    case SEEK_CUR: direction = std::ios::cur; break;
    case SEEK_END: direction = std::ios::end; break;
    default: return AVERROR(EINVAL);
  }
  const std::streampos at = self->file_.pubseekoff(offset, direction);
  if (at == std::streampos(std::streamoff(-1))) {
    if (self->io_ != nullptr && self->io_->write_flag) self->failed_ = true;
    return AVERROR(EIO);
  }
  const int64_t position = static_cast<int64_t>(std::streamoff(at));
  if (self->io_ != nullptr && !self->io_->write_flag) self->position_.store(position, std::memory_order_relaxed);
  return position;
}

}  // namespace quorvex::engine
