#ifndef QUORVEX_CLI_USAGE_H_
#define QUORVEX_CLI_USAGE_H_

#include "platform/console.h"

namespace quorvex {

// The fixed help screen shown for an empty argument list.
void ShowUsage(Console& console);

}  // namespace quorvex

#endif  // QUORVEX_CLI_USAGE_H_
