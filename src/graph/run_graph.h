#ifndef QUORVEX_GRAPH_RUN_GRAPH_H_
#define QUORVEX_GRAPH_RUN_GRAPH_H_

#include "graph/interfaces.h"
#include "platform/console.h"

namespace quorvex {

// Runs the graph and blocks until it reports its end. True only for
// EC_COMPLETE; every failure writes its line. The graph is never paused or
// stopped: giving up the graph manager ends it.
bool RunGraphToCompletion(IGraphBuilder& graphManager, Console& console);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_RUN_GRAPH_H_
