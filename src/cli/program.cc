#include "cli/program.h"

#include "cli/run_driver.h"
#include "graph/demux_job.h"
#include "graph/remux_job.h"
#include "platform/abnormal_termination.h"
#include "timecodes/apply_timecodes.h"

namespace quorvex {
namespace {

// Binds the driver's jobs to the graph and re-timing subsystems.
class ProgramJobs : public Jobs {
 public:
  explicit ProgramJobs(ProgramServices& services)
      : services_(services),
        timecodeServices_{services.console, services.files, services.processes, services.registry} {}

  bool DemuxToRawFiles(const std::u16string& sourceFile, const std::u16string& destFile, bool videoOnly,
                       bool audioOnly) override {
    return quorvex::DemuxToRawFiles(services_.graphObjects, services_.console, sourceFile, destFile, videoOnly,
                                    audioOnly);
  }
  bool RemuxToMatroska(const std::u16string& sourceFile, const std::u16string& destFile, bool videoOnly,
                       bool audioOnly) override {
    return quorvex::RemuxToMatroska(services_.graphObjects, services_.console, sourceFile, destFile, videoOnly,
                                    audioOnly);
  }
  bool ApplyTimecodes(const std::string& sourceFile, const std::string& destFile, const std::string& fps) override {
    return quorvex::ApplyTimecodes(timecodeServices_, sourceFile, destFile, fps);
  }
  bool ApplyTimecodesInPlace(const std::string& destFile, const std::string& fps, bool defaultRate) override {
    return quorvex::ApplyTimecodesInPlace(timecodeServices_, destFile, fps,
                                          defaultRate ? RateChoice::kSourceDefault : RateChoice::kOption);
  }

 private:
  ProgramServices& services_;
  TimecodeServices timecodeServices_;
};

}  // namespace

int RunProgram(const std::vector<std::string>& arguments, ProgramServices& services) {
  ProgramJobs jobs(services);
  const int exitCode = RunDriver(arguments, jobs, services.files, services.console);
  services.console.Flush();  // buffered lines that cannot be written still end the run abnormally
  return exitCode;
}

int RunReportingAbnormalEnd(Console& console, const std::string& module, const std::function<int()>& run,
                            const std::function<void(const std::string&)>& reportLine) {
  try {
    return run();
  } catch (const AbnormalTermination& error) {
    console.FlushQuietly();
    reportLine(DescribeAbnormalTermination(error, module));
  } catch (const std::exception& error) {
    console.FlushQuietly();
    reportLine(DescribeAbnormalTermination(AbnormalTermination("EExternal", error.what()), module));
  }
  return 1;
}

}  // namespace quorvex
