#include "cli/run_options.h"

#include <array>

#include "text/file_names.h"
#include "text/fold.h"

namespace quorvex {
namespace {

using OptionEffect = void (*)(RunOptions&);

struct Option {
  std::string_view keyword;
  OptionEffect apply;
};

constexpr std::array<Option, 7> kOptions{{
    {"videoOnly", [](RunOptions& o) { o.videoOnly = true; }},
    {"audioOnly", [](RunOptions& o) { o.audioOnly = true; }},
    {"24p", [](RunOptions& o) { o.fps = "23.976"; }},
    {"25p", [](RunOptions& o) { o.fps = "25.000"; }},
    {"30p", [](RunOptions& o) { o.fps = "29.970"; }},
    {"no24p", [](RunOptions& o) { o.no24p = true; }},
    {"demux", [](RunOptions& o) { o.demux = true; }},
}};

}  // namespace

void ParseArguments(const std::vector<std::string>& arguments, RunOptions& options, Console& console,
                    std::string_view optionPrefixes) {
  for (const std::string& argument : arguments) {
    if (argument.empty()) continue;
    if (optionPrefixes.find(argument[0]) == std::string_view::npos) {
      // Tested before cleaning: a name that cleans to nothing still holds the source's place.
      (options.sourceFile.empty() ? options.sourceFile : options.destFile) = argument;
      continue;
    }
    const std::string_view keyword = std::string_view(argument).substr(1);
    bool known = false;
    for (const Option& option : kOptions) {
      if (SameTextFold(keyword, option.keyword)) {
        option.apply(options);
        known = true;
        break;
      }
    }
    if (!known) console.WriteLine("Unknown parameter \"" + std::string(keyword) + "\".");
  }
}

std::string DefaultDestination(const std::string& sourceFile) {
  const bool matroska = SameTextFold(ExtensionOf(sourceFile), ".mkv");
  return ReplaceExtension(sourceFile, matroska ? ".new.mkv" : ".mkv");
}

}  // namespace quorvex
