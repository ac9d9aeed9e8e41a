#ifndef QUORVEX_GRAPH_REMUX_JOB_H_
#define QUORVEX_GRAPH_REMUX_JOB_H_

#include <string>

#include "graph/interfaces.h"
#include "platform/console.h"

namespace quorvex {

// Copies the wanted video and audio streams of `sourceFile` into the Matroska
// file `destFile`. Writes its own failure lines; true only when the graph ran
// to completion.
bool RemuxToMatroska(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_REMUX_JOB_H_
