#include "graph/engine/stream_repack.h"

#include "graph/engine/aac_latm_repack.h"
#include "graph/engine/lpcm_repack.h"
#include "graph/engine/mpeg4_unpack_repack.h"

namespace quorvex::engine {

std::unique_ptr<StreamRepack> RepackFor(const AVStream& source) {
  switch (source.codecpar->codec_id) {
    case AV_CODEC_ID_PCM_BLURAY:
    case AV_CODEC_ID_PCM_DVD:
      return LpcmRepack::Create(source);
    case AV_CODEC_ID_AAC_LATM:
      return std::make_unique<AacLatmRepack>();
    case AV_CODEC_ID_MPEG4:
      return std::make_unique<Mpeg4UnpackRepack>();
    default:
      return nullptr;
  }
}

}  // namespace quorvex::engine
