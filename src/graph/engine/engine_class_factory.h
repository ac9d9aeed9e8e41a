#ifndef QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_
#define QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_

#include <memory>

#include "graph/interfaces.h"

namespace quorvex {

// The media engine on FFmpeg's libraries: graph manager, splitters, Matroska
// muxer and Dump filter, created by their class identifiers.
std::unique_ptr<ClassFactory> CreateEngineClassFactory();

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_
