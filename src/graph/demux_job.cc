// DemuxToRawFiles: splitter -> one Dump filter per wanted stream.
#include "graph/demux_job.h"

#include <vector>

#include "graph/com_ptr.h"
#include "graph/graph_steps.h"
#include "graph/pin_selection.h"
#include "text/conversions.h"

namespace quorvex {
namespace {

std::string QuotedPinLine(std::string_view before, const std::string& pinName, std::string_view after) {
  return std::string(before) + "\"" + pinName + "\"" + std::string(after);
}

}  // namespace

std::u16string DumpFileNameFor(std::u16string_view destFile, const TPinInfo& pin, const FileNameRules& rules) {
  // Pins are named like "Video 1" and "Audio 2": the part after the kind
  // tells the streams of one kind apart.
  constexpr size_t kKindPrefixLength = 6;
  const std::u16string wideName = WidePinName(pin);
  const std::u16string_view kept =
      wideName.size() > kKindPrefixLength ? std::u16string_view(wideName).substr(kKindPrefixLength) : u"";
  const char16_t* kindExtension = NameContains(PinNameOf(pin), "Video") ? u".mpv" : u".mpa";
  // Built by appending: GCC 12 misreads "literal" + string at -O3 (-Wrestrict).
  std::u16string extension(1, u'.');
  extension += kept;
  extension += kindExtension;
  return WidenText(ReplaceExtension(NarrowText(destFile), NarrowPinText(extension), rules));
}

bool DemuxToRawFiles(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly) {
  // Declared first so that it is given up last, on every path: the filters
  // must be gone before the graph that holds them is.
  ComPtr<IGraphBuilder> graphManager;
  ComPtr<IBaseFilter> splitter;
  ComPtr<IFileSourceFilter> source;
  ComPtr<IEnumPins> splitterPins;
  // Every Dump filter lives until the job returns, so that it writes to the end.
  std::vector<ComPtr<IBaseFilter>> dumpFilters;

  if (!CreateGraphManager(factory, console, graphManager)) return false;
  if (!CreateSplitter(factory, console, sourceFile, splitter)) return false;
  if (!AddSplitter(*graphManager.Get(), *splitter.Get(), sourceFile, console)) return false;
  if (!LoadSource(*splitter.Get(), sourceFile, console, source)) return false;
  if (!EnumerateSplitterPins(*splitter.Get(), console, splitterPins)) return false;

  // The first wanted pin that fails ends the job.
  const bool connected = ForEachWantedPin(
      *splitterPins.Get(), videoOnly, audioOnly, [&](IPin& splitterPin, const TPinInfo& info, const std::string& name) {
        ComPtr<IBaseFilter> created;
        if (CreateInstanceOf(factory, kClsidDump, created) != kOk || !created) {
          console.WriteLine(QuotedPinLine("Getting ", name, " Dump instance failed."));
          return false;
        }
        IBaseFilter& dump = *dumpFilters.emplace_back(std::move(created)).Get();
        // The name as the graph gave it, terminated even when it fills all 128 units.
        if (graphManager->AddFilter(&dump, WidePinName(info).c_str()) != kOk) {
          console.WriteLine(QuotedPinLine("Adding ", name, " Dump failed."));
          return false;
        }
        const auto sink = RequireInterface<IFileSinkFilter>(&dump);
        if (sink->SetFileName(DumpFileNameFor(destFile, info).c_str(), nullptr) != kOk) {
          console.WriteLine(QuotedPinLine("Setting ", name, " destination file name failed."));
          return false;
        }
        ComPtr<IPin> inputPin;
        if (dump.FindPin(u"Input", inputPin.Put()) != kOk || !inputPin) {
          console.WriteLine(QuotedPinLine("Getting ", name, " input pin failed."));
          return false;
        }
        if (splitterPin.Connect(inputPin.Get(), nullptr) != kOk) {
          console.WriteLine(QuotedPinLine("Connecting ", name, " pin failed."));
          return false;
        }
        return true;
      });
  if (!connected) return false;

  return RunGraphToCompletion(*graphManager.Get(), console);
}

}  // namespace quorvex
