#ifndef QUORVEX_CLI_RUN_DRIVER_H_
#define QUORVEX_CLI_RUN_DRIVER_H_

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"

namespace quorvex {

// The four jobs a run can do, as the driver calls them. The program binds
// the real ones; tests bind recorders.
class Jobs {
 public:
  virtual ~Jobs() = default;
  virtual bool DemuxToRawFiles(const std::u16string& sourceFile, const std::u16string& destFile, bool videoOnly,
                               bool audioOnly) = 0;
  virtual bool RemuxToMatroska(const std::u16string& sourceFile, const std::u16string& destFile, bool videoOnly,
                               bool audioOnly) = 0;
  virtual bool ApplyTimecodes(const std::string& sourceFile, const std::string& destFile, const std::string& fps) = 0;
  // `defaultRate`: the rate is the source format's default, not an option,
  // and applies only where it fits the video.
  virtual bool ApplyTimecodesInPlace(const std::string& destFile, const std::string& fps, bool defaultRate) = 0;
};

// One whole run: parses the arguments, checks the names, chooses and runs
// exactly one job and answers the process exit code (0 only after "Done.").
int RunDriver(const std::vector<std::string>& arguments, Jobs& jobs, FileSystem& files, Console& console);

}  // namespace quorvex

#endif  // QUORVEX_CLI_RUN_DRIVER_H_
