#include "graph/graph_steps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graph/testing/scripted_class_factory.h"
#include "platform/testing/recording_console.h"

namespace quorvex {
namespace {

TEST(SplitterChoiceTest, WmvInAnyLetterCaseChoosesTheWmvSplitter) {
  struct Case {
    std::u16string source;
    bool wmv;
  };
  const Case cases[] = {
      {u"film.wmv", true},   {u"FILM.WMV", true},      {u"film.wMv", true},   {u"/in/dir/clip.Wmv", true},
      {u".wmv", true},       {u"film.wmv.mkv", false}, {u"film.wmva", false}, {u"film.wm", false},
      {u"filmwmv", false},   {u"film", false},         {u"", false},          {u"/in/x.wmv/film", false},
      {u"film.m2ts", false}, {u"film.avi", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source.begin(), c.source.end()));
    const Guid clsid = SplitterClsidFor(c.source);
    EXPECT_EQ(clsid, c.wmv ? kClsidWmvSplitter : kClsidHaaliSplitter);
    const SplitterLines lines = SplitterLinesFor(clsid);
    EXPECT_EQ(lines.creating,
              c.wmv ? "Getting WMV Splitter instance failed." : "Getting Haali Simple Media Splitter instance failed.");
    EXPECT_EQ(lines.adding, c.wmv ? "Adding WMV Splitter failed." : "Adding Haali Media Splitter failed.");
  }
}

using doubles::ScriptedClassFactory;
using doubles::ScriptedGraphManager;

struct Outcome {
  bool result;
  std::vector<std::string> lines;
  int runs;
};

Outcome RunScripted(const std::function<void(ScriptedGraphManager&)>& script, ScriptedClassFactory& factory) {
  ScriptedGraphManager& graph = factory.AddGraphManager();
  script(graph);
  RecordingConsole recording;
  const bool result = RunGraphToCompletion(graph, recording.console());
  return {result, recording.Lines(), graph.runs()};
}

TEST(RunGraphToCompletionTest, JudgesTheEventCode) {
  struct Case {
    int32_t eventCode;
    bool result;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {0, false, {"Unknown muxing error."}},           {kEcComplete, true, {}},
      {kEcUserAbort, false, {"User aborted muxing."}}, {kEcErrorAbort, false, {"An error ocurred during muxing."}},
      {0x13, false, {"Unknown muxing error."}},        {-1, false, {"Unknown muxing error."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.eventCode);
    ScriptedClassFactory factory;
    const Outcome outcome = RunScripted([&](ScriptedGraphManager& graph) { graph.eventCode = c.eventCode; }, factory);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.lines, c.lines);
    EXPECT_EQ(factory.ledger().calls(), (std::vector<std::string>{"Run", "WaitForCompletion -1"}));
    EXPECT_EQ(factory.ledger().LiveReferences(), 0);
  }
}

TEST(RunGraphToCompletionTest, EveryNonZeroAnswerFails) {
  struct Case {
    const char* what;
    std::function<void(ScriptedGraphManager&)> script;
    std::string line;
    int runs;
  };
  const Case cases[] = {
      {"no IMediaControl", [](ScriptedGraphManager& g) { g.interfaces.Set(kIidMediaControl, kNoInterface); },
       "Getting IMediaControl failed.", 0},
      {"IMediaControl with a success code", [](ScriptedGraphManager& g) { g.interfaces.Set(kIidMediaControl, kFalse); },
       "Getting IMediaControl failed.", 0},
      {"no IMediaEvent", [](ScriptedGraphManager& g) { g.interfaces.Set(kIidMediaEvent, kNoInterface); },
       "Getting IMediaEvent failed.", 0},
      {"IMediaEvent with a success code", [](ScriptedGraphManager& g) { g.interfaces.Set(kIidMediaEvent, kFalse); },
       "Getting IMediaEvent failed.", 0},
      {"Run fails", [](ScriptedGraphManager& g) { g.runAnswer = kFail; }, "Starting muxing failed.", 1},
      {"Run answers a success code", [](ScriptedGraphManager& g) { g.runAnswer = kFalse; }, "Starting muxing failed.",
       1},
      {"wait fails", [](ScriptedGraphManager& g) { g.waitAnswer = kWrongState; },
       "Waiting for muxing completion failed.", 1},
      {"wait answers a success code", [](ScriptedGraphManager& g) { g.waitAnswer = kFalse; },
       "Waiting for muxing completion failed.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedClassFactory factory;
    const Outcome outcome = RunScripted(c.script, factory);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{c.line});
    EXPECT_EQ(outcome.runs, c.runs);
    EXPECT_EQ(factory.ledger().LiveReferences(), 0);
    EXPECT_EQ(factory.ledger().overReleases(), 0);
  }
}

}  // namespace
}  // namespace quorvex
