#include "graph/demux_job.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graph/testing/reference_expectations.h"
#include "graph/testing/scripted_class_factory.h"
#include "platform/abnormal_termination.h"
#include "platform/testing/recording_console.h"
#include "text/conversions.h"

namespace quorvex {
namespace {

using doubles::ExpectAllReleasedGraphManagerLast;
using doubles::PinEnumerationScript;
using doubles::PinScript;
using doubles::ScriptedClassFactory;
using doubles::ScriptedFilter;
using doubles::ScriptedGraphManager;
using doubles::ScriptedPin;

// A graph manager, a splitter and as many Dump filters as a test asks for,
// each created in turn and each with its "Input" pin.
struct DemuxRig {
  explicit DemuxRig(const Guid& splitterClass = kClsidHaaliSplitter)
      : graph(factory.AddGraphManager()), splitter(factory.AddFilter(splitterClass, "splitter")) {
    for (int i = 1; i <= 4; ++i) {
      dumps.push_back(&factory.AddFilter(kClsidDump, "Dump " + std::to_string(i)));
      dumps.back()->AddPin(u"Input");
    }
  }

  bool Run(const std::u16string& source = u"/in/film.m2ts", bool videoOnly = false, bool audioOnly = false) {
    return DemuxToRawFiles(factory, recording.console(), source, u"/out/film.mkv", videoOnly, audioOnly);
  }
  std::vector<std::string> CallsStartingWith(std::string_view prefix) const {
    std::vector<std::string> calls;
    for (const std::string& call : factory.ledger().calls()) {
      if (call.starts_with(prefix)) calls.push_back(call);
    }
    return calls;
  }
  int DumpsCreated() const {
    int created = 0;
    for (const Guid& clsid : factory.requested()) created += clsid == kClsidDump ? 1 : 0;
    return created;
  }

  ScriptedClassFactory factory;
  ScriptedGraphManager& graph;
  ScriptedFilter& splitter;
  std::vector<ScriptedFilter*> dumps;
  RecordingConsole recording;
};

TEST(DemuxToRawFilesTest, WritesEachWantedStreamThroughItsOwnDump) {
  DemuxRig rig;
  for (const char16_t* name : {u"Video 1", u"Subtitle 1", u"Audio 2", u"Audio 3"}) rig.splitter.AddPin(name);
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
  EXPECT_EQ(rig.factory.ledger().calls(), (std::vector<std::string>{
                                              "AddFilter splitter",
                                              "Load splitter /in/film.m2ts",
                                              "EnumPins splitter #1",
                                              "AddFilter Video 1",
                                              "SetFileName Dump 1 /out/film.1.mpv",
                                              "FindPin Dump 1 Input",
                                              "Connect splitter pin Video 1 -> Dump 1 pin Input",
                                              "AddFilter Audio 2",
                                              "SetFileName Dump 2 /out/film.2.mpa",
                                              "FindPin Dump 2 Input",
                                              "Connect splitter pin Audio 2 -> Dump 2 pin Input",
                                              "AddFilter Audio 3",
                                              "SetFileName Dump 3 /out/film.3.mpa",
                                              "FindPin Dump 3 Input",
                                              "Connect splitter pin Audio 3 -> Dump 3 pin Input",
                                              "Run",
                                              "WaitForCompletion -1",
                                          }));
  EXPECT_EQ(rig.factory.requested(),
            (std::vector<Guid>{kClsidFilterGraph, kClsidHaaliSplitter, kClsidDump, kClsidDump, kClsidDump}));
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(DemuxToRawFilesTest, EverySetupAndPinFailureWritesItsLine) {
  struct Case {
    const char* what;
    std::u16string source;
    Guid splitterClass;
    std::function<void(DemuxRig&)> script;
    std::string line;
  };
  const Guid haali = kClsidHaaliSplitter;
  const Guid wmv = kClsidWmvSplitter;
  const std::u16string m2ts = u"/in/film.m2ts";
  const std::u16string wmvFile = u"/in/clip.wmV";
  const auto withVideoPin = [](DemuxRig& r) -> ScriptedPin& { return r.splitter.AddPin(u"Video 1"); };
  const Case cases[] = {
      {"graph manager not created", m2ts, haali,
       [](DemuxRig& r) { r.factory.AnswerCreation(kClsidFilterGraph, kClassNotRegistered); },
       "Getting IGraphBuilder instance failed."},
      {"graph manager created with a success code", m2ts, haali,
       [](DemuxRig& r) { r.factory.AnswerCreation(kClsidFilterGraph, kFalse); },
       "Getting IGraphBuilder instance failed."},
      {"splitter not created", m2ts, haali,
       [](DemuxRig& r) { r.factory.AnswerCreation(kClsidHaaliSplitter, kClassNotRegistered); },
       "Getting Haali Simple Media Splitter instance failed."},
      {"WMV splitter not created", wmvFile, wmv,
       [](DemuxRig& r) { r.factory.AnswerCreation(kClsidWmvSplitter, kClassNotRegistered); },
       "Getting WMV Splitter instance failed."},
      {"splitter not added", m2ts, haali, [](DemuxRig& r) { r.graph.addFilterAnswers[u"splitter"] = kDuplicateName; },
       "Adding Haali Media Splitter failed."},
      {"WMV splitter not added", wmvFile, wmv, [](DemuxRig& r) { r.graph.addFilterAnswers[u"splitter"] = kFail; },
       "Adding WMV Splitter failed."},
      {"source not loaded", m2ts, haali, [](DemuxRig& r) { r.splitter.loadAnswer = kFileNotFound; },
       "Loading source file failed."},
      {"loading stopped by the user", m2ts, haali, [](DemuxRig& r) { r.splitter.loadAnswer = kAbort; },
       "User aborted muxing."},
      {"splitter pins not enumerated", m2ts, haali,
       [](DemuxRig& r) { r.splitter.ScriptEnumeration(PinEnumerationScript::Failing(kFail)); },
       "Enumerating Haali Media Splitter pins failed."},
      {"WMV splitter pins enumerated with a success code", wmvFile, wmv,
       [](DemuxRig& r) { r.splitter.ScriptEnumeration(PinEnumerationScript::Failing(kFalse)); },
       "Enumerating Haali Media Splitter pins failed."},
      {"Dump not created", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.factory.AnswerCreation(kClsidDump, kClassNotRegistered);
       },
       "Getting \"Video 1\" Dump instance failed."},
      {"Dump without IBaseFilter", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.dumps[0]->interfaces.Set(kIidBaseFilter, kNoInterface);
       },
       "Getting \"Video 1\" Dump instance failed."},
      {"Dump not added", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.graph.addFilterAnswers[u"Video 1"] = kFail;
       },
       "Adding \"Video 1\" Dump failed."},
      {"Dump file name refused", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.dumps[0]->setFileNameAnswer = kCannotCreateFile;
       },
       "Setting \"Video 1\" destination file name failed."},
      {"no input pin", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.dumps[0]->findPinAnswer = kNotFound;
       },
       "Getting \"Video 1\" input pin failed."},
      {"input pin found with a success code", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.dumps[0]->findPinAnswer = kFalse;
       },
       "Getting \"Video 1\" input pin failed."},
      {"connection refused", m2ts, haali,
       [&](DemuxRig& r) { withVideoPin(r).script.connectAnswer = kNoAcceptableTypes; },
       "Connecting \"Video 1\" pin failed."},
      {"connected with a success code", m2ts, haali,
       [&](DemuxRig& r) { withVideoPin(r).script.connectAnswer = kFalse; }, "Connecting \"Video 1\" pin failed."},
      {"a later pin fails after an earlier one connected", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.splitter.AddPin(u"Audio 2").script.connectAnswer = kAlreadyConnected;
         r.splitter.AddPin(u"Audio 3");
       },
       "Connecting \"Audio 2\" pin failed."},
      {"graph not started", m2ts, haali,
       [&](DemuxRig& r) {
         withVideoPin(r);
         r.graph.runAnswer = kFail;
       },
       "Starting muxing failed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DemuxRig rig(c.splitterClass);
    c.script(rig);
    EXPECT_FALSE(rig.Run(c.source));
    EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{c.line});
    EXPECT_EQ(rig.CallsStartingWith("WaitForCompletion"), std::vector<std::string>{});
    EXPECT_EQ(rig.CallsStartingWith("Connect splitter pin Audio 3"), std::vector<std::string>{});
    if (rig.factory.ledger().releases().empty()) {
      EXPECT_EQ(rig.factory.ledger().LiveReferences(), 0);  // nothing was ever handed out
    } else {
      ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
    }
  }
}

TEST(DemuxToRawFilesTest, MakesADumpForEachWantedPinInSplitterOrder) {
  struct Case {
    bool videoOnly;
    bool audioOnly;
    std::vector<std::string> dumped;
  };
  const Case cases[] = {
      {false, false, {"AddFilter Video 1", "AddFilter Audio 1", "AddFilter Audio/Video"}},
      {true, false, {"AddFilter Video 1", "AddFilter Audio/Video"}},
      {false, true, {"AddFilter Audio 1", "AddFilter Audio/Video"}},
      {true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "videoOnly=" << c.videoOnly << " audioOnly=" << c.audioOnly);
    DemuxRig rig;
    for (const char16_t* name : {u"Video 1", u"Subtitle 1", u"Audio 1", u"Audio/Video", u"Data"}) {
      rig.splitter.AddPin(name);
    }
    EXPECT_TRUE(rig.Run(u"/in/film.ts", c.videoOnly, c.audioOnly));
    std::vector<std::string> expected{"AddFilter splitter"};
    expected.insert(expected.end(), c.dumped.begin(), c.dumped.end());
    EXPECT_EQ(rig.CallsStartingWith("AddFilter"), expected);
    EXPECT_EQ(rig.DumpsCreated(), static_cast<int>(c.dumped.size()));
    EXPECT_EQ(rig.graph.runs(), 1);
    ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
  }
  // A pin wanted through "Audio" whose name also holds "Video" is written as video.
  DemuxRig rig;
  rig.splitter.AddPin(u"Audio/Video");
  EXPECT_TRUE(rig.Run(u"/in/film.ts", false, true));
  EXPECT_EQ(rig.dumps[0]->sinkFileName(), u"/out/film.Video.mpv");
}

TEST(DemuxToRawFilesTest, NothingWantedStillRunsAndAnswersWhatTheWaitReports) {
  struct Case {
    int32_t eventCode;
    bool result;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {kEcComplete, true, {}},
      {0, false, {"Unknown muxing error."}},
      {kEcUserAbort, false, {"User aborted muxing."}},
      {kEcErrorAbort, false, {"An error ocurred during muxing."}},
      {42, false, {"Unknown muxing error."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.eventCode);
    DemuxRig rig;
    rig.splitter.AddPin(u"Video 1");
    rig.splitter.AddPin(u"Audio 1");
    rig.graph.eventCode = c.eventCode;
    EXPECT_EQ(rig.Run(u"/in/film.ts", true, true), c.result);
    EXPECT_EQ(rig.recording.Lines(), c.lines);
    EXPECT_EQ(rig.DumpsCreated(), 0);
    EXPECT_EQ(rig.graph.runs(), 1);
    ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
  }
}

TEST(DemuxToRawFilesTest, PassesOverUnreadablePinsAndEndsQuietlyOnAnEnumerationError) {
  DemuxRig rig;
  ScriptedPin& unreadable = rig.splitter.AddPin(PinScript{u"Video 1", /*queryPinInfoAnswer=*/kFail, kOk});
  // A success code that is not 0 still hands out the filter reference.
  ScriptedPin& odd = rig.splitter.AddPin(PinScript{u"Video 2", /*queryPinInfoAnswer=*/kFalse, kOk});
  ScriptedPin& audio = rig.splitter.AddPin(u"Audio 3");
  ScriptedPin& never = rig.splitter.AddPin(u"Audio 4");
  rig.splitter.ScriptEnumeration(PinEnumerationScript::Delivering({&unreadable, &odd, &audio}, kOutOfMemory));
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
  EXPECT_EQ(rig.CallsStartingWith("Connect"),
            std::vector<std::string>{"Connect splitter pin Audio 3 -> Dump 1 pin Input"});
  EXPECT_TRUE(never.connectAttempts().empty());
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(DemuxToRawFilesTest, ARepeatedPinNameEndsTheJobWithThatPinsAddingLine) {
  DemuxRig rig;
  rig.splitter.AddPin(u"Audio 1");
  rig.splitter.AddPin(u"Audio 1");
  EXPECT_FALSE(rig.Run());
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{"Adding \"Audio 1\" Dump failed."});
  EXPECT_EQ(rig.CallsStartingWith("AddFilter"),
            (std::vector<std::string>{"AddFilter splitter", "AddFilter Audio 1", "AddFilter Audio 1"}));
  EXPECT_EQ(rig.graph.runs(), 0);
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(DemuxToRawFilesTest, AFullLengthPinNameIsAddedWhole) {
  DemuxRig rig;
  const std::u16string name = u"Video " + std::u16string(kMaxPinName - 6, u'v');
  rig.splitter.AddPin(name + u"cut off");  // the record holds 128 units without a NUL
  EXPECT_TRUE(rig.Run());
  ASSERT_EQ(rig.graph.added().size(), 2u);
  EXPECT_EQ(rig.graph.added()[1].name, name);
  EXPECT_EQ(rig.dumps[0]->sinkFileName(), u"/out/film." + std::u16string(kMaxPinName - 6, u'v') + u".mpv");
}

TEST(DemuxToRawFilesTest, ARefusedFileInterfaceEndsTheRunAfterEveryReferenceIsGivenUp) {
  struct Case {
    const char* what;
    std::function<void(DemuxRig&)> script;
    int dumpsCreated;
  };
  const Case cases[] = {
      {"splitter without IFileSourceFilter",
       [](DemuxRig& r) { r.splitter.interfaces.Set(kIidFileSourceFilter, kNoInterface); }, 0},
      {"first Dump without IFileSinkFilter",
       [](DemuxRig& r) { r.dumps[0]->interfaces.Set(kIidFileSinkFilter, kNoInterface); }, 1},
      // The first Dump is connected and held in the graph's list when the second refuses.
      {"second Dump answering a success code",
       [](DemuxRig& r) { r.dumps[1]->interfaces.Set(kIidFileSinkFilter, kFalse); }, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DemuxRig rig;
    rig.splitter.AddPin(u"Video 1");
    rig.splitter.AddPin(u"Audio 2");
    c.script(rig);
    bool terminated = false;
    try {
      rig.Run();
    } catch (const AbnormalTermination&) {
      terminated = true;
      // Counted at the moment the exception arrives, before anything else runs.
      ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
    }
    EXPECT_TRUE(terminated);
    EXPECT_EQ(rig.DumpsCreated(), c.dumpsCreated);
    EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
    EXPECT_EQ(rig.graph.runs(), 0);
  }
}

TPinInfo InfoNamed(std::u16string_view name) {
  TPinInfo info;
  for (size_t i = 0; i < name.size() && i < kMaxPinName; ++i) info.achName[i] = name[i];
  return info;
}

TEST(DumpFileNameForTest, PosixNames) {
  struct Case {
    std::u16string destFile;
    std::u16string pinName;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"/out/film.mkv", u"Video 1", u"/out/film.1.mpv"},
      {u"/out/film.mkv", u"Audio 2", u"/out/film.2.mpa"},
      // Six units or fewer leave nothing between the dots.
      {u"/out/film.mkv", u"Video", u"/out/film..mpv"},
      {u"/out/film.mkv", u"Audio ", u"/out/film..mpa"},
      {u"/out/film.mkv", u"V", u"/out/film..mpa"},
      {u"/out/film.mkv", u"", u"/out/film..mpa"},
      // The kind follows the name alone, whatever made the pin wanted.
      {u"/out/film.mkv", u"Audio Video", u"/out/film.Video.mpv"},
      {u"/out/film.mkv", u"Subtitle 3", u"/out/film.le 3.mpa"},
      {u"/out/film.mkv", u"stream video #2", u"/out/film. video #2.mpv"},
      // No extension: appended; a dot in a directory is no extension.
      {u"/out/film", u"Video 1", u"/out/film.1.mpv"},
      {u"/out.d/film", u"Audio 2", u"/out.d/film.2.mpa"},
      {u"film.mkv", u"Video 1", u"film.1.mpv"},
      {u"f", u"Audio 12", u"f.12.mpa"},
      {u"", u"Video 1", u".1.mpv"},
      // Two pins that agree from the seventh unit on share their file.
      {u"/out/film.mkv", u"Audio 2", u"/out/film.2.mpa"},
      {u"/out/film.mkv", u"AUDIO 2", u"/out/film.2.mpa"},
      {u"/out/film.mkv", u"Audio \u00e9", u"/out/film.\u00e9.mpa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NarrowText(c.destFile) + " + " + NarrowText(c.pinName));
    EXPECT_EQ(DumpFileNameFor(c.destFile, InfoNamed(c.pinName), PosixFileNameRules()), c.expected);
  }
}

TEST(DumpFileNameForTest, WindowsNames) {
  const FileNameRules& windows = WindowsFileNameRules();
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Video 1"), windows), u"C:\\out\\film.1.mpv");
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Audio 2"), windows), u"C:\\out\\film.2.mpa");
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Video"), windows), u"C:\\out\\film..mpv");
  EXPECT_EQ(DumpFileNameFor(u"C:\\films.hd\\film", InfoNamed(u"Video 1"), windows), u"C:\\films.hd\\film.1.mpv");
}

TEST(DumpFileNameForTest, FullLengthNameIsReadWithoutNul) {
  const std::u16string name = u"Video " + std::u16string(kMaxPinName - 6, u'x');
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(name), PosixFileNameRules()),
            u"/out/film." + std::u16string(kMaxPinName - 6, u'x') + u".mpv");
}

TEST(DumpFileNameForTest, HalfCharactersDoNotEmptyTheExtension) {
  // The seventh unit is the second half of a character that starts at the sixth.
  const std::u16string cut = std::u16string(u"Video") + u"\U0001F600" + u"1";
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(cut), PosixFileNameRules()), u"/out/film.?1.mpv");
  const std::u16string lone{u'A', u'u', u'd', u'i', u'o', u' ', 0xD800, u'2'};
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(lone), PosixFileNameRules()), u"/out/film.?2.mpa");
}

}  // namespace
}  // namespace quorvex
