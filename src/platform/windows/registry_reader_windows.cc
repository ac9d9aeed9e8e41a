#include "platform/windows/registry_reader_windows.h"

#include <windows.h>

namespace quorvex {
namespace {

HKEY ToHandle(RegistryReader::Key key) { return reinterpret_cast<HKEY>(key); }

HKEY RootHandle(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

}  // namespace

std::optional<RegistryReader::Key> WindowsRegistryReader::OpenKey(RegistryRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootHandle(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  return reinterpret_cast<Key>(key);
}

uint32_t WindowsRegistryReader::QueryValueSize(Key key, const std::string& valueName) {
  // Only the count matters; the call's own answer is not looked at.
  DWORD size = 0;
  RegQueryValueExA(ToHandle(key), valueName.c_str(), nullptr, nullptr, nullptr, &size);
  return size;
}

RegistryQuery WindowsRegistryReader::QueryValue(Key key, const std::string& valueName, uint8_t* buffer,
                                                uint32_t capacity) {
  DWORD type = 0;
  DWORD size = capacity;
  const LSTATUS status = RegQueryValueExA(ToHandle(key), valueName.c_str(), nullptr, &type, buffer, &size);
  RegistryQuery query;
  query.status = static_cast<int32_t>(status);
  query.type = type;
  // A failed query may report the size it would have needed: never more
  // than the buffer holds.
  query.bytesStored = status == ERROR_SUCCESS ? (size <= capacity ? size : capacity) : 0;
  return query;
}

void WindowsRegistryReader::CloseKey(Key key) { RegCloseKey(ToHandle(key)); }

}  // namespace quorvex
