#include "timecodes/mkvmerge_locator.h"

#include "platform/native.h"
#include "timecodes/registry_string.h"

namespace quorvex {

MkvmergeNaming NativeMkvmergeNaming() {
  return {NativePathSeparator(), NativeMkvmergeFileName(), &NativeFileNameRules()};
}

std::string FailedToLocateLine(std::string_view programFileName) {
  return "Failed to locate \"" + std::string(programFileName) + "\". Is mkvtoolnix installed?";
}

bool CompleteMkvmergePath(FileSystem& files, std::string& folder, const MkvmergeNaming& naming) {
  if (folder.empty()) return false;
  // Only the platform's own separator counts as already ending the folder.
  if (folder.back() != naming.separator) folder += naming.separator;
  folder += naming.programFileName;
  if (!files.PathExists(folder)) folder.clear();
  return !folder.empty();
}

std::string LocateMkvmerge(RegistryReader& registry, FileSystem& files, Console& console,
                           const MkvmergeNaming& naming) {
  const std::string uninstallKey(kMkvtoolnixUninstallKey);

  std::string path =
      ReadRegString(registry, RegistryRoot::kCurrentUser, std::string(kMkvmergeGuiKey), std::string(kMkvmergeGuiValue));
  if (CompleteMkvmergePath(files, path, naming)) return path;

  path = DirectoryOf(
      ReadRegString(registry, RegistryRoot::kLocalMachine, uninstallKey, std::string(kUninstallStringValue)),
      *naming.fileNameRules);
  if (CompleteMkvmergePath(files, path, naming)) return path;

  path = DirectoryOf(ReadRegString(registry, RegistryRoot::kLocalMachine, uninstallKey, std::string(kDisplayIconValue)),
                     *naming.fileNameRules);
  if (CompleteMkvmergePath(files, path, naming)) return path;

  console.WriteLine(FailedToLocateLine(naming.programFileName));
  return {};
}

}  // namespace quorvex
