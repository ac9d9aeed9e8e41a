#ifndef QUORVEX_GRAPH_ENGINE_DUMP_FILTER_H_
#define QUORVEX_GRAPH_ENGINE_DUMP_FILTER_H_

#include "graph/engine/raw_stream_writer.h"
#include "graph/engine/sink_filter_base.h"

namespace quorvex::engine {

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

#endif  // QUORVEX_GRAPH_ENGINE_DUMP_FILTER_H_
