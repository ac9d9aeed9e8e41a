#include "graph/splitter_choice.h"

#include "text/conversions.h"
#include "text/file_names.h"
#include "text/fold.h"

namespace quorvex {

Guid SplitterClsidFor(std::u16string_view sourceFile) {
  const bool isWmv = SameTextFold(ExtensionOf(NarrowText(sourceFile)), ".wmv");
  return isWmv ? kClsidWmvSplitter : kClsidHaaliSplitter;
}

SplitterLines SplitterLinesFor(const Guid& splitterClsid) {
  if (splitterClsid == kClsidWmvSplitter) {
    return {"Getting WMV Splitter instance failed.", "Adding WMV Splitter failed."};
  }
  return {"Getting Haali Simple Media Splitter instance failed.", "Adding Haali Media Splitter failed."};
}

}  // namespace quorvex
