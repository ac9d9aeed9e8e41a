#ifndef QUORVEX_TESTS_E2E_TS_REWRITE_H_
#define QUORVEX_TESTS_E2E_TS_REWRITE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quorvex::e2e {

// Lets `edit` change the start of every PES payload of one stream of a
// transport stream file (188-byte packets, or 192-byte ones as in .m2ts),
// in place: the bytes after the PES header in each packet that starts a PES
// packet. Answers how many payloads were handed over, or -1 when the file
// is no transport stream this walker follows.
int EditPesPayloadStarts(const std::string& file, int pid, const std::function<void(uint8_t*, size_t)>& edit);

}  // namespace quorvex::e2e

#endif  // QUORVEX_TESTS_E2E_TS_REWRITE_H_
