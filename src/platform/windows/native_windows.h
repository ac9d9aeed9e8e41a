#ifndef QUORVEX_PLATFORM_WINDOWS_NATIVE_WINDOWS_H_
#define QUORVEX_PLATFORM_WINDOWS_NATIVE_WINDOWS_H_

#include <array>

namespace quorvex {

using LeadByteTable = std::array<bool, 256>;

// The lead bytes of a code page, from the ranges the system reports for it.
LeadByteTable ReadLeadByteTable(unsigned codePage);

// Lead bytes of the thread's ANSI code page, as the system reports them.
// The ranges are read once, on the first call, which the entry point makes
// at start; a single-byte code page has none.
bool IsAnsiLeadByte(unsigned char byte);

// Settles the code page facts at start, before any file name is looked at.
void SettleAnsiCodePage();

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_NATIVE_WINDOWS_H_
