#include "graph/run_graph.h"

#include "graph/com_ptr.h"

namespace quorvex {

bool RunGraphToCompletion(IGraphBuilder& graphManager, Console& console) {
  ComPtr<IMediaControl> control;
  if (QueryInterfaceFor(&graphManager, control) != kOk) {
    console.WriteLine("Getting IMediaControl failed.");
    return false;
  }
  ComPtr<IMediaEvent> events;
  if (QueryInterfaceFor(&graphManager, events) != kOk) {
    console.WriteLine("Getting IMediaEvent failed.");
    return false;
  }
  if (control->Run() != kOk) {
    console.WriteLine("Starting muxing failed.");
    return false;
  }
  int32_t eventCode = 0;
  if (events->WaitForCompletion(kInfiniteTimeout, &eventCode) != kOk) {
    console.WriteLine("Waiting for muxing completion failed.");
    return false;
  }
  switch (eventCode) {
    case kEcComplete:
      return true;
    case kEcUserAbort:
      console.WriteLine("User aborted muxing.");
      return false;
    case kEcErrorAbort:
      console.WriteLine("An error ocurred during muxing.");
      return false;
    default:
      console.WriteLine("Unknown muxing error.");
      return false;
  }
}

}  // namespace quorvex
