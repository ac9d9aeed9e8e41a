#ifndef QUORVEX_PLATFORM_ABNORMAL_TERMINATION_H_
#define QUORVEX_PLATFORM_ABNORMAL_TERMINATION_H_

#include <stdexcept>
#include <string>

namespace quorvex {

// An error that nothing in the program handles: a lost standard output, or a
// filter without an interface the jobs rely on. It unwinds to the program
// entry, which releases everything, flushes and reports on standard error.
class AbnormalTermination : public std::runtime_error {
 public:
  AbnormalTermination(std::string kind, const std::string& message);

  const std::string& kind() const { return kind_; }
  // Where the error was raised, for the report line.
  const void* faultAddress() const { return faultAddress_; }

 private:
  std::string kind_;
  const void* faultAddress_;
};

// The one-line report: kind, module, fault address and message.
std::string DescribeAbnormalTermination(const AbnormalTermination& error, const std::string& module);

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_ABNORMAL_TERMINATION_H_
