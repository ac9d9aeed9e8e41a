// The re-time job of quorvex.exe: mkvmerge found through the genuine
// registry, run with its exact command line, its outcome judged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows_test_support.h"

namespace quorvex::testing {
namespace {

const std::string kGuiKey = "HKCU\\Software\\mkvmergeGUI\\GUI";
const std::string kUninstallKey = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MKVtoolnix";

const std::string kPleaseWait = "Adding timecodes to MKV file by using \"mkvmerge\". Please wait...";
const std::string kTrailer = "MKV file was successfully created, but the timecodes are (probably) not set.";
const std::string kNotFound = "Failed to locate \"mkvmerge.exe\". Is mkvtoolnix installed?";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The stand-in's own line, where the console passes it through to us.
std::string WithoutStandIn(std::string output) {
  const std::string line = "mkvmerge stand-in: re-timing\r\n";
  for (size_t at; (at = output.find(line)) != std::string::npos;) output.erase(at, line.size());
  return output;
}

// A scratch folder holding film.mkv and three install folders A, B and C
// with mkvmerge.exe stand-ins, and no MKVToolNix registration at first.
class RetimeProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistration();
    WriteFileBytes(scratch_ / "film.mkv", "remuxed matroska");
    for (const char* name : {"A", "B", "C", "empty"}) MakeFolder(scratch_ / name);
    for (const char* name : {"A", "B", "C"}) {
      CopyFileTo(TestProgramFolder() + "fake_mkvmerge.exe", Folder(name) + "mkvmerge.exe");
    }
  }
  void TearDown() override { ClearRegistration(); }
  static void ClearRegistration() {
    DeleteRegistryKey("HKCU\\Software\\mkvmergeGUI");
    DeleteRegistryKey(kUninstallKey);
  }

  std::string Folder(const std::string& name) const { return scratch_ / (name + "\\"); }
  std::vector<std::string> Calls(const std::string& folder) const {
    std::vector<std::string> calls;
    if (!FileExists(Folder(folder) + "calls.log")) return calls;
    const std::string log = ReadFileBytes(Folder(folder) + "calls.log");
    for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
      calls.push_back(log.substr(start, end - start));
    }
    return calls;
  }
  void Configure(const std::string& folder, const std::string& settings) {
    WriteFileBytes(Folder(folder) + "fake_mkvmerge.ini", settings);
  }
  ProcessResult Run(const std::string& tail) {
    return RunCommandLine("\"" + FullPathOf(TestProgramFolder() + "..\\..\\quorvex.exe") + "\"" + tail,
                          scratch_.path());
  }

  ScratchFolder scratch_;
};

TEST_F(RetimeProgramTest, WithoutRegistrationNothingIsWrittenOrRun) {
  const ProcessResult result = Run(" film.mkv -25p");
  EXPECT_EQ(result.standardOutput, Lines({kNotFound, kTrailer}));
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_FALSE(FileExists(scratch_ / "film.new.24p.txt"));
  EXPECT_FALSE(FileExists(scratch_ / "film.new.mkv"));
  EXPECT_EQ(ReadFileBytes(scratch_ / "film.mkv"), "remuxed matroska");
}

TEST_F(RetimeProgramTest, ARegistrationThatLeadsNowhereIsNotFound) {
  AddRegistryString(kGuiKey, "installation_path", Folder("empty"));
  // Quoted values keep their quotes, so they name no existing file.
  AddRegistryString(kUninstallKey, "UninstallString", "\"" + Folder("B") + "unins000.exe\"");
  AddRegistryString(kUninstallKey, "DisplayIcon", "mkvtoolnix-gui.exe");
  const ProcessResult result = Run(" film.mkv -25p");
  EXPECT_EQ(result.standardOutput, Lines({kNotFound, kTrailer}));
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_TRUE(Calls("B").empty());
}

TEST_F(RetimeProgramTest, EachRegistrySourceWinsInTurn) {
  struct Source {
    const char* key;
    const char* value;
    std::string data;
  };
  struct Case {
    std::vector<Source> sources;
    const char* winner;
  };
  const std::vector<Case> cases = {
      // The GUI's folder comes first, with or without its trailing backslash.
      {{{"gui", "installation_path", scratch_ / "A"},
        {"uninstall", "UninstallString", Folder("B") + "unins000.exe"},
        {"uninstall", "DisplayIcon", Folder("C") + "mkvtoolnix-gui.exe,0"}},
       "A"},
      {{{"gui", "installation_path", Folder("A")}}, "A"},
      // A folder without mkvmerge.exe gives way to the uninstaller's folder.
      {{{"gui", "installation_path", Folder("empty")},
        {"uninstall", "UninstallString", Folder("B") + "unins000.exe"},
        {"uninstall", "DisplayIcon", Folder("C") + "mkvtoolnix-gui.exe,0"}},
       "B"},
      // The icon's folder, its icon index notwithstanding, comes last.
      {{{"uninstall", "UninstallString", "\"" + Folder("B") + "unins000.exe\""},
        {"uninstall", "DisplayIcon", Folder("C") + "mkvtoolnix-gui.exe,0"}},
       "C"},
  };
  for (const Case& c : cases) {
    ClearRegistration();
    for (const char* folder : {"A", "B", "C"}) RemoveFileIfAny((Folder(folder) + "calls.log"));
    for (const Source& source : c.sources) {
      AddRegistryString(std::string(source.key) == "gui" ? kGuiKey : kUninstallKey, source.value, source.data);
    }
    const ProcessResult result = Run(" film.mkv -25p");
    EXPECT_EQ(WithoutStandIn(result.standardOutput), Lines({kPleaseWait, "", "", "Done."})) << c.winner;
    EXPECT_EQ(result.exitCode, 0u) << c.winner;
    for (const char* folder : {"A", "B", "C"}) {
      EXPECT_EQ(Calls(folder).size(), std::string(folder) == c.winner ? 2u : 0u) << folder << " for " << c.winner;
    }
  }
}

TEST_F(RetimeProgramTest, MkvmergeReceivesTheExactCommandLineAndTimecodeFile) {
  AddRegistryString(kGuiKey, "installation_path", Folder("A"));
  MakeFolder(scratch_ / "out dir");
  const ProcessResult result = Run(" \"film.mkv\" \"out dir\\new film.MKV\" -24p -30p");
  EXPECT_EQ(WithoutStandIn(result.standardOutput), Lines({kPleaseWait, "", "", "Done."}));
  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<std::string> calls = Calls("A");
  ASSERT_EQ(calls.size(), 2u);
  const std::string mkvmerge = "\"" + Folder("A") + "mkvmerge.exe\"";
  EXPECT_EQ(calls[0], mkvmerge + " -J \"film.mkv\"");
  EXPECT_EQ(calls[1],
            mkvmerge + " -o \"out dir\\new film.MKV\" --timecodes 1:\"out dir\\new film.24p.txt\" -d 1 \"film.mkv\"");
  EXPECT_EQ(ReadFileBytes(Folder("A") + "timecodes.received"), "# timecode format v1\r\nassume 29.970\r\n");
  EXPECT_FALSE(FileExists(scratch_ / "out dir\\new film.24p.txt"));
  EXPECT_EQ(ReadFileBytes(scratch_ / "out dir\\new film.MKV"), "retimed");
  EXPECT_EQ(ReadFileBytes(scratch_ / "film.mkv"), "remuxed matroska");
}

TEST_F(RetimeProgramTest, TheVideoTrackIdIsTheOneMkvmergeLists) {
  AddRegistryString(kGuiKey, "installation_path", Folder("A"));
  Configure("A", "track=0\n");
  EXPECT_EQ(Run(" film.mkv -25p").exitCode, 0u);
  ASSERT_EQ(Calls("A").size(), 2u);
  EXPECT_NE(Calls("A")[1].find(" --timecodes 0:\"film.new.24p.txt\" -d 0 \"film.mkv\""), std::string::npos);
}

TEST_F(RetimeProgramTest, VerdictsFromExitCodeAndOutput) {
  struct Case {
    const char* settings;
    std::vector<std::string> verdict;
    bool outputRemains;
  };
  const std::vector<Case> cases = {
      {"exit=1\noutput=1\n",
       {"mkvmerge reported some warnings. Please check if the MKV file plays correctly.",
        "The file \"*.old.mkv\" should be alright, but (probably) has no timecodes."},
       true},
      {"exit=1\noutput=0\n", {"mkvmerge unexpectedly didn't create a new MKV file.", kTrailer}, false},
      {"exit=0\noutput=0\n", {"mkvmerge unexpectedly didn't create a new MKV file.", kTrailer}, false},
      {"exit=2\noutput=1\n", {"mkvmerge reported one or more errors.", kTrailer}, false},
      // A crash's exit code has its top bit set.
      {"exit=0xC0000005\noutput=1\n", {"mkvmerge reported one or more errors.", kTrailer}, false},
  };
  AddRegistryString(kGuiKey, "installation_path", Folder("A"));
  for (const Case& c : cases) {
    Configure("A", c.settings);
    std::vector<std::string> lines = {kPleaseWait, "", ""};
    lines.insert(lines.end(), c.verdict.begin(), c.verdict.end());
    const ProcessResult result = Run(" film.mkv -25p");
    EXPECT_EQ(WithoutStandIn(result.standardOutput), Lines(lines)) << c.settings;
    EXPECT_EQ(result.exitCode, 1u) << c.settings;
    EXPECT_EQ(FileExists(scratch_ / "film.new.mkv"), c.outputRemains) << c.settings;
    EXPECT_FALSE(FileExists(scratch_ / "film.new.24p.txt")) << c.settings;
    EXPECT_EQ(ReadFileBytes(scratch_ / "film.mkv"), "remuxed matroska") << c.settings;
    RemoveFileIfAny(scratch_ / "film.new.mkv");
  }
}

}  // namespace
}  // namespace quorvex::testing
