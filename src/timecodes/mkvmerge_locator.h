#ifndef QUORVEX_TIMECODES_MKVMERGE_LOCATOR_H_
#define QUORVEX_TIMECODES_MKVMERGE_LOCATOR_H_

#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/registry_reader.h"
#include "text/file_names.h"

namespace quorvex {

// How a folder and mkvmerge's file name make a path on one platform.
struct MkvmergeNaming {
  char separator;
  std::string_view programFileName;
  const FileNameRules* fileNameRules;
};

// The naming of the platform the program was built for.
MkvmergeNaming NativeMkvmergeNaming();

// Where MKVToolNix records its installation. The first source is a folder;
// the other two are file names whose folder is used.
inline constexpr std::string_view kMkvmergeGuiKey = "Software\\mkvmergeGUI\\GUI";
inline constexpr std::string_view kMkvmergeGuiValue = "installation_path";
inline constexpr std::string_view kMkvtoolnixUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MKVtoolnix";
inline constexpr std::string_view kUninstallStringValue = "UninstallString";
inline constexpr std::string_view kDisplayIconValue = "DisplayIcon";

// The line a failed lookup writes; it names the platform's program file
// ("mkvmerge" or "mkvmerge.exe").
std::string FailedToLocateLine(std::string_view programFileName);

// Turns `folder` into the full name of mkvmerge's program in it, or empties
// it when no such file exists. True when `folder` is non-empty on return.
bool CompleteMkvmergePath(FileSystem& files, std::string& folder,
                          const MkvmergeNaming& naming = NativeMkvmergeNaming());

// The full name of an existing mkvmerge program, found through the three
// registry sources in order; empty after writing the failure line.
std::string LocateMkvmerge(RegistryReader& registry, FileSystem& files, Console& console,
                           const MkvmergeNaming& naming = NativeMkvmergeNaming());

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_MKVMERGE_LOCATOR_H_
