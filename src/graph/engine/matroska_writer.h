#ifndef QUORVEX_GRAPH_ENGINE_MATROSKA_WRITER_H_
#define QUORVEX_GRAPH_ENGINE_MATROSKA_WRITER_H_

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "graph/engine/matroska_chapter_reader.h"
#include "graph/engine/muxed_file.h"
#include "graph/engine/packet_interleaver.h"
#include "graph/engine/stream_repack.h"
#include "graph/engine/timestamp_repair.h"

namespace quorvex::engine {

// Whether Matroska holds the stream's codec as it is, without re-encoding:
// natively, or through the Windows codec headers it keeps for the rest; and
// whether the stream is described well enough to be written.
bool MatroskaCanHold(const AVStream& stream);

// Copies packets of several source streams into one Matroska file. All
// tracks share one time offset, chosen so the earliest stream starts at 0,
// which keeps audio and video in step.
class MatroskaWriter {
 public:
  explicit MatroskaWriter(MediaFileSystem& files) : file_(files) {}
  // `container`, when given, is the source file whose chapters and
  // attachments the output keeps.
  bool Open(const std::filesystem::path& path, const std::vector<const AVStream*>& sources,
            const AVFormatContext* container);
  // `packet` carries its source stream's time base; its data is taken.
  bool Write(int track, AVPacket* packet);
  // The source's chapters with their languages, which the finished file
  // gets in place of the undetermined language libav writes.
  void KeepChapterLanguages(std::vector<ChapterLabel> labels) { chapterLabels_ = std::move(labels); }
  bool Finish();
  bool Commit() { return file_.Commit(); }
  void Abandon() { file_.Abandon(); }

 private:
  struct Track {
    const AVStream* source;
    AVRational outputTimeBase;
    int64_t offset;  // in the source's time base
    TimestampRepair repair;
    std::unique_ptr<StreamRepack> repack;  // null when stored as it is
  };

  bool WriteDue(bool all);

  MuxedFile file_;
  std::vector<Track> tracks_;
  // Made with the first packet, once the tracks are known.
  std::optional<PacketInterleaver> interleaver_;
  PacketHandle due_ = MakePacket();
  std::vector<ChapterLabel> chapterLabels_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MATROSKA_WRITER_H_
