#ifndef QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_CLASS_FACTORY_H_
#define QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_CLASS_FACTORY_H_

#include <memory>

#include "graph/interfaces.h"

namespace quorvex {

// The system's registered COM classes (filter graph manager, splitters,
// muxer, Dump), created with CoCreateInstance and handed out behind the
// graph interface. COM must be initialised on the calling thread.
std::unique_ptr<ClassFactory> CreateDirectShowClassFactory();

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_DIRECTSHOW_DIRECTSHOW_CLASS_FACTORY_H_
