#ifndef QUORVEX_CLI_JOBS_H_
#define QUORVEX_CLI_JOBS_H_

#include <string>

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
  virtual bool ApplyTimecodes(const std::string& sourceFile, const std::string& destFile,
                              const std::string& fps) = 0;
  virtual bool ApplyTimecodesInPlace(const std::string& destFile, const std::string& fps) = 0;
};

}  // namespace quorvex

#endif  // QUORVEX_CLI_JOBS_H_
