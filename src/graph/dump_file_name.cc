#include "graph/dump_file_name.h"

#include "graph/pin_selection.h"
#include "text/conversions.h"

namespace quorvex {

std::u16string DumpFileNameFor(std::u16string_view destFile, const TPinInfo& pin, const FileNameRules& rules) {
  // Pins are named like "Video 1" and "Audio 2": the part after the kind
  // tells the streams of one kind apart.
  constexpr size_t kKindPrefixLength = 6;
  const std::u16string wideName = WidePinName(pin);
  const std::u16string_view kept =
      wideName.size() > kKindPrefixLength ? std::u16string_view(wideName).substr(kKindPrefixLength) : u"";
  const char16_t* kindExtension = NameContains(PinNameOf(pin), "Video") ? u".mpv" : u".mpa";
  // Built by appending: GCC 12 misreads "literal" + string at -O3 (-Wrestrict).
  std::u16string extension(1, u'.');
  extension += kept;
  extension += kindExtension;
  return WidenText(ReplaceExtension(NarrowText(destFile), NarrowPinText(extension), rules));
}

}  // namespace quorvex
