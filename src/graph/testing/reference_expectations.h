#ifndef QUORVEX_GRAPH_TESTING_REFERENCE_EXPECTATIONS_H_
#define QUORVEX_GRAPH_TESTING_REFERENCE_EXPECTATIONS_H_

#include <gtest/gtest.h>

#include "graph/testing/double_ledger.h"

namespace quorvex::doubles {

// Every reference a job took is given up, none twice, and the graph
// manager's went last.
inline void ExpectAllReleasedGraphManagerLast(const DoubleLedger& ledger) {
  EXPECT_EQ(ledger.LiveReferences(), 0) << "still held: " << ::testing::PrintToString(ledger.Holders());
  EXPECT_EQ(ledger.overReleases(), 0);
  ASSERT_FALSE(ledger.releases().empty());
  EXPECT_EQ(ledger.releases().back(), "graph manager") << ::testing::PrintToString(ledger.releases());
}

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_REFERENCE_EXPECTATIONS_H_
