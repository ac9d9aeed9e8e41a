#ifndef QUORVEX_GRAPH_GRAPH_STEPS_H_
#define QUORVEX_GRAPH_GRAPH_STEPS_H_

// The steps that the remux and demux jobs take alike, each in the job's own
// order: choosing the splitter for the source, setting it up in a fresh
// graph, and running the graph to its end. Each writes its failure line and
// answers false; the references it hands out stay with the job, which gives
// them up in its own order.

#include <string>
#include <string_view>

#include "graph/com_ptr.h"
#include "graph/guid.h"
#include "graph/interfaces.h"
#include "platform/abnormal_termination.h"
#include "platform/console.h"

namespace quorvex {

// Asks `object` for an interface that the jobs cannot work without. A filter
// that refuses it is not the filter the job asked for, which nothing can
// report sensibly: the run ends abnormally, after the caller's references
// are given up by unwinding.
template <class U, class T>
ComPtr<U> RequireInterface(T* object) {
  ComPtr<U> result;
  if (QueryInterfaceFor(object, result) != kOk || !result) {
    throw AbnormalTermination("EIntfCastError", "Interface not supported");
  }
  return result;
}

// The splitter class for a source: the WMV Splitter for a ".wmv" file in any
// letter case, the Haali Simple Media Splitter for everything else.
Guid SplitterClsidFor(std::u16string_view sourceFile);

// The failure lines that name the chosen splitter.
struct SplitterLines {
  std::string_view creating;
  std::string_view adding;
};
SplitterLines SplitterLinesFor(const Guid& splitterClsid);

bool CreateGraphManager(ClassFactory& factory, Console& console, ComPtr<IGraphBuilder>& graphManager);

// Creates the splitter class that SplitterClsidFor chooses for the source.
bool CreateSplitter(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                    ComPtr<IBaseFilter>& splitter);

bool AddSplitter(IGraphBuilder& graphManager, IBaseFilter& splitter, const std::u16string& sourceFile,
                 Console& console);

// Loads the source into the splitter. A splitter without IFileSourceFilter
// ends the run abnormally.
bool LoadSource(IBaseFilter& splitter, const std::u16string& sourceFile, Console& console,
                ComPtr<IFileSourceFilter>& source);

bool EnumerateSplitterPins(IBaseFilter& splitter, Console& console, ComPtr<IEnumPins>& splitterPins);

// Runs the graph and blocks until it reports its end. True only for
// EC_COMPLETE; every failure writes its line. The graph is never paused or
// stopped: giving up the graph manager ends it.
bool RunGraphToCompletion(IGraphBuilder& graphManager, Console& console);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_GRAPH_STEPS_H_
