#ifndef QUORVEX_GRAPH_ENGINE_TWENTY_BIT_LPCM_H_
#define QUORVEX_GRAPH_ENGINE_TWENTY_BIT_LPCM_H_

#include <filesystem>

#include "platform/interrupts.h"
#include "platform/media_file.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// Whether packets of this stream are 20-bit Blu-ray LPCM, which libavcodec
// only unpacks once their headers are widened to 24 bits.
bool IsTwentyBitBlurayLpcm(const AVCodecParameters& codec);

// libavcodec refuses 20-bit Blu-ray LPCM, so probing leaves such a stream
// without sample rate, channels and width. This reads the file a second
// time, from its start up to the first frame of each such stream (within
// the probing window), and describes the stream from that frame: 20-bit
// samples, unpacked like 24-bit ones. Streams it cannot describe stay as
// they were, and are later named as left out.
void DescribeTwentyBitBlurayLpcm(MediaFileSystem& files, const Interrupts& interrupts,
                                 const std::filesystem::path& path, AVFormatContext* format);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_TWENTY_BIT_LPCM_H_
