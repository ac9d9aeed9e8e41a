#include "timecodes/mkvmerge_locator.h"

#include <gtest/gtest.h>

#include "timecodes/testing/fake_services.h"

namespace quorvex {
namespace {

using testing::EventLog;
using testing::FakeFileSystem;
using testing::FakeRegistryReader;
using testing::RecordingSink;

const MkvmergeNaming kWindows{'\\', "mkvmerge.exe", &WindowsFileNameRules()};
const MkvmergeNaming kPosix{'/', "mkvmerge", &PosixFileNameRules()};

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
const std::string kGuiKey(kMkvmergeGuiKey);
const std::string kGuiValue(kMkvmergeGuiValue);
const std::string kUninstallKey(kMkvtoolnixUninstallKey);
const std::string kUninstallValue(kUninstallStringValue);
const std::string kIconValue(kDisplayIconValue);

const std::string kInstalled = "C:\\Program Files\\MKVToolNix\\mkvmerge.exe";

TEST(CompleteMkvmergePathTest, TrailingSeparatorOrNotGivesOnePath) {
  EventLog events;
  FakeFileSystem files(events);
  files.Put(kInstalled, "");
  for (std::string folder : {"C:\\Program Files\\MKVToolNix", "C:\\Program Files\\MKVToolNix\\"}) {
    EXPECT_TRUE(CompleteMkvmergePath(files, folder, kWindows));
    EXPECT_EQ(folder, kInstalled);
  }
  files.Put("/usr/bin/mkvmerge", "");
  for (std::string folder : {"/usr/bin", "/usr/bin/"}) {
    EXPECT_TRUE(CompleteMkvmergePath(files, folder, kPosix));
    EXPECT_EQ(folder, "/usr/bin/mkvmerge");
  }
}

TEST(CompleteMkvmergePathTest, OnlyThePlatformsSeparatorEndsAFolder) {
  EventLog events;
  FakeFileSystem files(events);
  files.Put("C:/tools/\\mkvmerge.exe", "");
  std::string folder = "C:/tools/";
  EXPECT_TRUE(CompleteMkvmergePath(files, folder, kWindows));
  EXPECT_EQ(folder, "C:/tools/\\mkvmerge.exe");
}

TEST(CompleteMkvmergePathTest, EmptyOrWrongFolderGivesEmptyText) {
  EventLog events;
  FakeFileSystem files(events);
  files.Put("\\mkvmerge.exe", "");  // an empty folder must not find this
  std::string folder;
  EXPECT_FALSE(CompleteMkvmergePath(files, folder, kWindows));
  EXPECT_EQ(folder, "");
  folder = "C:\\elsewhere";
  EXPECT_FALSE(CompleteMkvmergePath(files, folder, kWindows));
  EXPECT_EQ(folder, "");
}

class LocateMkvmergeTest : public ::testing::Test {
 protected:
  LocateMkvmergeTest() : files_(events_), sink_(events_, true), console_(sink_, "\n") {}

  std::string Locate() { return LocateMkvmerge(registry_, files_, console_, kWindows); }
  void TearDown() override { EXPECT_EQ(registry_.keysOpen, 0); }

  EventLog events_;
  FakeFileSystem files_;
  RecordingSink sink_;
  Console console_;
  FakeRegistryReader registry_;
};

TEST_F(LocateMkvmergeTest, FirstSourceWinsWithoutTheMachineKeyBeingOpened) {
  files_.Put(kInstalled, "");
  registry_.SetString(kUser, kGuiKey, kGuiValue, "C:\\Program Files\\MKVToolNix");
  registry_.SetString(kMachine, kUninstallKey, kUninstallValue, "C:\\Other\\uninst.exe");
  files_.Put("C:\\Other\\mkvmerge.exe", "");
  EXPECT_EQ(Locate(), kInstalled);
  ASSERT_EQ(registry_.openedKeys.size(), 1u);
  EXPECT_EQ(registry_.openedKeys[0], std::make_pair(kUser, kGuiKey));
  EXPECT_TRUE(events_.empty()) << "nothing is printed";
}

TEST_F(LocateMkvmergeTest, SecondSourceWinsOverAFirstWithoutTheProgram) {
  files_.Put(kInstalled, "");
  registry_.SetString(kUser, kGuiKey, kGuiValue, "C:\\Old MKVToolNix");
  registry_.SetString(kMachine, kUninstallKey, kUninstallValue, "C:\\Program Files\\MKVToolNix\\uninst.exe");
  EXPECT_EQ(Locate(), kInstalled);
  EXPECT_TRUE(events_.empty());
}

TEST_F(LocateMkvmergeTest, FolderlessOrQuotedUninstallStringMovesOnToTheIcon) {
  files_.Put(kInstalled, "");
  registry_.SetString(kMachine, kUninstallKey, kIconValue, "C:\\Program Files\\MKVToolNix\\mkvtoolnix-gui.exe,0");
  for (const char* uninstall : {"uninst.exe", "\"C:\\Program Files\\MKVToolNix\\uninst.exe\""}) {
    registry_.SetString(kMachine, kUninstallKey, kUninstallValue, uninstall);
    // The icon index after the file name does not disturb its folder.
    EXPECT_EQ(Locate(), kInstalled) << uninstall;
  }
}

TEST_F(LocateMkvmergeTest, FolderEndingInADriveColonGetsABackslash) {
  files_.Put("D:\\mkvmerge.exe", "");
  registry_.SetString(kMachine, kUninstallKey, kUninstallValue, "D:uninst.exe");
  EXPECT_EQ(Locate(), "D:\\mkvmerge.exe");
}

TEST_F(LocateMkvmergeTest, NonStringValueKeepsItsTrailingZeroAndFails) {
  files_.Put(kInstalled, "");
  registry_.SetValue(kUser, kGuiKey, kGuiValue,
                     {2, std::string("C:\\Program Files\\MKVToolNix\0", 28), 0, std::nullopt});
  EXPECT_EQ(Locate(), "");
  EXPECT_EQ(events_, (EventLog{"say: Failed to locate \"mkvmerge.exe\". Is mkvtoolnix installed?"}));
}

TEST_F(LocateMkvmergeTest, NoRegistrationPrintsExactlyOneLine) {
  files_.Put(kInstalled, "");
  EXPECT_EQ(Locate(), "");
  EXPECT_EQ(events_, (EventLog{"say: Failed to locate \"mkvmerge.exe\". Is mkvtoolnix installed?"}));
  EXPECT_EQ(registry_.openedKeys.size(), 3u) << "each source is tried once";
}

TEST_F(LocateMkvmergeTest, PosixNamingNamesItsOwnProgram) {
  files_.Put("/opt/mkvtoolnix/bin/mkvmerge", "");
  registry_.SetString(kUser, kGuiKey, kGuiValue, "/opt/mkvtoolnix/bin");
  EXPECT_EQ(LocateMkvmerge(registry_, files_, console_, kPosix), "/opt/mkvtoolnix/bin/mkvmerge");
  EXPECT_EQ(LocateMkvmerge(registry_, files_, console_, {'/', "missing", &PosixFileNameRules()}), "");
  EXPECT_EQ(events_, (EventLog{"say: Failed to locate \"missing\". Is mkvtoolnix installed?"}));
}

}  // namespace
}  // namespace quorvex
