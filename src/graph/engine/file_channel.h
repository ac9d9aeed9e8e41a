#ifndef QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_
#define QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/interrupts.h"
#include "platform/media_file.h"

extern "C" {
#include <libavformat/avio.h>
}

namespace quorvex::engine {

// A platform file that libav reads or writes through an I/O context with a
// large buffer of our own: libav's default of 32 KiB costs a system call per
// TS second at Blu-ray rates. The callbacks never let an error escape into
// libav's C frames: a failure is kept here, with its reason, and libav gets
// an error code, so a failed read is never mistaken for the end of the file.
// A read also answers a stop request at once, however long libav scans.
class FileChannel {
 public:
  static constexpr int kBufferSize = 512 << 10;

  // Nullptr when libav's context cannot be made. `file` must outlive the
  // channel; `interrupts` may be null.
  static std::unique_ptr<FileChannel> ForReading(MediaFile& file, const Interrupts* interrupts);
  static std::unique_ptr<FileChannel> ForWriting(MediaFile& file);

  ~FileChannel();
  FileChannel(const FileChannel&) = delete;
  FileChannel& operator=(const FileChannel&) = delete;

  AVIOContext* io() const { return io_; }
  // A read, write or seek failed; error() tells why.
  bool failed() const { return failed_.load(); }
  FileError error() const;
  // A read was refused because a stop was requested.
  bool interrupted() const { return interrupted_.load(); }
  // Size of the file when it was opened for reading.
  int64_t size() const { return size_; }
  // Bytes handed to libav so far; read from other threads for progress.
  int64_t position() const { return position_.load(std::memory_order_relaxed); }

  // Writes out what libav still buffers; false when anything written did
  // not reach the file.
  bool Flush();

 private:
  FileChannel(MediaFile& file, const Interrupts* interrupts) : file_(file), interrupts_(interrupts) {}
  bool Attach(bool writable);
  int Fail(const FileError& error);

  static int ReadPacket(void* opaque, uint8_t* buffer, int size);
  static int WritePacket(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  MediaFile& file_;
  const Interrupts* interrupts_;
  AVIOContext* io_ = nullptr;
  bool writable_ = false;
  int64_t size_ = 0;
  int64_t filePosition_ = 0;  // where the next read or write lands
  std::atomic<int64_t> position_{0};
  std::atomic<bool> failed_{false};
  std::atomic<bool> interrupted_{false};
  mutable std::mutex errorMutex_;
  FileError error_;
};

// Lets libav's own loops (probing, stream analysis) ask whether to stop.
int InterruptRequested(void* interrupts);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_
