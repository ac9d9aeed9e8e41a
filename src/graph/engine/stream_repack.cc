#include "graph/engine/stream_repack.h"

namespace quorvex::engine {

std::unique_ptr<StreamRepack> RepackFor(const AVStream& source) {
  switch (source.codecpar->codec_id) {
    default: return nullptr;
  }
}

}  // namespace quorvex::engine
