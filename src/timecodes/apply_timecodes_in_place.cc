// Re-times a freshly remuxed file under its own name, keeping the remuxed
// file aside until the re-timed one is known to be good.
#include <string>

#include "text/file_names.h"
#include "timecodes/timecode_jobs.h"
#include "timecodes/timecode_lines.h"

namespace quorvex {
namespace {

// Puts the remuxed file back under the destination name unless the re-timed
// file was kept, also when the run ends abnormally.
class Backup {
 public:
  Backup(FileSystem& files, std::string destination, std::string backup)
      : files_(files), destination_(std::move(destination)), backup_(std::move(backup)) {}
  ~Backup() {
    if (kept_) return;
    // The move back never replaces a file, so whatever the job left under
    // the destination name goes first.
    files_.RemoveFile(destination_);
    files_.MoveFileNoReplace(backup_, destination_);
  }
  Backup(const Backup&) = delete;
  Backup& operator=(const Backup&) = delete;

  void Discard() {
    kept_ = true;
    files_.RemoveFile(backup_);
  }

 private:
  FileSystem& files_;
  std::string destination_;
  std::string backup_;
  bool kept_ = false;
};

}  // namespace

bool ApplyTimecodesInPlace(TimecodeServices& services, const std::string& destination, const std::string& rate) {
  const std::string backupName = ReplaceExtension(destination, ".old.mkv");
  if (!services.files.MoveFileNoReplace(destination, backupName)) {
    services.console.WriteLine(kRenameFailedLine);
    services.console.WriteLine(kRenameFailedTrailerLine);
    return false;
  }
  Backup backup(services.files, destination, backupName);
  const bool retimed = ApplyTimecodes(services, backupName, destination, rate);
  if (retimed) backup.Discard();
  return retimed;
}

}  // namespace quorvex
