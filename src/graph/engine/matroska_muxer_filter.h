#ifndef QUORVEX_GRAPH_ENGINE_MATROSKA_MUXER_FILTER_H_
#define QUORVEX_GRAPH_ENGINE_MATROSKA_MUXER_FILTER_H_

#include "graph/engine/matroska_writer.h"
#include "graph/engine/sink_filter_base.h"

namespace quorvex::engine {

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

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MATROSKA_MUXER_FILTER_H_
