#ifndef QUORVEX_GRAPH_REQUIRED_INTERFACE_H_
#define QUORVEX_GRAPH_REQUIRED_INTERFACE_H_

#include "graph/com_ptr.h"
#include "platform/abnormal_termination.h"

namespace quorvex {

// Asks `object` for an interface that the jobs cannot work without. A filter
// that refuses it is not the filter the job asked for, which nothing can
// report sensibly: the run ends abnormally, after the caller's references
// are given up by unwinding.
template <class U, class T>
ComPtr<U> RequireInterface(T* object) {
  ComPtr<U> result;
  if (QueryInterfaceFor(object, result) != kOk || !result) {
    throw AbnormalTermination("EIntfCastError", "Interface not supported");
  }
  return result;
}

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_REQUIRED_INTERFACE_H_
