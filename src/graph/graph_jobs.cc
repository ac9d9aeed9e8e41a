// TEMPORARY placeholder until the graph jobs land; replaced wholesale.
#include "graph/graph_jobs.h"

namespace quorvex {

bool RemuxToMatroska(ClassFactory&, Console& console, const std::u16string&, const std::u16string&, bool, bool) {
  console.WriteLine("Getting IGraphBuilder instance failed.");
  return false;
}

bool DemuxToRawFiles(ClassFactory&, Console& console, const std::u16string&, const std::u16string&, bool, bool) {
  console.WriteLine("Getting IGraphBuilder instance failed.");
  return false;
}

}  // namespace quorvex
