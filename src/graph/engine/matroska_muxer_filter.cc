#include "graph/engine/matroska_muxer_filter.h"

#include <string>

#include "graph/engine/chapter_languages.h"
#include "graph/engine/pin_names.h"
#include "graph/engine/splitter_filter.h"
#include "platform/diagnostics.h"
#include "text/conversions.h"

namespace quorvex::engine {

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

}  // namespace quorvex::engine
