#include "graph/engine/container_extras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

namespace quorvex::engine {
namespace {

struct FormatDeleter {
  void operator()(AVFormatContext* format) const { avformat_free_context(format); }
};
using Format = std::unique_ptr<AVFormatContext, FormatDeleter>;

void AddChapter(AVFormatContext& format, int64_t startMs, int64_t endMs, const char* title) {
  auto* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
  ASSERT_NE(chapter, nullptr);
  chapter->id = static_cast<int64_t>(format.nb_chapters) + 1;
  chapter->time_base = AVRational{1, 1000};
  chapter->start = startMs;
  chapter->end = endMs;
  av_dict_set(&chapter->metadata, "title", title, 0);
  ASSERT_GE(av_dynarray_add_nofree(&format.chapters, reinterpret_cast<int*>(&format.nb_chapters), chapter), 0);
}

std::string Value(const AVDictionary* metadata, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
  return entry != nullptr ? entry->value : "";
}

TEST(ContainerExtrasTest, ChaptersMoveWithTheTracksAndNeverStartBeforeZero) {
  Format source(avformat_alloc_context());
  Format output(avformat_alloc_context());
  ASSERT_NO_FATAL_FAILURE(AddChapter(*source, 0, 400, "Opening"));
  ASSERT_NO_FATAL_FAILURE(AddChapter(*source, 400, 1000, "Finale"));
  // The tracks start 5 ms in and are moved to 0.
  ASSERT_TRUE(CopyChapters(*source, 5000, *output));
  ASSERT_EQ(output->nb_chapters, 2u);
  const std::vector<std::vector<int64_t>> times = {{output->chapters[0]->start, output->chapters[0]->end},
                                                   {output->chapters[1]->start, output->chapters[1]->end}};
  EXPECT_EQ(times, (std::vector<std::vector<int64_t>>{{0, 395}, {395, 995}}));
  EXPECT_EQ(Value(output->chapters[0]->metadata, "title"), "Opening");
  EXPECT_EQ(Value(output->chapters[1]->metadata, "title"), "Finale");
}

TEST(ContainerExtrasTest, AttachedFilesAndCoverArtBecomeAttachments) {
  Format source(avformat_alloc_context());
  Format output(avformat_alloc_context());
  // A video track, which stays a track.
  avformat_new_stream(source.get(), nullptr)->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  // A font, as the splitter offers an attached file.
  AVStream* font = avformat_new_stream(source.get(), nullptr);
  font->codecpar->codec_type = AVMEDIA_TYPE_ATTACHMENT;
  font->codecpar->codec_id = AV_CODEC_ID_TTF;
  font->codecpar->extradata = static_cast<uint8_t*>(av_mallocz(3 + AV_INPUT_BUFFER_PADDING_SIZE));
  font->codecpar->extradata_size = 3;
  av_dict_set(&font->metadata, "filename", "font.ttf", 0);
  av_dict_set(&font->metadata, "mimetype", "font/ttf", 0);
  // Cover art, as the splitter offers a picture file.
  AVStream* cover = avformat_new_stream(source.get(), nullptr);
  cover->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  cover->codecpar->codec_id = AV_CODEC_ID_MJPEG;
  cover->disposition = AV_DISPOSITION_ATTACHED_PIC;
  ASSERT_GE(av_new_packet(&cover->attached_pic, 5), 0);
  av_dict_set(&cover->metadata, "filename", "cover.jpg", 0);
  av_dict_set(&cover->metadata, "mimetype", "image/jpeg", 0);
  // An attached file without a name, which Matroska cannot store.
  AVStream* nameless = avformat_new_stream(source.get(), nullptr);
  nameless->codecpar->codec_type = AVMEDIA_TYPE_ATTACHMENT;
  nameless->codecpar->extradata = static_cast<uint8_t*>(av_mallocz(1 + AV_INPUT_BUFFER_PADDING_SIZE));
  nameless->codecpar->extradata_size = 1;

  ASSERT_TRUE(CopyAttachments(*source, *output));
  ASSERT_EQ(output->nb_streams, 2u);
  const struct {
    const char* name;
    const char* type;
    int size;
  } expected[] = {{"font.ttf", "font/ttf", 3}, {"cover.jpg", "image/jpeg", 5}};
  for (unsigned i = 0; i < 2; ++i) {
    const AVStream& attachment = *output->streams[i];
    EXPECT_EQ(attachment.codecpar->codec_type, AVMEDIA_TYPE_ATTACHMENT);
    EXPECT_EQ(Value(attachment.metadata, "filename"), expected[i].name);
    EXPECT_EQ(Value(attachment.metadata, "mimetype"), expected[i].type);
    EXPECT_EQ(attachment.codecpar->extradata_size, expected[i].size);
  }
}

}  // namespace
}  // namespace quorvex::engine
