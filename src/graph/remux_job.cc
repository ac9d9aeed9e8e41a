// RemuxToMatroska: splitter -> Haali Matroska Muxer, one graph per call.
#include "graph/remux_job.h"

#include "graph/com_ptr.h"
#include "graph/graph_steps.h"
#include "graph/pin_selection.h"

namespace quorvex {
namespace {

// The muxer offers, as the last pin of a fresh enumeration, a free input for
// the next stream. False when its pins cannot be enumerated; `muxerPin` stays
// empty when it delivers none.
bool TakeLastMuxerPin(IBaseFilter& muxer, ComPtr<IPin>& muxerPin) {
  ComPtr<IEnumPins> muxerPins;
  if (muxer.EnumPins(muxerPins.Put()) != kOk || !muxerPins) return false;
  ComPtr<IPin> delivered;
  while (muxerPins->Next(1, delivered.Put(), nullptr) == kOk && delivered) muxerPin = std::move(delivered);
  return true;
}

}  // namespace

bool RemuxToMatroska(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly) {
  // Declared first so that it is given up last, on every path: the filters
  // must be gone before the graph that holds them is.
  ComPtr<IGraphBuilder> graphManager;
  ComPtr<IBaseFilter> splitter;
  ComPtr<IBaseFilter> muxer;
  ComPtr<IFileSourceFilter> source;
  ComPtr<IFileSinkFilter> sink;
  ComPtr<IEnumPins> splitterPins;

  if (!CreateGraphManager(factory, console, graphManager)) return false;
  if (!CreateSplitter(factory, console, sourceFile, splitter)) return false;
  if (CreateInstanceOf(factory, kClsidHaaliMuxer, muxer) != kOk || !muxer) {
    console.WriteLine("Getting Haali Matroska Muxer instance failed.");
    return false;
  }
  if (!AddSplitter(*graphManager.Get(), *splitter.Get(), sourceFile, console)) return false;
  if (graphManager->AddFilter(muxer.Get(), u"muxer") != kOk) {
    console.WriteLine("Adding Haali Matroska Muxer failed.");
    return false;
  }
  if (!LoadSource(*splitter.Get(), sourceFile, console, source)) return false;
  sink = RequireInterface<IFileSinkFilter>(muxer.Get());
  if (sink->SetFileName(destFile.c_str(), nullptr) != kOk) {
    console.WriteLine("Setting destination file name failed.");
    return false;
  }
  if (!EnumerateSplitterPins(*splitter.Get(), console, splitterPins)) return false;

  const bool connected = ForEachWantedPin(*splitterPins.Get(), videoOnly, audioOnly,
                                          [&](IPin& splitterPin, const TPinInfo&, const std::string&) {
                                            ComPtr<IPin> muxerPin;
                                            if (!TakeLastMuxerPin(*muxer.Get(), muxerPin)) {
                                              console.WriteLine("Enumerating Haali Matroska Muxer pins failed.");
                                              return false;
                                            }
                                            // A stream that does not connect is simply missing from the output.
                                            if (muxerPin) splitterPin.Connect(muxerPin.Get(), nullptr);
                                            return true;
                                          });
  if (!connected) return false;

  return RunGraphToCompletion(*graphManager.Get(), console);
}

}  // namespace quorvex
