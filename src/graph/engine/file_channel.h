#ifndef QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_
#define QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

extern "C" {
#include <libavformat/avio.h>
}

namespace quorvex::engine {

// A file that libav reads or writes through an I/O context with a large
// buffer of our own: libav's default of 32 KiB costs a system call per TS
// second at Blu-ray rates, and our callbacks tell read failures, write
// failures (a full disk) and the reading position apart.
class FileChannel {
 public:
  static constexpr int kBufferSize = 512 << 10;

  // Nullptr when the file cannot be opened (or created).
  static std::unique_ptr<FileChannel> OpenForReading(const std::filesystem::path& path);
  static std::unique_ptr<FileChannel> CreateForWriting(const std::filesystem::path& path);

  ~FileChannel();
  FileChannel(const FileChannel&) = delete;
  FileChannel& operator=(const FileChannel&) = delete;

  AVIOContext* io() const { return io_; }
  // A write came back short (disk full, device error) or a seek failed.
  bool failed() const { return failed_.load(); }
  // Size of the file when it was opened for reading.
  int64_t size() const { return size_; }
  // Bytes handed to libav so far; read from other threads for progress.
  int64_t position() const { return position_.load(std::memory_order_relaxed); }

  // Writes out what libav still buffers and closes the file; false when
  // anything written did not reach the file.
  bool Close();

 private:
  FileChannel() = default;
  bool Attach(bool writable);

  static int ReadPacket(void* opaque, uint8_t* buffer, int size);
  static int WritePacket(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  std::filebuf file_;
  AVIOContext* io_ = nullptr;
  int64_t size_ = 0;
  std::atomic<int64_t> position_{0};
  std::atomic<bool> failed_{false};
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_FILE_CHANNEL_H_
