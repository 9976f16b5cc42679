// Cutting input into lines with a bound on what is kept of the line being read.
#include "app/line_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> FeedAll(LineAssembler& lines, const std::vector<std::string>& pieces) {
  std::vector<std::string> out;
  for (const std::string& piece : pieces) {
    lines.Feed(piece, [&out](const std::string& line) { out.push_back(line); });
  }
  return out;
}

TEST(LineAssemblerTest, LinesSplitAcrossPiecesAreJoinedAndAnUnfinishedOneWaits) {
  LineAssembler lines(8);
  EXPECT_EQ(FeedAll(lines, {"10", "01\n1020\n\n10", "2", "1\nhalf"}),
            (std::vector<std::string>{"1001", "1020", "", "1021"}));
  EXPECT_EQ(FeedAll(lines, {"\n"}), std::vector<std::string>{"half"});
  EXPECT_EQ(lines.Dropped(), 0u);
}

// A line may be exactly as long as the limit; one byte more and it is dropped whole,
// however many pieces it comes in, and the line after it is read as usual.
TEST(LineAssemblerTest, ALineOverTheLimitIsDroppedWholeAndReadingGoesOn) {
  LineAssembler lines(4);
  EXPECT_EQ(FeedAll(lines, {"1234\n12345\n"}), std::vector<std::string>{"1234"});
  const std::string flood(1 << 20, '7');
  EXPECT_EQ(FeedAll(lines, {flood, flood, "7\n", "2\n"}), std::vector<std::string>{"2"});
  EXPECT_EQ(FeedAll(lines, {"123", "45", "\n1\n"}), std::vector<std::string>{"1"});
  EXPECT_EQ(lines.Dropped(), 3u);
}

}  // namespace
