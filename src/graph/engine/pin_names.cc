#include "graph/engine/pin_names.h"

namespace quorvex::engine {
namespace {

std::u16string Numbered(const char* word, int number) {
  std::string text = std::string(word) + " " + std::to_string(number);
  return std::u16string(text.begin(), text.end());  // ASCII only
}

const char* KindWord(const AVStream& stream) {
  if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) return "Attachment";
  switch (stream.codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO: return "Video";
    case AVMEDIA_TYPE_AUDIO: return "Audio";
    case AVMEDIA_TYPE_SUBTITLE: return "Subtitle";
    case AVMEDIA_TYPE_ATTACHMENT: return "Attachment";
    default: return "Data";
  }
}

}  // namespace

std::u16string OutputPinName(const AVStream& stream, int position) { return Numbered(KindWord(stream), position); }

std::u16string MuxerInputPinName(int number) { return Numbered("Input", number); }

}  // namespace quorvex::engine
