#ifndef QUORVEX_GRAPH_SPLITTER_CHOICE_H_
#define QUORVEX_GRAPH_SPLITTER_CHOICE_H_

#include <string_view>

#include "graph/guid.h"

namespace quorvex {

// The splitter class for a source: the WMV Splitter for a ".wmv" file in any
// letter case, the Haali Simple Media Splitter for everything else.
Guid SplitterClsidFor(std::u16string_view sourceFile);

// The failure lines that name the chosen splitter.
struct SplitterLines {
  std::string_view creating;
  std::string_view adding;
};
SplitterLines SplitterLinesFor(const Guid& splitterClsid);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_SPLITTER_CHOICE_H_
