#ifndef QUORVEX_GRAPH_SPLITTER_STEPS_H_
#define QUORVEX_GRAPH_SPLITTER_STEPS_H_

#include <string>

#include "graph/com_ptr.h"
#include "platform/console.h"

namespace quorvex {

// The setup steps that the remux and demux jobs take alike, each in the
// job's own order. Each writes its failure line and answers false; the
// references it hands out stay with the job, which gives them up in its
// own order.

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

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_SPLITTER_STEPS_H_
