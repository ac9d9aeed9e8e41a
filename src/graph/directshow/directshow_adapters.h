#ifndef QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_ADAPTERS_H_
#define QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_ADAPTERS_H_

#include <guiddef.h>

#include "graph/interfaces.h"

namespace quorvex {

// The platform's GUID for one of ours; both carry the same four fields.
GUID ToPlatformGuid(const Guid& guid);

// Puts `genuine`, a reference to the genuine COM interface that `iid` names,
// behind the matching interface of ours and stores that in `object`. The
// reference is taken over: on failure it is released, `object` is null and
// the answer is kNoInterface.
HResult AdaptGenuineObject(const Guid& iid, void* genuine, void** object);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_ADAPTERS_H_
