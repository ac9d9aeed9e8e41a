#ifndef QUORVEX_GRAPH_ENGINE_ENGINE_FILTER_H_
#define QUORVEX_GRAPH_ENGINE_ENGINE_FILTER_H_

#include "graph/guid.h"
#include "graph/result_codes.h"

namespace quorvex::engine {

class FilterGraph;
class PacketSink;
class SplitterFilter;

// Answers that the genuine graph manager gives and the shared list lacks.
inline constexpr HResult kNotInGraph = static_cast<HResult>(0x8004025Fu);

// The engine's own view of its filters, reached through QueryInterface with
// kIidEngineFilter. The pointer handed out is borrowed: it stays valid while
// the caller holds another reference to the filter.
inline constexpr Guid kIidEngineFilter{0x6B1D3E40, 0x2C8F, 0x4E55, {0x9A, 0x61, 0x3F, 0x0E, 0x52, 0xC4, 0x7D, 0x19}};
// Likewise for the engine's pins (kIidEnginePin gives an EnginePin).
inline constexpr Guid kIidEnginePin{0x6B1D3E41, 0x2C8F, 0x4E55, {0x9A, 0x61, 0x3F, 0x0E, 0x52, 0xC4, 0x7D, 0x19}};

class EngineFilter {
 public:
  // Called by the graph manager when the filter joins it.
  void JoinGraph(const FilterGraph* graph) { graph_ = graph; }
  const FilterGraph* graph() const { return graph_; }

  virtual SplitterFilter* AsSplitter() { return nullptr; }
  virtual PacketSink* AsSink() { return nullptr; }

 protected:
  ~EngineFilter() = default;

 private:
  const FilterGraph* graph_ = nullptr;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_ENGINE_FILTER_H_
