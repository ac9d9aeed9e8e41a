#ifndef QUORVEX_GRAPH_ENGINE_CHAPTER_LANGUAGES_H_
#define QUORVEX_GRAPH_ENGINE_CHAPTER_LANGUAGES_H_

#include <filesystem>
#include <vector>

#include "graph/engine/matroska_chapter_reader.h"

namespace quorvex::engine {

// libav reads no chapter language from a Matroska file and writes "und" for
// every chapter, so the languages travel beside it: read from the source,
// and put into the finished output in place of each "und" (the same three
// bytes, so nothing else in the file moves).

// The chapters of a Matroska file with their languages; none when the file
// cannot be read or holds no chapters.
std::vector<ChapterLabel> ReadChapterLabels(const std::filesystem::path& file);

// Gives each chapter of `output` the language of the source chapter it was
// made from: the next one, in order, with the same name. Only a language
// written as "und" is replaced, and only by another three-letter code.
// False when the file could not be read or patched.
bool PatchChapterLanguages(const std::filesystem::path& output, const std::vector<ChapterLabel>& source);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_CHAPTER_LANGUAGES_H_
