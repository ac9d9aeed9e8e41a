#include "graph/remux_job.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graph/testing/reference_expectations.h"
#include "graph/testing/scripted_class_factory.h"
#include "platform/abnormal_termination.h"
#include "platform/testing/recording_console.h"

namespace quorvex {
namespace {

using doubles::ExpectAllReleasedGraphManagerLast;
using doubles::PinEnumerationScript;
using doubles::PinScript;
using doubles::ScriptedClassFactory;
using doubles::ScriptedFilter;
using doubles::ScriptedGraphManager;
using doubles::ScriptedPin;

// A graph manager, a splitter and a muxer with one free input.
struct RemuxRig {
  explicit RemuxRig(const Guid& splitterClass = kClsidHaaliSplitter)
      : graph(factory.AddGraphManager()),
        splitter(factory.AddFilter(splitterClass, "splitter")),
        muxer(factory.AddFilter(kClsidHaaliMuxer, "muxer")),
        muxerInput(muxer.AddPin(u"Input 1")) {}

  bool Run(const std::u16string& source = u"/in/film.m2ts", bool videoOnly = false, bool audioOnly = false) {
    return RemuxToMatroska(factory, recording.console(), source, u"/out/film.mkv", videoOnly, audioOnly);
  }
  std::vector<std::string> Connections() const {
    std::vector<std::string> connections;
    for (const std::string& call : factory_calls()) {
      if (call.starts_with("Connect ")) connections.push_back(call.substr(8));
    }
    return connections;
  }
  const std::vector<std::string>& factory_calls() const { return factory.ledger().calls(); }

  ScriptedClassFactory factory;
  ScriptedGraphManager& graph;
  ScriptedFilter& splitter;
  ScriptedFilter& muxer;
  ScriptedPin& muxerInput;
  RecordingConsole recording;
};

TEST(RemuxToMatroskaTest, BuildsRunsAndReleasesTheGraph) {
  RemuxRig rig;
  rig.splitter.AddPin(u"Video 1");
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
  EXPECT_EQ(rig.factory.requested(), (std::vector<Guid>{kClsidFilterGraph, kClsidHaaliSplitter, kClsidHaaliMuxer}));
  EXPECT_EQ(rig.factory_calls(), (std::vector<std::string>{
                                     "AddFilter splitter",
                                     "AddFilter muxer",
                                     "Load splitter /in/film.m2ts",
                                     "SetFileName muxer /out/film.mkv",
                                     "EnumPins splitter #1",
                                     "EnumPins muxer #1",
                                     "Connect splitter pin Video 1 -> muxer pin Input 1",
                                     "Run",
                                     "WaitForCompletion -1",
                                 }));
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(RemuxToMatroskaTest, EverySetupFailureWritesItsLine) {
  struct Case {
    const char* what;
    std::u16string source;
    Guid splitterClass;
    std::function<void(RemuxRig&)> script;
    std::string line;
  };
  const Guid haali = kClsidHaaliSplitter;
  const Guid wmv = kClsidWmvSplitter;
  const std::u16string m2ts = u"/in/film.m2ts";
  const std::u16string wmvFile = u"/in/clip.WMV";
  const Case cases[] = {
      {"graph manager not created", m2ts, haali,
       [](RemuxRig& r) { r.factory.AnswerCreation(kClsidFilterGraph, kClassNotRegistered); },
       "Getting IGraphBuilder instance failed."},
      {"graph manager created with a success code", m2ts, haali,
       [](RemuxRig& r) { r.factory.AnswerCreation(kClsidFilterGraph, kFalse); },
       "Getting IGraphBuilder instance failed."},
      {"graph manager without IGraphBuilder", m2ts, haali,
       [](RemuxRig& r) { r.graph.interfaces.Set(kIidGraphBuilder, kNoInterface); },
       "Getting IGraphBuilder instance failed."},
      {"splitter not created", m2ts, haali,
       [](RemuxRig& r) { r.factory.AnswerCreation(kClsidHaaliSplitter, kClassNotRegistered); },
       "Getting Haali Simple Media Splitter instance failed."},
      {"splitter without IBaseFilter", m2ts, haali,
       [](RemuxRig& r) { r.splitter.interfaces.Set(kIidBaseFilter, kNoInterface); },
       "Getting Haali Simple Media Splitter instance failed."},
      {"WMV splitter not created", wmvFile, wmv,
       [](RemuxRig& r) { r.factory.AnswerCreation(kClsidWmvSplitter, kOutOfMemory); },
       "Getting WMV Splitter instance failed."},
      {"muxer not created", m2ts, haali,
       [](RemuxRig& r) { r.factory.AnswerCreation(kClsidHaaliMuxer, kClassNotRegistered); },
       "Getting Haali Matroska Muxer instance failed."},
      {"splitter added under another name", m2ts, haali,
       [](RemuxRig& r) { r.graph.addFilterAnswers[u"splitter"] = kDuplicateName; },
       "Adding Haali Media Splitter failed."},
      {"WMV splitter not added", wmvFile, wmv, [](RemuxRig& r) { r.graph.addFilterAnswers[u"splitter"] = kFail; },
       "Adding WMV Splitter failed."},
      {"muxer not added", m2ts, haali, [](RemuxRig& r) { r.graph.addFilterAnswers[u"muxer"] = kFail; },
       "Adding Haali Matroska Muxer failed."},
      {"source not loaded", m2ts, haali, [](RemuxRig& r) { r.splitter.loadAnswer = kInvalidFileFormat; },
       "Loading source file failed."},
      {"source loaded with a success code", m2ts, haali, [](RemuxRig& r) { r.splitter.loadAnswer = kFalse; },
       "Loading source file failed."},
      {"loading stopped by the user", m2ts, haali, [](RemuxRig& r) { r.splitter.loadAnswer = kAbort; },
       "User aborted muxing."},
      {"destination refused", m2ts, haali, [](RemuxRig& r) { r.muxer.setFileNameAnswer = kCannotCreateFile; },
       "Setting destination file name failed."},
      {"splitter pins not enumerated", m2ts, haali,
       [](RemuxRig& r) { r.splitter.ScriptEnumeration(PinEnumerationScript::Failing(kFail)); },
       "Enumerating Haali Media Splitter pins failed."},
      {"splitter pins enumerated with a success code", m2ts, haali,
       [](RemuxRig& r) { r.splitter.ScriptEnumeration(PinEnumerationScript::Failing(kFalse)); },
       "Enumerating Haali Media Splitter pins failed."},
      {"WMV splitter pins not enumerated", wmvFile, wmv,
       [](RemuxRig& r) { r.splitter.ScriptEnumeration(PinEnumerationScript::Failing(kOutOfMemory)); },
       "Enumerating Haali Media Splitter pins failed."},
      {"muxer pins not enumerated", m2ts, haali,
       [](RemuxRig& r) {
         r.splitter.AddPin(u"Video 1");
         r.muxer.ScriptEnumeration(PinEnumerationScript::Failing(kFail));
       },
       "Enumerating Haali Matroska Muxer pins failed."},
      {"muxer pins of the second stream not enumerated", m2ts, haali,
       [](RemuxRig& r) {
         r.splitter.AddPin(u"Video 1");
         r.splitter.AddPin(u"Audio 1");
         r.muxer.ScriptEnumeration(PinEnumerationScript::Delivering({}));
         r.muxer.ScriptEnumeration(PinEnumerationScript::Failing(kFalse));
       },
       "Enumerating Haali Matroska Muxer pins failed."},
      {"no IMediaControl", m2ts, haali, [](RemuxRig& r) { r.graph.interfaces.Set(kIidMediaControl, kNoInterface); },
       "Getting IMediaControl failed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemuxRig rig(c.splitterClass);
    c.script(rig);
    EXPECT_FALSE(rig.Run(c.source));
    EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{c.line});
    EXPECT_EQ(rig.graph.runs(), 0);
    if (rig.factory.ledger().releases().empty()) {
      EXPECT_EQ(rig.factory.ledger().LiveReferences(), 0);  // nothing was ever handed out
    } else {
      ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
    }
  }
}

TEST(RemuxToMatroskaTest, ConnectsTheWantedPinsInSplitterOrder) {
  struct Case {
    bool videoOnly;
    bool audioOnly;
    std::vector<std::string> connected;
  };
  const Case cases[] = {
      {false, false, {"Video 1", "Audio 1", "Audio 2", "audio/video 3"}},
      {true, false, {"Video 1", "audio/video 3"}},
      {false, true, {"Audio 1", "Audio 2", "audio/video 3"}},
      {true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "videoOnly=" << c.videoOnly << " audioOnly=" << c.audioOnly);
    RemuxRig rig;
    for (const char16_t* name : {u"Video 1", u"Audio 1", u"Subtitle 1", u"Audio 2", u"audio/video 3", u"Other"}) {
      rig.splitter.AddPin(name);
    }
    EXPECT_TRUE(rig.Run(u"/in/film.ts", c.videoOnly, c.audioOnly));
    std::vector<std::string> expected;
    for (const std::string& name : c.connected) expected.push_back("splitter pin " + name + " -> muxer pin Input 1");
    EXPECT_EQ(rig.Connections(), expected);
    EXPECT_EQ(rig.muxer.enumerationsStarted(), static_cast<int>(c.connected.size()));
    EXPECT_EQ(rig.graph.runs(), 1);
    EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
    ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
  }
}

TEST(RemuxToMatroskaTest, NothingWantedStillRunsAndAnswersWhatTheWaitReports) {
  struct Case {
    bool videoOnly;
    bool audioOnly;
    bool splitterHasPins;
    int32_t eventCode;
    bool result;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {true, true, true, kEcComplete, true, {}},
      {true, true, true, kEcErrorAbort, false, {"An error ocurred during muxing."}},
      {false, false, false, kEcComplete, true, {}},
      {false, false, false, kEcUserAbort, false, {"User aborted muxing."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "pins=" << c.splitterHasPins << " event=" << c.eventCode);
    RemuxRig rig;
    if (c.splitterHasPins) {
      rig.splitter.AddPin(u"Video 1");
      rig.splitter.AddPin(u"Audio 1");
    }
    rig.graph.eventCode = c.eventCode;
    EXPECT_EQ(rig.Run(u"/in/film.ts", c.videoOnly, c.audioOnly), c.result);
    EXPECT_EQ(rig.recording.Lines(), c.lines);
    EXPECT_EQ(rig.Connections(), std::vector<std::string>{});
    EXPECT_EQ(rig.muxer.enumerationsStarted(), 0);
    EXPECT_EQ(rig.graph.runs(), 1);
    ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
  }
}

TEST(RemuxToMatroskaTest, EachWantedStreamTakesTheLastPinOfAFreshMuxerEnumeration) {
  RemuxRig rig;
  ScriptedPin& in1 = rig.muxerInput;
  ScriptedPin& in2 = rig.muxer.AddPin(u"Input 2");
  ScriptedPin& in3 = rig.muxer.AddPin(u"Input 3");
  for (const char16_t* name : {u"Video 1", u"Subtitle 1", u"Audio 1", u"Audio 2", u"Audio 3"}) {
    rig.splitter.AddPin(name);
  }
  // What the muxer offers at each moment, as a muxer that grows a free input
  // after each connection would. An enumeration that ends in an error still
  // leaves its last pin chosen; one that delivers nothing connects nothing.
  rig.muxer.ScriptEnumeration(PinEnumerationScript::Delivering({&in1}));
  rig.muxer.ScriptEnumeration(PinEnumerationScript::Delivering({&in1, &in2}, kFail));
  rig.muxer.ScriptEnumeration(PinEnumerationScript::Delivering({}));
  rig.muxer.ScriptEnumeration(PinEnumerationScript::Delivering({&in1, &in2, &in3}));

  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.Connections(), (std::vector<std::string>{
                                   "splitter pin Video 1 -> muxer pin Input 1",
                                   "splitter pin Audio 1 -> muxer pin Input 2",
                                   "splitter pin Audio 3 -> muxer pin Input 3",
                               }));
  EXPECT_EQ(rig.muxer.enumerationsStarted(), 4);
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(RemuxToMatroskaTest, PassesOverUnreadableAndRefusedPinsWithoutALine) {
  RemuxRig rig;
  rig.splitter.AddPin(PinScript{u"Video 1", /*queryPinInfoAnswer=*/kFail, kOk});
  // A success code that is not 0 still hands out the filter reference.
  rig.splitter.AddPin(PinScript{u"Video 2", /*queryPinInfoAnswer=*/kFalse, kOk});
  rig.splitter.AddPin(PinScript{u"Audio 1", kOk, /*connectAnswer=*/kNoAcceptableTypes});
  rig.splitter.AddPin(PinScript{u"Audio 2", kOk, /*connectAnswer=*/kFalse});
  rig.splitter.AddPin(u"Audio 3");
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.Connections(), (std::vector<std::string>{
                                   "splitter pin Audio 1 -> muxer pin Input 1",
                                   "splitter pin Audio 2 -> muxer pin Input 1",
                                   "splitter pin Audio 3 -> muxer pin Input 1",
                               }));
  EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(RemuxToMatroskaTest, AnEnumerationErrorEndsThePinLoopQuietly) {
  RemuxRig rig;
  ScriptedPin& video = rig.splitter.AddPin(u"Video 1");
  ScriptedPin& audio = rig.splitter.AddPin(u"Audio 1");
  rig.splitter.ScriptEnumeration(PinEnumerationScript::Delivering({&video}, kOutOfMemory));
  EXPECT_TRUE(rig.Run());
  EXPECT_EQ(rig.Connections(), std::vector<std::string>{"splitter pin Video 1 -> muxer pin Input 1"});
  EXPECT_TRUE(audio.connectAttempts().empty());
  EXPECT_EQ(rig.graph.runs(), 1);
  ExpectAllReleasedGraphManagerLast(rig.factory.ledger());
}

TEST(RemuxToMatroskaTest, ARefusedFileInterfaceEndsTheRunAfterEveryReferenceIsGivenUp) {
  struct Case {
    const char* what;
    std::function<void(RemuxRig&)> script;
    bool loaded;
  };
  const Case cases[] = {
      {"splitter without IFileSourceFilter",
       [](RemuxRig& r) { r.splitter.interfaces.Set(kIidFileSourceFilter, kNoInterface); }, false},
      {"splitter answering a success code",
       [](RemuxRig& r) { r.splitter.interfaces.Set(kIidFileSourceFilter, kFalse); }, false},
      {"muxer without IFileSinkFilter", [](RemuxRig& r) { r.muxer.interfaces.Set(kIidFileSinkFilter, kNoInterface); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemuxRig rig;
    rig.splitter.AddPin(u"Video 1");
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
    EXPECT_EQ(rig.splitter.loadedFile().has_value(), c.loaded);
    EXPECT_FALSE(rig.muxer.sinkFileName().has_value());
    EXPECT_EQ(rig.recording.Lines(), std::vector<std::string>{});
    EXPECT_EQ(rig.graph.runs(), 0);
  }
}

}  // namespace
}  // namespace quorvex
