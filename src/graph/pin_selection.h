#ifndef QUORVEX_GRAPH_PIN_SELECTION_H_
#define QUORVEX_GRAPH_PIN_SELECTION_H_

#include <functional>
#include <string>
#include <string_view>

#include "graph/interfaces.h"

namespace quorvex {

// The pin's name as the graph gave it: achName up to its first NUL.
std::u16string WidePinName(const TPinInfo& info);

// The pin's name as 8-bit text, which streams are judged by and lines quote.
std::string PinNameOf(const TPinInfo& info);

// NarrowText for names taken from the graph. A unit that is half of a
// character (an unpaired surrogate, or a pair cut apart) becomes '?', so
// that one bad unit does not empty the whole text.
std::string NarrowPinText(std::u16string_view text);

// True when `word` occurs anywhere in `name`, whatever the letter case.
bool NameContains(std::string_view name, std::string_view word);

// Whether a stream is taken, judged by its pin name alone: video first unless
// only audio is asked for, then audio unless only video is asked for.
bool PinWanted(std::string_view pinName, bool videoOnly, bool audioOnly);

// What a job does with one wanted splitter pin; false ends the walk.
using WantedPinHandler = std::function<bool(IPin& pin, const TPinInfo& info, const std::string& name)>;

// Walks the pins a splitter's enumerator delivers, in its order, and hands
// each wanted one to `handle`. Pins whose information cannot be read and
// unwanted pins pass without a word; the filter reference of each pin's
// information is given up once the pin is dealt with. An enumeration error
// ends the walk as quietly as its normal end. Answers false when `handle` did.
bool ForEachWantedPin(IEnumPins& splitterPins, bool videoOnly, bool audioOnly, const WantedPinHandler& handle);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_PIN_SELECTION_H_
