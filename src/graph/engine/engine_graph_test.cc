// The engine's objects driven through the graph interface, as the remux and
// demux jobs drive them, on small files made with ffmpeg.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "graph/com_ptr.h"
#include "graph/demux_job.h"
#include "graph/engine/engine_class_factory.h"
#include "graph/remux_job.h"
#include "platform/diagnostics.h"
#include "platform/testing/in_memory_media_files.h"
#include "platform/testing/manual_interrupts.h"
#include "platform/testing/recording_console.h"
#include "platform/testing/recording_diagnostics.h"
#include "posix_test_support.h"
#include "text/conversions.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test_support::RunFfmpeg;
using test_support::ScratchDirectory;

class EngineGraphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fixtures_ = std::make_unique<ScratchDirectory>();
    // Video, AAC, Blu-ray LPCM, AC-3 and SMPTE 302M audio (which Matroska
    // cannot hold).
    RunFfmpeg({"-f",
               "lavfi",
               "-i",
               "testsrc2=duration=1:size=96x64:rate=25",
               "-f",
               "lavfi",
               "-i",
               "sine=duration=1:sample_rate=48000",
               "-map",
               "0:v",
               "-map",
               "1:a",
               "-map",
               "1:a",
               "-map",
               "1:a",
               "-map",
               "1:a",
               "-c:v",
               "libx264",
               "-c:a:0",
               "aac",
               "-c:a:1",
               "pcm_bluray",
               "-c:a:2",
               "ac3",
               "-c:a:3",
               "s302m",
               "-ac:a:3",
               "2",
               "-strict",
               "-2",
               "-mpegts_m2ts_mode",
               "1",
               "-f",
               "mpegts",
               (*fixtures_) / "movie.ts"});
    std::ofstream((*fixtures_) / "notes.txt") << "not media at all\n";
    std::ofstream((*fixtures_) / "empty.ts");
    // Far more than a pipe holds, once muxed.
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=20:size=96x64:rate=25", "-c:v", "libx264", "-g", "25", "-f",
               "mpegts", (*fixtures_) / "long.ts"});
  }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static std::u16string Fixture(const std::string& name) { return WidenText((*fixtures_) / name); }
  std::u16string Output(const std::string& name) const { return WidenText(work_ / name); }

  template <class T>
  ComPtr<T> Create(const Guid& clsid) {
    ComPtr<T> object;
    EXPECT_EQ(CreateInstanceOf(*factory_, clsid, object), kOk);
    return object;
  }

  static std::vector<ComPtr<IPin>> Pins(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    EXPECT_EQ(filter->EnumPins(pins.Put()), kOk);
    std::vector<ComPtr<IPin>> result;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == kOk) result.push_back(pin);
    return result;
  }

  static std::u16string NameOf(IPin* pin) {
    TPinInfo info;
    EXPECT_EQ(pin->QueryPinInfo(&info), kOk);
    ComPtr<IBaseFilter> owner = ComPtr<IBaseFilter>::Adopt(info.pFilter);
    return FixedWideText(info.achName, kMaxPinName);
  }

  static HResult Load(IBaseFilter* splitter, const std::u16string& file) {
    ComPtr<IFileSourceFilter> source;
    EXPECT_EQ(QueryInterfaceFor(splitter, source), kOk);
    return source->Load(file.c_str(), nullptr);
  }

  static HResult SetFileName(IBaseFilter* sink, const std::u16string& file) {
    ComPtr<IFileSinkFilter> target;
    EXPECT_EQ(QueryInterfaceFor(sink, target), kOk);
    return target->SetFileName(file.c_str(), nullptr);
  }

  // Connects to the last pin of a fresh enumeration, as the remux job does.
  static HResult ConnectToMuxer(IPin* pin, IBaseFilter* muxer) {
    return pin->Connect(Pins(muxer).back().Get(), nullptr);
  }

  static int32_t RunToEnd(IGraphBuilder* graph) {
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    EXPECT_EQ(QueryInterfaceFor(graph, control), kOk);
    EXPECT_EQ(QueryInterfaceFor(graph, events), kOk);
    EXPECT_EQ(control->Run(), kOk);
    int32_t code = 0;
    EXPECT_EQ(events->WaitForCompletion(kInfiniteTimeout, &code), kOk);
    return code;
  }

  static HResult Run(IGraphBuilder* graph) {
    ComPtr<IMediaControl> control;
    EXPECT_EQ(QueryInterfaceFor(graph, control), kOk);
    return control->Run();
  }

  static std::unique_ptr<ScratchDirectory> fixtures_;
  std::unique_ptr<ClassFactory> factory_ = CreateEngineClassFactory();
  ScratchDirectory work_;
};

std::unique_ptr<ScratchDirectory> EngineGraphTest::fixtures_;

TEST_F(EngineGraphTest, UnknownClassIsNotRegistered) {
  ComPtr<IBaseFilter> nothing;
  EXPECT_EQ(CreateInstanceOf(*factory_, kIidPin, nothing), kClassNotRegistered);
}

TEST_F(EngineGraphTest, AddFilterAnswersDuplicateNameForANameInUse) {
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> first = Create<IBaseFilter>(kClsidDump);
  ComPtr<IBaseFilter> second = Create<IBaseFilter>(kClsidDump);
  EXPECT_EQ(graph->AddFilter(first.Get(), u"Video 1"), kOk);
  EXPECT_EQ(graph->AddFilter(second.Get(), u"Video 1"), kDuplicateName);
}

TEST_F(EngineGraphTest, SplitterRefusesWhatIsNotMedia) {
  for (const std::u16string& file :
       {Fixture("notes.txt"), Fixture("empty.ts"), WidenText(fixtures_->path().string()), Fixture("missing.ts")}) {
    ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
    EXPECT_NE(Load(splitter.Get(), file), kOk) << NarrowText(file);
    EXPECT_TRUE(Pins(splitter.Get()).empty());
  }
  ComPtr<IBaseFilter> wmv = Create<IBaseFilter>(kClsidWmvSplitter);
  EXPECT_NE(Load(wmv.Get(), Fixture("movie.ts")), kOk);  // ASF only
}

TEST_F(EngineGraphTest, SplitterPinsFollowTheStreamOrder) {
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ASSERT_EQ(Load(splitter.Get(), Fixture("movie.ts")), kOk);
  std::vector<std::u16string> names;
  for (const ComPtr<IPin>& pin : Pins(splitter.Get())) names.push_back(NameOf(pin.Get()));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Video 1", u"Audio 2", u"Audio 3", u"Audio 4", u"Audio 5"}));
  ComPtr<IPin> found;
  EXPECT_EQ(splitter->FindPin(u"Audio 3", found.Put()), kOk);
}

TEST_F(EngineGraphTest, MuxerKeepsOneFreePinAndRefusesWhatItCannotHold) {
  RecordingDiagnostics diagnostics;
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ComPtr<IBaseFilter> muxer = Create<IBaseFilter>(kClsidHaaliMuxer);
  ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
  ASSERT_EQ(graph->AddFilter(muxer.Get(), u"muxer"), kOk);
  ASSERT_EQ(Load(splitter.Get(), Fixture("movie.ts")), kOk);
  ASSERT_EQ(SetFileName(muxer.Get(), Output("movie.mkv")), kOk);
  const std::vector<ComPtr<IPin>> pins = Pins(splitter.Get());

  ASSERT_EQ(Pins(muxer.Get()).size(), 1u);
  EXPECT_EQ(NameOf(Pins(muxer.Get()).back().Get()), u"Input 1");
  EXPECT_EQ(ConnectToMuxer(pins[0].Get(), muxer.Get()), kOk);
  EXPECT_EQ(ConnectToMuxer(pins[1].Get(), muxer.Get()), kOk);
  EXPECT_EQ(ConnectToMuxer(pins[2].Get(), muxer.Get()), kOk);  // Blu-ray LPCM, repacked
  EXPECT_EQ(ConnectToMuxer(pins[3].Get(), muxer.Get()), kOk);
  EXPECT_TRUE(diagnostics.lines().empty());
  EXPECT_NE(ConnectToMuxer(pins[4].Get(), muxer.Get()), kOk);  // SMPTE 302M
  EXPECT_EQ(diagnostics.lines(),
            std::vector<std::string>{"quorvex: Audio 5 (codec s302m) cannot be stored in Matroska; it is left out."});
  std::vector<std::u16string> names;
  for (const ComPtr<IPin>& pin : Pins(muxer.Get())) names.push_back(NameOf(pin.Get()));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Input 1", u"Input 2", u"Input 3", u"Input 4", u"Input 5"}));
  // Neither a connected muxer pin nor a connected splitter pin connects again.
  EXPECT_EQ(pins[4]->Connect(Pins(muxer.Get()).front().Get(), nullptr), kAlreadyConnected);
  EXPECT_EQ(ConnectToMuxer(pins[0].Get(), muxer.Get()), kAlreadyConnected);

  EXPECT_EQ(RunToEnd(graph.Get()), kEcComplete);
  EXPECT_GT(fs::file_size(work_ / "movie.mkv"), 0u);
}

TEST_F(EngineGraphTest, RunFailsWithoutAnythingToMuxOrWhereNoFileCanBeMade) {
  for (const std::string& destination : {std::string("movie.mkv"), std::string("missing/movie.mkv")}) {
    const bool connect = destination != "movie.mkv";
    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
    ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
    ComPtr<IBaseFilter> muxer = Create<IBaseFilter>(kClsidHaaliMuxer);
    ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
    ASSERT_EQ(graph->AddFilter(muxer.Get(), u"muxer"), kOk);
    ASSERT_EQ(Load(splitter.Get(), Fixture("movie.ts")), kOk);
    ASSERT_EQ(SetFileName(muxer.Get(), Output(destination)), kOk);
    if (connect) {
      ASSERT_EQ(ConnectToMuxer(Pins(splitter.Get()).front().Get(), muxer.Get()), kOk);
    }
    EXPECT_NE(Run(graph.Get()), kOk) << destination;
    EXPECT_FALSE(fs::exists(work_ / destination)) << destination;
  }
}

TEST_F(EngineGraphTest, RunRefusesToWriteOverItsSource) {
  const fs::path source = work_ / "movie.ts";
  fs::copy_file((*fixtures_) / "movie.ts", source);
  const auto size = fs::file_size(source);
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ComPtr<IBaseFilter> dump = Create<IBaseFilter>(kClsidDump);
  ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
  ASSERT_EQ(graph->AddFilter(dump.Get(), u"Video 1"), kOk);
  ASSERT_EQ(Load(splitter.Get(), WidenText(source.string())), kOk);
  ASSERT_EQ(SetFileName(dump.Get(), WidenText(source.string())), kOk);
  ComPtr<IPin> input;
  ASSERT_EQ(dump->FindPin(u"Input", input.Put()), kOk);
  ASSERT_EQ(Pins(splitter.Get()).front()->Connect(input.Get(), nullptr), kOk);
  EXPECT_NE(Run(graph.Get()), kOk);
  EXPECT_EQ(fs::file_size(source), size);
}

TEST_F(EngineGraphTest, DemuxGraphWithNothingWantedCompletesAtOnce) {
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
  ASSERT_EQ(Load(splitter.Get(), Fixture("movie.ts")), kOk);
  EXPECT_EQ(RunToEnd(graph.Get()), kEcComplete);
}

TEST_F(EngineGraphTest, WriteFailureEndsTheRunWithAnErrorAndLeavesNoFiles) {
  // Some sandboxes have no /dev/full, or a plain file of that name.
  if (!fs::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full device here";
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
  ASSERT_EQ(Load(splitter.Get(), Fixture("movie.ts")), kOk);
  const std::vector<ComPtr<IPin>> pins = Pins(splitter.Get());
  // One Dump writes to a disk that is full; the other's good file goes too.
  const std::u16string targets[] = {Output("movie.1.mpv"), u"/dev/full"};
  for (size_t i = 0; i < 2; ++i) {
    ComPtr<IBaseFilter> dump = Create<IBaseFilter>(kClsidDump);
    ASSERT_EQ(graph->AddFilter(dump.Get(), NameOf(pins[i].Get()).c_str()), kOk);
    ASSERT_EQ(SetFileName(dump.Get(), targets[i]), kOk);
    ComPtr<IPin> input;
    ASSERT_EQ(dump->FindPin(u"Input", input.Put()), kOk);
    ASSERT_EQ(pins[i]->Connect(input.Get(), nullptr), kOk);
  }
  EXPECT_EQ(RunToEnd(graph.Get()), kEcErrorAbort);
  EXPECT_FALSE(fs::exists(work_ / "movie.1.mpv"));
  EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST_F(EngineGraphTest, InterruptEndsTheRunAsUserAbortAndLeavesNoFile) {
  // The Matroska file goes into a pipe that nobody drains until the
  // interrupt has come, so the run is surely still going when it does.
  const fs::path pipe = work_.path() / "movie.mkv";
  test_support::MakeFifo(pipe.string());
  std::promise<void> interrupted;
  std::thread drain([&, held = interrupted.get_future()]() mutable {
    std::ifstream in(pipe, std::ios::binary);
    held.wait();
    in.ignore(std::numeric_limits<std::streamsize>::max());
  });
  ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(kClsidFilterGraph);
  ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(kClsidHaaliSplitter);
  ComPtr<IBaseFilter> muxer = Create<IBaseFilter>(kClsidHaaliMuxer);
  ASSERT_EQ(graph->AddFilter(splitter.Get(), u"splitter"), kOk);
  ASSERT_EQ(graph->AddFilter(muxer.Get(), u"muxer"), kOk);
  ASSERT_EQ(Load(splitter.Get(), Fixture("long.ts")), kOk);
  ASSERT_EQ(SetFileName(muxer.Get(), WidenText(pipe.string())), kOk);
  ASSERT_EQ(ConnectToMuxer(Pins(splitter.Get()).front().Get(), muxer.Get()), kOk);
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEvent> events;
  ASSERT_EQ(QueryInterfaceFor(graph.Get(), control), kOk);
  ASSERT_EQ(QueryInterfaceFor(graph.Get(), events), kOk);
  const HResult started = control->Run();
  // To the process, as the terminal sends Ctrl+C, not to one thread.
  ::kill(::getpid(), SIGINT);
  interrupted.set_value();
  int32_t code = 0;
  const HResult waited = events->WaitForCompletion(kInfiniteTimeout, &code);
  graph.Reset();
  muxer.Reset();  // closes the pipe, should the muxer still hold it
  drain.join();
  ASSERT_EQ(started, kOk);
  ASSERT_EQ(waited, kOk);
  EXPECT_EQ(code, kEcUserAbort);
  // Nothing was left beside the destination, and the destination, a pipe
  // that is not the run's to delete, is still the pipe it was.
  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::directory_iterator(work_.path())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{"movie.mkv"});
  EXPECT_TRUE(fs::is_fifo(pipe));
}

// The engine over files in memory that fail the ways disks do, driven by
// the remux and demux jobs as the program drives it.
class EngineFaultTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ScratchDirectory scratch;
    RunFfmpeg({"-f",
               "lavfi",
               "-i",
               "testsrc2=duration=12:size=320x240:rate=25",
               "-f",
               "lavfi",
               "-i",
               "sine=duration=12:sample_rate=48000",
               "-c:v",
               "libx264",
               "-preset",
               "ultrafast",
               "-b:v",
               "2M",
               "-g",
               "25",
               "-c:a",
               "ac3",
               "-f",
               "mpegts",
               scratch / "movie.ts"});
    movie_ = std::make_unique<std::string>(test_support::ReadFile(scratch / "movie.ts"));
  }
  static void TearDownTestSuite() { movie_.reset(); }

  EngineFaultTest() {
    files_.AddDirectory("/media");
    files_.AddFile("/media/movie.ts", *movie_);
    files_.AddFile("/media/movie.mkv", kOldFilm);
  }

  bool Remux(const std::string& destination = "/media/movie.mkv") {
    return RemuxToMatroska(*factory_, console_.console(), u"/media/movie.ts", WidenText(destination), false, false);
  }
  std::vector<std::string> Diagnostics() const { return diagnostics_->lines(); }

  static constexpr const char* kOldFilm = "last week's film";
  static std::unique_ptr<std::string> movie_;
  InMemoryMediaFiles files_;
  ManualInterrupts interrupts_;
  std::unique_ptr<ClassFactory> factory_ = CreateEngineClassFactory(EngineServices{files_, interrupts_, nullptr});
  RecordingConsole console_;
  // Made anew for each case of a table, so each case sees only its own lines.
  std::optional<RecordingDiagnostics> diagnostics_{std::in_place};
};

std::unique_ptr<std::string> EngineFaultTest::movie_;

TEST_F(EngineFaultTest, SuccessfulRemuxReplacesTheDestinationAndLeavesNoPartialFile) {
  ASSERT_TRUE(Remux());
  EXPECT_NE(files_.ContentsOf("/media/movie.mkv"), kOldFilm);
  EXPECT_EQ(files_.ContentsOf("/media/movie.mkv").substr(0, 4), "\x1A\x45\xDF\xA3");  // EBML
  EXPECT_EQ(files_.Names(), (std::vector<std::string>{"/media", "/media/movie.mkv", "/media/movie.ts"}));
  EXPECT_EQ(interrupts_.watches(), 0);
}

TEST_F(EngineFaultTest, UnreadableSourceFailsToLoadWithItsReason) {
  files_.FailOpening("/media/movie.ts");
  EXPECT_FALSE(Remux());
  EXPECT_EQ(console_.Lines().back(), "Loading source file failed.");
  EXPECT_EQ(Diagnostics(), (std::vector<std::string>{"quorvex: /media/movie.ts: Input/output error"}));
  EXPECT_EQ(files_.ContentsOf("/media/movie.mkv"), kOldFilm);
}

TEST_F(EngineFaultTest, FailureDuringTheRunIsAnErrorThatKeepsTheOldDestination) {
  struct Case {
    std::string name;
    std::function<void(InMemoryMediaFiles&)> fault;
    std::string reason;
  };
  // Far from both ends, which probing reads.
  const int64_t middle = static_cast<int64_t>(movie_->size() / 2);
  const Case cases[] = {
      {"read error mid-stream", [&](InMemoryMediaFiles& f) { f.FailReadingAt("/media/movie.ts", middle); },
       "quorvex: /media/movie.ts: Input/output error"},
      {"short write", [](InMemoryMediaFiles& f) { f.FailWritesAfter(20000, kFileErrorIo); },
       "quorvex: /media/movie.mkv: Input/output error"},
      {"disk full", [](InMemoryMediaFiles& f) { f.FailWritesAfter(20000, kFileErrorNoSpace); },
       "quorvex: /media/movie.mkv: No space left on device"},
      {"rename refused", [](InMemoryMediaFiles& f) { f.FailReplacing(); }, "quorvex: /media/movie.mkv: rename refused"},
  };
  for (const Case& c : cases) {
    InMemoryMediaFiles files;
    files.AddDirectory("/media");
    files.AddFile("/media/movie.ts", *movie_);
    files.AddFile("/media/movie.mkv", kOldFilm);
    c.fault(files);
    std::unique_ptr<ClassFactory> factory = CreateEngineClassFactory(EngineServices{files, interrupts_, nullptr});
    RecordingConsole console;
    diagnostics_.reset();
    diagnostics_.emplace();
    EXPECT_FALSE(RemuxToMatroska(*factory, console.console(), u"/media/movie.ts", u"/media/movie.mkv", false, false))
        << c.name;
    EXPECT_EQ(console.Lines().back(), "An error ocurred during muxing.") << c.name;
    EXPECT_EQ(Diagnostics(), std::vector<std::string>{c.reason}) << c.name;
    EXPECT_EQ(files.ContentsOf("/media/movie.mkv"), kOldFilm) << c.name;
    EXPECT_EQ(files.Names(), (std::vector<std::string>{"/media", "/media/movie.mkv", "/media/movie.ts"})) << c.name;
  }
}

TEST_F(EngineFaultTest, StopRequestBeforeTheOutputIsInPlaceIsTheUsersAbort) {
  // The muxer goes back to fill in sizes only while it writes its trailer:
  // the very last moment before the verdict.
  files_.OnWriterSeek([&] { interrupts_.Request(); });
  EXPECT_FALSE(Remux());
  EXPECT_EQ(console_.Lines().back(), "User aborted muxing.");
  EXPECT_EQ(files_.ContentsOf("/media/movie.mkv"), kOldFilm);
  EXPECT_EQ(files_.Names(), (std::vector<std::string>{"/media", "/media/movie.mkv", "/media/movie.ts"}));
}

TEST_F(EngineFaultTest, DestinationThatCannotBeWrittenSaysWhy) {
  struct Case {
    std::string destination;
    std::string reason;
  };
  for (const Case& c : {Case{"/media", "quorvex: /media: Is a directory"},
                        Case{"/missing/film.mkv", "quorvex: /missing/film.mkv: No such file or directory"}}) {
    diagnostics_.reset();
    diagnostics_.emplace();
    RecordingConsole console;
    EXPECT_FALSE(
        RemuxToMatroska(*factory_, console.console(), u"/media/movie.ts", WidenText(c.destination), false, false));
    EXPECT_EQ(console.Lines().back(), "Starting muxing failed.") << c.destination;
    EXPECT_EQ(Diagnostics(), std::vector<std::string>{c.reason});
  }
}

TEST_F(EngineFaultTest, DemuxOutputsAreAllOrNothing) {
  files_.AddFile("/media/movie.1.mpv", kOldFilm);
  files_.FailWritesAfter(30000, kFileErrorNoSpace);
  EXPECT_FALSE(DemuxToRawFiles(*factory_, console_.console(), u"/media/movie.ts", u"/media/movie", false, false));
  EXPECT_EQ(console_.Lines().back(), "An error ocurred during muxing.");
  EXPECT_EQ(files_.ContentsOf("/media/movie.1.mpv"), kOldFilm);
  EXPECT_EQ(files_.Names(),
            (std::vector<std::string>{"/media", "/media/movie.1.mpv", "/media/movie.mkv", "/media/movie.ts"}));
}

}  // namespace
}  // namespace quorvex
