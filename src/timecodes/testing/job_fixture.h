#ifndef QUORVEX_TIMECODES_TESTING_JOB_FIXTURE_H_
#define QUORVEX_TIMECODES_TESTING_JOB_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>

#include "platform/native.h"
#include "timecodes/apply_timecodes.h"
#include "timecodes/mkvmerge_locator.h"
#include "timecodes/testing/fake_services.h"

namespace quorvex::testing {

// The re-timing jobs over in-memory services: mkvmerge is installed in
// "tools" and, when it runs, writes its output as the timecode file it was
// given followed by its input, so a test sees both.
class TimecodeJobTest : public ::testing::Test {
 protected:
  TimecodeJobTest()
      : files_(events_),
        sink_(events_, true),
        console_(sink_, "\n"),
        processes_(events_),
        services_{console_, files_, processes_, registry_} {
    registry_.SetString(RegistryRoot::kCurrentUser, std::string(kMkvmergeGuiKey), std::string(kMkvmergeGuiValue),
                        "tools");
    files_.Put(kMkvmerge, "program");
    processes_.onRun = [this](const ProcessCommand& command) {
      const std::vector<std::string>& argv = command.arguments;
      ASSERT_EQ(argv.size(), 8u);
      const std::string timecodeFile = argv[4].substr(argv[4].find(':') + 1);
      if (writesOutput_) {
        files_.Put(argv[2], files_.Contents(timecodeFile).value_or("<no timecodes>") +
                                files_.Contents(argv[7]).value_or("<no input>"));
      }
    };
  }

  void Uninstall() { files_.RemoveFile(kMkvmerge); }

  const std::string kMkvmerge = "tools" + std::string(1, NativePathSeparator()) + std::string(NativeMkvmergeFileName());
  EventLog events_;
  FakeFileSystem files_;
  RecordingSink sink_;
  Console console_;
  FakeProcessRunner processes_;
  FakeRegistryReader registry_;
  TimecodeServices services_;
  bool writesOutput_ = true;
};

}  // namespace quorvex::testing

#endif  // QUORVEX_TIMECODES_TESTING_JOB_FIXTURE_H_
