#include "graph/engine/stream_repack.h"

#include "graph/engine/lpcm_repack.h"

namespace quorvex::engine {

std::unique_ptr<StreamRepack> RepackFor(const AVStream& source) {
  switch (source.codecpar->codec_id) {
    case AV_CODEC_ID_PCM_BLURAY:
    case AV_CODEC_ID_PCM_DVD: return LpcmRepack::Create(source);
    default: return nullptr;
  }
}

}  // namespace quorvex::engine
