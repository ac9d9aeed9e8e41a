#include "graph/engine/engine_pin.h"

#include <gtest/gtest.h>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {
namespace {

TEST(PinNamesTest, KindAndPositionAmongAllStreams) {
  OutputFormatHandle format(avformat_alloc_context());
  struct Case {
    AVMediaType type;
    int disposition;
    std::u16string name;
  };
  const Case cases[] = {
      {AVMEDIA_TYPE_VIDEO, 0, u"Video 1"},
      {AVMEDIA_TYPE_AUDIO, 0, u"Audio 2"},
      {AVMEDIA_TYPE_AUDIO, 0, u"Audio 3"},
      {AVMEDIA_TYPE_SUBTITLE, 0, u"Subtitle 4"},
      {AVMEDIA_TYPE_DATA, 0, u"Data 5"},
      {AVMEDIA_TYPE_UNKNOWN, 0, u"Data 6"},
      {AVMEDIA_TYPE_ATTACHMENT, 0, u"Attachment 7"},
      {AVMEDIA_TYPE_VIDEO, AV_DISPOSITION_ATTACHED_PIC, u"Attachment 8"},
      {AVMEDIA_TYPE_VIDEO, 0, u"Video 9"},
  };
  int position = 1;
  for (const Case& c : cases) {
    AVStream* stream = avformat_new_stream(format.get(), nullptr);
    ASSERT_NE(stream, nullptr);
    stream->codecpar->codec_type = c.type;
    stream->disposition = c.disposition;
    EXPECT_EQ(OutputPinName(*stream, position++), c.name);
  }
  EXPECT_EQ(MuxerInputPinName(1), u"Input 1");
  EXPECT_EQ(MuxerInputPinName(12), u"Input 12");
}

}  // namespace
}  // namespace quorvex::engine
