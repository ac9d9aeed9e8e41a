#ifndef QUORVEX_GRAPH_ENGINE_PACKET_SINK_H_
#define QUORVEX_GRAPH_ENGINE_PACKET_SINK_H_

#include <filesystem>

extern "C" {
#include <libavcodec/packet.h>
}

namespace quorvex::engine {

// A filter that writes the packets of its connected inputs to a file. The
// graph opens it when it runs, feeds it on a streaming thread and finishes
// or abandons it at the end.
class PacketSink {
 public:
  virtual bool HasConnectedInput() const = 0;
  virtual std::filesystem::path OutputPath() const = 0;
  // Creates the output; false when it cannot be created.
  virtual bool Open() = 0;
  // `input` is the index of a connected input; the packet keeps the source
  // stream's time base, and the sink may take its data. False on a write
  // failure.
  virtual bool Write(int input, AVPacket* packet) = 0;
  // Completes the output, still under its partial name; false on failure.
  virtual bool Finish() = 0;
  // Puts a finished output in its destination's place.
  virtual bool Commit() = 0;
  // Closes and deletes an output that will not be committed; the
  // destination stays as it was.
  virtual void Abandon() = 0;

 protected:
  ~PacketSink() = default;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PACKET_SINK_H_
