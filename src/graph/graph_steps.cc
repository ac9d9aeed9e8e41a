#include "graph/graph_steps.h"

#include "text/conversions.h"
#include "text/file_names.h"
#include "text/fold.h"

namespace quorvex {

Guid SplitterClsidFor(std::u16string_view sourceFile) {
  const bool isWmv = SameTextFold(ExtensionOf(NarrowText(sourceFile)), ".wmv");
  return isWmv ? kClsidWmvSplitter : kClsidHaaliSplitter;
}

SplitterLines SplitterLinesFor(const Guid& splitterClsid) {
  if (splitterClsid == kClsidWmvSplitter) {
    return {"Getting WMV Splitter instance failed.", "Adding WMV Splitter failed."};
  }
  return {"Getting Haali Simple Media Splitter instance failed.", "Adding Haali Media Splitter failed."};
}

bool CreateGraphManager(ClassFactory& factory, Console& console, ComPtr<IGraphBuilder>& graphManager) {
  if (CreateInstanceOf(factory, kClsidFilterGraph, graphManager) == kOk && graphManager) return true;
  console.WriteLine("Getting IGraphBuilder instance failed.");
  return false;
}

bool CreateSplitter(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                    ComPtr<IBaseFilter>& splitter) {
  const Guid splitterClsid = SplitterClsidFor(sourceFile);
  if (CreateInstanceOf(factory, splitterClsid, splitter) == kOk && splitter) return true;
  console.WriteLine(SplitterLinesFor(splitterClsid).creating);
  return false;
}

bool AddSplitter(IGraphBuilder& graphManager, IBaseFilter& splitter, const std::u16string& sourceFile,
                 Console& console) {
  if (graphManager.AddFilter(&splitter, u"splitter") == kOk) return true;
  console.WriteLine(SplitterLinesFor(SplitterClsidFor(sourceFile)).adding);
  return false;
}

bool LoadSource(IBaseFilter& splitter, const std::u16string& sourceFile, Console& console,
                ComPtr<IFileSourceFilter>& source) {
  source = RequireInterface<IFileSourceFilter>(&splitter);
  const HResult loaded = source->Load(sourceFile.c_str(), nullptr);
  if (loaded == kOk) return true;
  // A stop request while a long source is probed ends the run as the user
  // asked, as it does once the graph runs.
  console.WriteLine(loaded == kAbort ? "User aborted muxing." : "Loading source file failed.");
  return false;
}

bool EnumerateSplitterPins(IBaseFilter& splitter, Console& console, ComPtr<IEnumPins>& splitterPins) {
  if (splitter.EnumPins(splitterPins.Put()) == kOk && splitterPins) return true;
  // The same line for either splitter class.
  console.WriteLine("Enumerating Haali Media Splitter pins failed.");
  return false;
}

bool RunGraphToCompletion(IGraphBuilder& graphManager, Console& console) {
  ComPtr<IMediaControl> control;
  if (QueryInterfaceFor(&graphManager, control) != kOk) {
    console.WriteLine("Getting IMediaControl failed.");
    return false;
  }
  ComPtr<IMediaEvent> events;
  if (QueryInterfaceFor(&graphManager, events) != kOk) {
    console.WriteLine("Getting IMediaEvent failed.");
    return false;
  }
  if (control->Run() != kOk) {
    console.WriteLine("Starting muxing failed.");
    return false;
  }
  int32_t eventCode = 0;
  if (events->WaitForCompletion(kInfiniteTimeout, &eventCode) != kOk) {
    console.WriteLine("Waiting for muxing completion failed.");
    return false;
  }
  switch (eventCode) {
    case kEcComplete:
      return true;
    case kEcUserAbort:
      console.WriteLine("User aborted muxing.");
      return false;
    case kEcErrorAbort:
      console.WriteLine("An error ocurred during muxing.");
      return false;
    default:
      console.WriteLine("Unknown muxing error.");
      return false;
  }
}

}  // namespace quorvex
