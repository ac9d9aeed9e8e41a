// The DirectShow backend on the system's own filter graph manager (Wine's
// quartz when run under Wine), through the graph interface the jobs use.
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graph/com_ptr.h"
#include "graph/directshow/directshow_class_factory.h"
#include "text/conversions.h"
#include "windows_test_support.h"

namespace quorvex {
namespace {

// Filters that ship with the system, standing in for the Haali ones.
constexpr Guid kClsidFileSource{0xE436EBB5, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr Guid kClsidNullRenderer{0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

class DirectShowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }

  std::unique_ptr<ClassFactory> factory_ = CreateDirectShowClassFactory();
};

// A short mono 16-bit PCM WAVE file of silence.
std::string WaveFile() {
  auto le = [](uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
  };
  const uint32_t dataSize = 1600;
  return "RIFF" + le(36 + dataSize, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
         le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(dataSize, 4) + std::string(dataSize, '\0');
}

std::string PinName(IPin* pin) {
  TPinInfo info;
  if (pin->QueryPinInfo(&info) != kOk) return "<no info>";
  ComPtr<IBaseFilter> owner = ComPtr<IBaseFilter>::Adopt(info.pFilter);
  EXPECT_TRUE(owner);
  return NarrowText(FixedWideText(info.achName, kMaxPinName));
}

TEST_F(DirectShowTest, CreatesRegisteredClassesAndReportsMissingOnes) {
  ComPtr<IGraphBuilder> graph;
  EXPECT_EQ(CreateInstanceOf(*factory_, kClsidFilterGraph, graph), kOk);
  EXPECT_TRUE(graph);

  // The Haali filters are not installed here.
  ComPtr<IBaseFilter> splitter;
  EXPECT_EQ(CreateInstanceOf(*factory_, kClsidHaaliSplitter, splitter), kClassNotRegistered);
  EXPECT_FALSE(splitter);
  ComPtr<IBaseFilter> muxer;
  EXPECT_NE(CreateInstanceOf(*factory_, kClsidHaaliMuxer, muxer), kOk);
  EXPECT_FALSE(muxer);

  // An interface the object lacks is refused, as the jobs' abnormal path expects.
  ComPtr<IFileSinkFilter> sink;
  EXPECT_EQ(QueryInterfaceFor(graph.Get(), sink), kNoInterface);
  EXPECT_FALSE(sink);
}

// The first pin a filter's enumeration delivers.
ComPtr<IPin> FirstPin(IBaseFilter* filter) {
  ComPtr<IEnumPins> pins;
  ComPtr<IPin> pin;
  if (filter->EnumPins(pins.Put()) == kOk) pins->Next(1, pin.Put(), nullptr);
  return pin;
}

constexpr HResult kTimedOut = static_cast<HResult>(0x80004004u);  // E_ABORT

TEST_F(DirectShowTest, BuildsConnectsAndRunsAGenuineGraph) {
  testing::ScratchFolder scratch;
  testing::WriteFileBytes(scratch / "tone.wav", WaveFile());

  ComPtr<IGraphBuilder> graph;
  ComPtr<IBaseFilter> source;
  ComPtr<IBaseFilter> renderer;
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidFilterGraph, graph), kOk);
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidFileSource, source), kOk);
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidNullRenderer, renderer), kOk);
  EXPECT_EQ(graph->AddFilter(source.Get(), u"source"), kOk);
  EXPECT_EQ(graph->AddFilter(renderer.Get(), u"renderer"), kOk);

  ComPtr<IFileSourceFilter> load;
  ASSERT_EQ(QueryInterfaceFor(source.Get(), load), kOk);
  EXPECT_EQ(load->Load(WidenText(scratch / "tone.wav").c_str(), nullptr), kOk);

  // The source has exactly one pin; the enumeration then answers non-zero.
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(source->EnumPins(pins.Put()), kOk);
  ComPtr<IPin> output;
  uint32_t fetched = 0;
  ASSERT_EQ(pins->Next(1, output.Put(), &fetched), kOk);
  EXPECT_EQ(fetched, 1u);
  ComPtr<IPin> none;
  EXPECT_NE(pins->Next(1, none.Put(), &fetched), kOk);
  EXPECT_EQ(fetched, 0u);
  EXPECT_FALSE(none);

  TPinInfo info;
  ASSERT_EQ(output->QueryPinInfo(&info), kOk);
  ComPtr<IBaseFilter> owner = ComPtr<IBaseFilter>::Adopt(info.pFilter);
  EXPECT_TRUE(owner);
  EXPECT_EQ(info.dir, kPinOutput);
  EXPECT_EQ(NarrowText(FixedWideText(info.achName, kMaxPinName)), "Output");

  ComPtr<IPin> input = FirstPin(renderer.Get());
  ASSERT_TRUE(input);
  EXPECT_EQ(PinName(input.Get()), "In");
  EXPECT_EQ(output->Connect(input.Get(), nullptr), kOk);
  EXPECT_NE(output->Connect(input.Get(), nullptr), kOk);  // already connected

  // Nothing here ever ends the stream: the graph's own answers come through
  // unchanged, the transitional start and the timed-out wait alike.
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEvent> events;
  ASSERT_EQ(QueryInterfaceFor(graph.Get(), control), kOk);
  ASSERT_EQ(QueryInterfaceFor(graph.Get(), events), kOk);
  EXPECT_GE(control->Run(), kOk);
  int32_t eventCode = -1;
  EXPECT_EQ(events->WaitForCompletion(100, &eventCode), kTimedOut);
  EXPECT_EQ(eventCode, 0);
}

// An object that did not come from this backend.
class ForeignPin : public IPin {
 public:
  HResult QueryInterface(const Guid&, void**) override { return kNoInterface; }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  HResult Connect(IPin*, const TAmMediaType*) override { return kOk; }
  HResult QueryPinInfo(TPinInfo*) override { return kFail; }
};

class ForeignFilter : public IBaseFilter {
 public:
  HResult QueryInterface(const Guid&, void**) override { return kNoInterface; }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  HResult EnumPins(IEnumPins**) override { return kFail; }
  HResult FindPin(const char16_t*, IPin**) override { return kFail; }
};

TEST_F(DirectShowTest, ObjectsOfAnotherBackendAreRefused) {
  ComPtr<IGraphBuilder> graph;
  ComPtr<IBaseFilter> renderer;
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidFilterGraph, graph), kOk);
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidNullRenderer, renderer), kOk);
  ForeignFilter filter;
  EXPECT_EQ(graph->AddFilter(&filter, u"foreign"), kInvalidArgument);
  ComPtr<IPin> input = FirstPin(renderer.Get());
  ASSERT_TRUE(input);
  ForeignPin pin;
  EXPECT_EQ(input->Connect(&pin, nullptr), kInvalidArgument);
}

TEST_F(DirectShowTest, FindPinAndLoadFailuresComeBackAsResults) {
  ComPtr<IBaseFilter> source;
  ASSERT_EQ(CreateInstanceOf(*factory_, kClsidFileSource, source), kOk);
  ComPtr<IPin> pin;
  EXPECT_NE(source->FindPin(u"Input", pin.Put()), kOk);
  EXPECT_FALSE(pin);
  ComPtr<IFileSourceFilter> load;
  ASSERT_EQ(QueryInterfaceFor(source.Get(), load), kOk);
  EXPECT_NE(load->Load(u"C:\\no such folder\\film.m2ts", nullptr), kOk);
}

}  // namespace
}  // namespace quorvex
