#ifndef QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_
#define QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_

#include <memory>

#include <functional>

#include "graph/interfaces.h"
#include "platform/interrupts.h"
#include "platform/media_file.h"
#include "platform/progress_terminal.h"

namespace quorvex {

// What the engine needs of the platform; tests hand it doubles.
struct EngineServices {
  MediaFileSystem& files;
  Interrupts& interrupts;
  // The progress line's terminal, or nullptr for none.
  std::function<std::unique_ptr<ProgressTerminal>()> openTerminal;
};

// The platform's real files, signals and terminal.
EngineServices SystemEngineServices();

// The media engine on FFmpeg's libraries: graph manager, splitters, Matroska
// muxer and Dump filter, created by their class identifiers.
std::unique_ptr<ClassFactory> CreateEngineClassFactory(EngineServices services = SystemEngineServices());

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_ENGINE_ENGINE_CLASS_FACTORY_H_
