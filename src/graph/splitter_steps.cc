#include "graph/splitter_steps.h"

#include "graph/required_interface.h"
#include "graph/splitter_choice.h"

namespace quorvex {

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
  if (source->Load(sourceFile.c_str(), nullptr) == kOk) return true;
  console.WriteLine("Loading source file failed.");
  return false;
}

bool EnumerateSplitterPins(IBaseFilter& splitter, Console& console, ComPtr<IEnumPins>& splitterPins) {
  if (splitter.EnumPins(splitterPins.Put()) == kOk && splitterPins) return true;
  // The same line for either splitter class.
  console.WriteLine("Enumerating Haali Media Splitter pins failed.");
  return false;
}

}  // namespace quorvex
