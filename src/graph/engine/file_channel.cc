#include "graph/engine/file_channel.h"

#include <algorithm>
#include <cstdio>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace quorvex::engine {

std::unique_ptr<FileChannel> FileChannel::ForReading(MediaFile& file, const Interrupts* interrupts) {
  std::unique_ptr<FileChannel> channel(new FileChannel(file, interrupts));
  channel->size_ = std::max<int64_t>(file.Size(), 0);
  if (!channel->Attach(false)) return nullptr;
  return channel;
}

std::unique_ptr<FileChannel> FileChannel::ForWriting(MediaFile& file) {
  std::unique_ptr<FileChannel> channel(new FileChannel(file, nullptr));
  if (!channel->Attach(true)) return nullptr;
  // A pipe or a device cannot go back to fill in sizes: the muxer then
  // writes the way it does for live streams.
  if (file.Size() < 0) channel->io_->seekable = 0;
  return channel;
}

bool FileChannel::Attach(bool writable) {
  writable_ = writable;
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

FileError FileChannel::error() const {
  std::lock_guard lock(errorMutex_);
  return error_;
}

int FileChannel::Fail(const FileError& error) {
  {
    std::lock_guard lock(errorMutex_);
    if (!failed_.load()) error_ = error;  // the first reason is the one that counts
  }
  failed_ = true;
  return AVERROR(error.code);
}

bool FileChannel::Flush() {
  if (io_ != nullptr && writable_) {
    avio_flush(io_);
    if (io_->error < 0 && !failed_) Fail(FileError{kFileErrorIo, "Input/output error"});
  }
  return !failed_;
}

// The callbacks run inside libav's C code: nothing may escape them.
int FileChannel::ReadPacket(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FileChannel*>(opaque);
  try {
    if (self->interrupts_ != nullptr && self->interrupts_->Requested()) {
      self->interrupted_ = true;
      return AVERROR_EXIT;
    }
    FileError error;
    const int64_t got = self->file_.Read(buffer, static_cast<size_t>(size), error);
    if (got < 0) return self->Fail(error);
    if (got == 0) return AVERROR_EOF;
    self->filePosition_ += got;
    self->position_.store(self->filePosition_, std::memory_order_relaxed);
    return static_cast<int>(got);
  } catch (...) {
    return self->Fail(FileError{kFileErrorIo, "Input/output error"});
  }
}

int FileChannel::WritePacket(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FileChannel*>(opaque);
  try {
    // After one failure nothing more is written: the output is lost anyway.
    if (self->failed_) return AVERROR(EIO);
    FileError error;
    if (!self->file_.Write(buffer, static_cast<size_t>(size), error)) return self->Fail(error);
    self->filePosition_ += size;
    return size;
  } catch (...) {
    return self->Fail(FileError{kFileErrorIo, "Input/output error"});
  }
}

int64_t FileChannel::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<FileChannel*>(opaque);
  try {
    if ((whence & AVSEEK_SIZE) != 0) return self->writable_ ? -1 : self->size_;
    int64_t target = offset;
    switch (whence & ~AVSEEK_FORCE) {
      case SEEK_SET:
        break;
      case SEEK_CUR:
        target += self->filePosition_;
        break;
      case SEEK_END:
        if (self->writable_) return AVERROR(EINVAL);
        target += self->size_;
        break;
      default:
        return AVERROR(EINVAL);
    }
    FileError error;
    const int64_t at = self->file_.Seek(target, error);
    if (at < 0) {
      // A reader may probe for seekability; a writer that cannot seek back
      // to fill in sizes has produced a broken file.
      if (self->writable_) return self->Fail(error);
      return AVERROR(error.code != 0 ? error.code : EIO);
    }
    self->filePosition_ = at;
    if (!self->writable_) self->position_.store(at, std::memory_order_relaxed);
    return at;
  } catch (...) {
    return self->Fail(FileError{kFileErrorIo, "Input/output error"});
  }
}

int InterruptRequested(void* interrupts) {
  return interrupts != nullptr && static_cast<const Interrupts*>(interrupts)->Requested() ? 1 : 0;
}

}  // namespace quorvex::engine
