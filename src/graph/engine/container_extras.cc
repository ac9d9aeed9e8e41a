#include "graph/engine/container_extras.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
}

namespace quorvex::engine {
namespace {

// The bytes of an attached file: the data of an attachment stream, or the
// picture of cover art.
bool AttachedData(const AVStream& stream, const uint8_t** data, int* size) {
  if (stream.codecpar->codec_type == AVMEDIA_TYPE_ATTACHMENT) {
    *data = stream.codecpar->extradata;
    *size = stream.codecpar->extradata_size;
    return *data != nullptr && *size > 0;
  }
  if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
    *data = stream.attached_pic.data;
    *size = stream.attached_pic.size;
    return *data != nullptr && *size > 0;
  }
  return false;
}

}  // namespace

bool CopyChapters(const AVFormatContext& source, int64_t offset, AVFormatContext& output) {
  if (source.nb_chapters == 0) return true;
  output.chapters = static_cast<AVChapter**>(av_calloc(source.nb_chapters, sizeof(AVChapter*)));
  if (output.chapters == nullptr) return false;
  for (unsigned i = 0; i < source.nb_chapters; ++i) {
    const AVChapter& chapter = *source.chapters[i];
    auto* copy = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
    if (copy == nullptr) return false;
    output.chapters[output.nb_chapters++] = copy;  // the context frees it from here on
    const int64_t shift = av_rescale_q(offset, AV_TIME_BASE_Q, chapter.time_base);
    copy->id = chapter.id;
    copy->time_base = chapter.time_base;
    copy->start = std::max<int64_t>(0, chapter.start - shift);
    copy->end = std::max(copy->start, chapter.end - shift);
    if (av_dict_copy(&copy->metadata, chapter.metadata, 0) < 0) return false;
  }
  return true;
}

bool CopyAttachments(const AVFormatContext& source, AVFormatContext& output) {
  for (unsigned i = 0; i < source.nb_streams; ++i) {
    const AVStream& stream = *source.streams[i];
    const uint8_t* data = nullptr;
    int size = 0;
    if (!AttachedData(stream, &data, &size)) continue;
    const AVDictionaryEntry* name = av_dict_get(stream.metadata, "filename", nullptr, 0);
    if (name == nullptr) continue;  // Matroska keeps no file without a name
    AVStream* attachment = avformat_new_stream(&output, nullptr);
    if (attachment == nullptr) return false;
    attachment->codecpar->codec_type = AVMEDIA_TYPE_ATTACHMENT;
    attachment->codecpar->codec_id = stream.codecpar->codec_id;
    attachment->codecpar->extradata =
        static_cast<uint8_t*>(av_mallocz(static_cast<size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE));
    if (attachment->codecpar->extradata == nullptr) return false;
    std::memcpy(attachment->codecpar->extradata, data, static_cast<size_t>(size));
    attachment->codecpar->extradata_size = size;
    for (const char* key : {"filename", "mimetype", "title"}) {
      const AVDictionaryEntry* entry = av_dict_get(stream.metadata, key, nullptr, 0);
      if (entry != nullptr && av_dict_set(&attachment->metadata, key, entry->value, 0) < 0) return false;
    }
  }
  return true;
}

}  // namespace quorvex::engine
