#ifndef QUORVEX_PLATFORM_POSIX_MKVMERGE_PATH_SEARCH_H_
#define QUORVEX_PLATFORM_POSIX_MKVMERGE_PATH_SEARCH_H_

#include <string>

#include "platform/registry_reader.h"

namespace quorvex {

// POSIX has no registry; where programs are installed is recorded in PATH.
// The one key that names mkvmerge's folder, the current user's
// "Software\mkvmergeGUI\GUI", is answered from PATH: its string value
// "installation_path" is the folder of the first executable mkvmerge there.
// Every other key fails to open.
class MkvmergePathSearch : public RegistryReader {
 public:
  std::optional<Key> OpenKey(RegistryRoot root, const std::string& path) override;
  uint32_t QueryValueSize(Key key, const std::string& valueName) override;
  RegistryQuery QueryValue(Key key, const std::string& valueName, uint8_t* buffer, uint32_t capacity) override;
  void CloseKey(Key key) override;

 private:
  // The value's data with its terminating zero, as the registry stores a
  // string; empty when the value does not exist.
  std::string ValueData(Key key, const std::string& valueName) const;

  std::string installationFolder_;  // read from PATH when the key is opened
};

// The folder, as PATH names it, of the first executable regular file called
// `program` in the folders of `searchPath` (":"-separated, an empty entry
// standing for the current folder); empty when there is none.
std::string FindProgramFolder(const std::string& searchPath, const std::string& program);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_MKVMERGE_PATH_SEARCH_H_
