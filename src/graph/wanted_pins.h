#ifndef QUORVEX_GRAPH_WANTED_PINS_H_
#define QUORVEX_GRAPH_WANTED_PINS_H_

#include <functional>
#include <string>

#include "graph/interfaces.h"

namespace quorvex {

// What a job does with one wanted splitter pin; false ends the walk.
using WantedPinHandler = std::function<bool(IPin& pin, const TPinInfo& info, const std::string& name)>;

// Walks the pins a splitter's enumerator delivers, in its order, and hands
// each wanted one to `handle`. Pins whose information cannot be read and
// unwanted pins pass without a word; the filter reference of each pin's
// information is given up once the pin is dealt with. An enumeration error
// ends the walk as quietly as its normal end. Answers false when `handle` did.
bool ForEachWantedPin(IEnumPins& splitterPins, bool videoOnly, bool audioOnly, const WantedPinHandler& handle);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_WANTED_PINS_H_
