#include "graph/engine/matroska_muxer_filter.h"

#include "graph/engine/pin_names.h"

namespace quorvex::engine {

MatroskaMuxerFilter::MatroskaMuxerFilter(MediaFileSystem& files) : writer_(files) { AddInputPin(MuxerInputPinName(1)); }

HResult MatroskaMuxerFilter::AcceptConnection(EnginePin& input, const AVStream& stream) {
  if (!MatroskaCanHold(stream)) return kNoAcceptableTypes;
  RecordConnection(input, stream);
  AddInputPin(MuxerInputPinName(static_cast<int>(pins_.size()) + 1));
  return kOk;
}

bool MatroskaMuxerFilter::Open() {
  if (fileName_.empty() || connectedStreams_.empty()) return false;
  return writer_.Open(fileName_, connectedStreams_);
}

}  // namespace quorvex::engine
