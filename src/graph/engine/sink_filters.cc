#include "graph/engine/sink_filters.h"

#include <string>

#include "graph/engine/chapter_languages.h"
#include "graph/engine/splitter_filter.h"
#include "platform/diagnostics.h"
#include "text/conversions.h"

namespace quorvex::engine {

HResult SinkFilterBase::QueryInterface(const Guid& iid, void** object) {
  return QueryFilterInterface<IFileSinkFilter>(this, iid, object);
}

HResult SinkFilterBase::EnumPins(IEnumPins** enumerator) { return EnumeratePins(pins_, enumerator); }

HResult SinkFilterBase::FindPin(const char16_t* id, IPin** pin) { return FindPinNamed(pins_, id, pin); }

HResult SinkFilterBase::SetFileName(const char16_t* fileName, const TAmMediaType*) {
  if (fileName == nullptr) return kPointer;
  const std::string name = NarrowText(fileName);
  if (name.empty()) return kInvalidArgument;
  fileName_ = name;
  return kOk;
}

MatroskaMuxerFilter::MatroskaMuxerFilter(MediaFileSystem& files) : writer_(files) { AddInputPin(MuxerInputPinName(1)); }

HResult MatroskaMuxerFilter::AcceptConnection(EnginePin& input, const AVStream& stream) {
  if (!MatroskaCanHold(stream)) {
    // The job goes on without the stream, so the user hears of it here.
    Diagnose(NarrowText(OutputPinName(stream, stream.index + 1)) + " (codec " +
             avcodec_get_name(stream.codecpar->codec_id) + ") cannot be stored in Matroska; it is left out.");
    return kNoAcceptableTypes;
  }
  RecordConnection(input, stream);
  AddInputPin(MuxerInputPinName(static_cast<int>(pins_.size()) + 1));
  return kOk;
}

bool MatroskaMuxerFilter::Open() {
  if (fileName_.empty() || connectedStreams_.empty()) return false;
  // The source file's chapters and attachments travel on no pin; they come
  // from the splitter the inputs are connected to.
  const AVFormatContext* container = nullptr;
  for (const std::unique_ptr<EnginePin>& pin : pins_) {
    if (pin->peer() == nullptr) continue;
    const SplitterFilter* splitter = pin->peer()->engineOwner().AsSplitter();
    if (splitter != nullptr && splitter->source() != nullptr) {
      container = &splitter->source()->container();
      if (container->nb_chapters > 0) writer_.KeepChapterLanguages(ReadChapterLabels(splitter->source()->path()));
    }
    break;
  }
  return writer_.Open(fileName_, connectedStreams_, container);
}

DumpFilter::DumpFilter(MediaFileSystem& files) : writer_(files) { AddInputPin(u"Input"); }

HResult DumpFilter::AcceptConnection(EnginePin& input, const AVStream& stream) {
  RecordConnection(input, stream);
  return kOk;
}

bool DumpFilter::Open() {
  if (fileName_.empty() || connectedStreams_.empty()) return false;
  return writer_.Open(fileName_, *connectedStreams_.front());
}

}  // namespace quorvex::engine
