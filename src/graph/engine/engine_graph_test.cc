// The engine's objects driven through the graph interface, as the remux and
// demux jobs drive them, on small files made with ffmpeg.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <future>
#include <limits>
#include <thread>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "posix_test_support.h"
#include "graph/com_ptr.h"
#include "graph/engine/engine_class_factory.h"
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
    // Video, AAC, Blu-ray LPCM (which Matroska cannot hold) and AC-3.
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=1:size=96x64:rate=25", "-f", "lavfi", "-i",
               "sine=duration=1:sample_rate=48000", "-map", "0:v", "-map", "1:a", "-map", "1:a", "-map", "1:a", "-c:v", "libx264", "-c:a:0",
               "aac", "-c:a:1", "pcm_bluray", "-c:a:2", "ac3", "-mpegts_m2ts_mode", "1", "-f", "mpegts", (*fixtures_) / "movie.ts"});
    std::ofstream((*fixtures_) / "notes.txt") << "not media at all\n";
    std::ofstream((*fixtures_) / "empty.ts");
    // Far more than a pipe holds, once muxed.
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=20:size=96x64:rate=25", "-c:v", "libx264", "-g", "25",
               "-f", "mpegts", (*fixtures_) / "long.ts"});
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
  static HResult ConnectToMuxer(IPin* pin, IBaseFilter* muxer) { return pin->Connect(Pins(muxer).back().Get(), nullptr); }

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
  for (const std::u16string& file : {Fixture("notes.txt"), Fixture("empty.ts"), WidenText(fixtures_->path().string()),
                                     Fixture("missing.ts")}) {
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
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Video 1", u"Audio 2", u"Audio 3", u"Audio 4"}));
  ComPtr<IPin> found;
  EXPECT_EQ(splitter->FindPin(u"Audio 3", found.Put()), kOk);
}

TEST_F(EngineGraphTest, MuxerKeepsOneFreePinAndRefusesWhatItCannotHold) {
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
  EXPECT_NE(ConnectToMuxer(pins[2].Get(), muxer.Get()), kOk);  // Blu-ray LPCM
  EXPECT_EQ(ConnectToMuxer(pins[3].Get(), muxer.Get()), kOk);
  std::vector<std::u16string> names;
  for (const ComPtr<IPin>& pin : Pins(muxer.Get())) names.push_back(NameOf(pin.Get()));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Input 1", u"Input 2", u"Input 3", u"Input 4"}));
  // Neither a connected muxer pin nor a connected splitter pin connects again.
  EXPECT_EQ(pins[2]->Connect(Pins(muxer.Get()).front().Get(), nullptr), kAlreadyConnected);
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
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
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
  std::raise(SIGINT);
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

}  // namespace
}  // namespace quorvex
