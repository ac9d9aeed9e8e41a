#ifndef QUORVEX_GRAPH_RESULT_CODES_H_
#define QUORVEX_GRAPH_RESULT_CODES_H_

#include <cstdint>

namespace quorvex {

// Every graph call answers a 32-bit result code. Only kOk counts as success
// to the jobs; other non-negative codes are success codes of the platform
// that the jobs still treat as failure.
using HResult = int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;  // "no more items", and similar soft answers
// AddFilter: the name was already in use, so the filter got another one.
inline constexpr HResult kDuplicateName = 0x0004022D;
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
// The user stopped the operation, such as the loading of a source.
inline constexpr HResult kAbort = static_cast<HResult>(0x80004004u);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057u);
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154u);
inline constexpr HResult kFileNotFound = static_cast<HResult>(0x80070002u);
inline constexpr HResult kAlreadyConnected = static_cast<HResult>(0x80040204u);
inline constexpr HResult kNoAcceptableTypes = static_cast<HResult>(0x80040207u);
inline constexpr HResult kInvalidFileFormat = static_cast<HResult>(0x8004022Fu);
inline constexpr HResult kNotConnected = static_cast<HResult>(0x80040209u);
inline constexpr HResult kNotFound = static_cast<HResult>(0x80040216u);
inline constexpr HResult kWrongState = static_cast<HResult>(0x80040227u);
inline constexpr HResult kCannotCreateFile = static_cast<HResult>(0x80070052u);

// Completion events reported by WaitForCompletion.
inline constexpr int32_t kEcComplete = 1;
inline constexpr int32_t kEcUserAbort = 2;
inline constexpr int32_t kEcErrorAbort = 3;

inline constexpr int32_t kInfiniteTimeout = -1;

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_RESULT_CODES_H_
