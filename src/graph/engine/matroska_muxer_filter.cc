#include "graph/engine/matroska_muxer_filter.h"

#include <string>

#include "graph/engine/pin_names.h"
#include "platform/diagnostics.h"
#include "text/conversions.h"

namespace quorvex::engine {

MatroskaMuxerFilter::MatroskaMuxerFilter() { AddInputPin(MuxerInputPinName(1)); }

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
  return writer_.Open(fileName_, connectedStreams_);
}

}  // namespace quorvex::engine
