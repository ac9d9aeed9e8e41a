#ifndef QUORVEX_GRAPH_ENGINE_SINK_FILTERS_H_
#define QUORVEX_GRAPH_ENGINE_SINK_FILTERS_H_

#include <filesystem>
#include <memory>
#include <vector>

#include "graph/engine/engine_filter.h"
#include "graph/engine/engine_pin.h"
#include "graph/engine/matroska_writer.h"
#include "graph/engine/packet_sink.h"
#include "graph/engine/raw_stream_writer.h"
#include "graph/interfaces.h"
#include "graph/ref_counted.h"

namespace quorvex::engine {

// What the Matroska muxer and the Dump filter share: a file name to write,
// input pins, and the interfaces through which jobs and graph reach them.
class SinkFilterBase : public IBaseFilter,
                       public IFileSinkFilter,
                       public EngineFilter,
                       public PacketSink,
                       public InputPinHost {
 public:
  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return count_.Increment(); }
  HResult EnumPins(IEnumPins** enumerator) override;
  HResult FindPin(const char16_t* id, IPin** pin) override;
  HResult SetFileName(const char16_t* fileName, const TAmMediaType* mediaType) override;

  PacketSink* AsSink() override { return this; }
  bool HasConnectedInput() const override { return !connectedStreams_.empty(); }
  std::filesystem::path OutputPath() const override { return fileName_; }

 protected:
  SinkFilterBase() = default;
  ~SinkFilterBase() = default;

  void AddInputPin(std::u16string name) {
    pins_.push_back(std::make_unique<EnginePin>(*this, *this, std::move(name), *this));
  }
  // Records an accepted connection and numbers the input.
  void RecordConnection(EnginePin& input, const AVStream& stream) {
    input.setInputIndex(static_cast<int>(connectedStreams_.size()));
    connectedStreams_.push_back(&stream);
  }

  ReferenceCount count_;
  std::filesystem::path fileName_;
  std::vector<std::unique_ptr<EnginePin>> pins_;
  std::vector<const AVStream*> connectedStreams_;  // in the order of connection
};

// Writes every connected stream into one Matroska file. Its input pins are
// "Input 1", "Input 2", ...; the last one is always free, so a fresh pin
// enumeration ends with a pin the next stream can connect to.
class MatroskaMuxerFilter final : public SinkFilterBase {
 public:
  explicit MatroskaMuxerFilter(MediaFileSystem& files);

  uint32_t Release() override { return ReleaseReference(this, count_); }
  HResult AcceptConnection(EnginePin& input, const AVStream& stream) override;

  bool Open() override;
  bool Write(int input, AVPacket* packet) override { return writer_.Write(input, packet); }
  bool Finish() override { return writer_.Finish(); }
  bool Commit() override { return writer_.Commit(); }
  void Abandon() override { writer_.Abandon(); }

 private:
  MatroskaWriter writer_;
};

// Writes the one stream connected to its pin "Input" as a raw elementary
// stream.
class DumpFilter final : public SinkFilterBase {
 public:
  explicit DumpFilter(MediaFileSystem& files);

  uint32_t Release() override { return ReleaseReference(this, count_); }
  HResult AcceptConnection(EnginePin& input, const AVStream& stream) override;

  bool Open() override;
  bool Write(int, AVPacket* packet) override { return writer_.Write(packet); }
  bool Finish() override { return writer_.Finish(); }
  bool Commit() override { return writer_.Commit(); }
  void Abandon() override { writer_.Abandon(); }

 private:
  RawStreamWriter writer_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_SINK_FILTERS_H_
