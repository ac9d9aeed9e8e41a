#include "graph/engine/dump_filter.h"

namespace quorvex::engine {

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
