#ifndef QUORVEX_GRAPH_TESTING_DELIVERY_H_
#define QUORVEX_GRAPH_TESTING_DELIVERY_H_

#include <optional>
#include <utility>
#include <vector>

#include "graph/interfaces.h"

namespace quorvex::doubles {

// Hands out `object` through `out` as the platform's objects do: a success
// answer, zero or not, delivers it with a new reference; a failure answer
// delivers nothing.
template <class T>
HResult Deliver(HResult answer, T* object, T** out) {
  *out = nullptr;
  if (answer >= 0 && object != nullptr) {
    object->AddRef();
    *out = object;
  }
  return answer;
}

// Scripted answers to interface requests, by interface identifier.
class InterfaceAnswers {
 public:
  void Set(const Guid& iid, HResult answer) { answers_.emplace_back(iid, answer); }
  std::optional<HResult> For(const Guid& iid) const {
    for (auto it = answers_.rbegin(); it != answers_.rend(); ++it) {
      if (it->first == iid) return it->second;
    }
    return std::nullopt;
  }

 private:
  std::vector<std::pair<Guid, HResult>> answers_;
};

// Answers a request for `iid` with `asInterface` (null when the object does
// not offer it), unless the script says otherwise.
template <class Object>
HResult AnswerInterface(Object& object, const InterfaceAnswers& answers, const Guid& iid, void* asInterface,
                        void** out) {
  *out = nullptr;
  const HResult answer = answers.For(iid).value_or(asInterface != nullptr ? kOk : kNoInterface);
  if (answer >= 0 && asInterface != nullptr) {
    object.AddRef();
    *out = asInterface;
  }
  return answer;
}

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_DELIVERY_H_
