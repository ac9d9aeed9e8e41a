#include "ts_rewrite.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace quorvex::e2e {

int EditPesPayloadStarts(const std::string& file, int pid, const std::function<void(uint8_t*, size_t)>& edit) {
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  constexpr size_t kTsPacket = 188;
  // An .m2ts packet has four bytes of arrival time before the TS packet.
  const size_t stride = bytes.size() % 192 == 0 && !bytes.empty() && bytes[4] == 0x47 ? 192 : kTsPacket;
  const size_t skip = stride - kTsPacket;
  if (bytes.empty() || bytes.size() % stride != 0) return -1;
  int edited = 0;
  for (size_t start = 0; start < bytes.size(); start += stride) {
    uint8_t* packet = bytes.data() + start + skip;
    if (packet[0] != 0x47) return -1;
    const int packetPid = ((packet[1] & 0x1F) << 8) | packet[2];
    const bool payloadStart = (packet[1] & 0x40) != 0;
    const bool hasPayload = (packet[3] & 0x10) != 0;
    if (packetPid != pid || !payloadStart || !hasPayload) continue;
    size_t offset = 4;
    if ((packet[3] & 0x20) != 0) offset += 1 + packet[4];  // adaptation field
    // The PES header: start code, stream id, length, two flag bytes, and
    // the length of what follows them.
    if (offset + 9 > kTsPacket || packet[offset] != 0 || packet[offset + 1] != 0 || packet[offset + 2] != 1) return -1;
    offset += 9 + packet[offset + 8];
    if (offset >= kTsPacket) return -1;
    edit(packet + offset, kTsPacket - offset);
    ++edited;
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? edited : -1;
}

}  // namespace quorvex::e2e
