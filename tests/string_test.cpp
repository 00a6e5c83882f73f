// The byte string: exact-size growth, zero bytes inside, trimming, number conversion with
// 32-bit clamping, signed ordering, and the line reader on over-long lines.
#include "app/String.h"

#include <climits>
#include <gtest/gtest.h>
#include <sstream>

// Readable failure messages: the bytes rather than the object's memory.
void PrintTo(const String& s, std::ostream* os) {
    *os << '"' << std::string(s.data(), s.length()) << '"';
}

TEST(StringGrowth, CapacityIsAlwaysTheExactNeedAndAssignmentNeverShrinks) {
    String reserved = String::withReserve(100);
    reserved += "abc";
    EXPECT_EQ(reserved.capacity(), 101);
    String copy(reserved);
    EXPECT_EQ(copy.capacity(), 4);
    copy += String("de");
    EXPECT_EQ(copy.capacity(), 6);
    EXPECT_EQ((String("12") + String("345")).capacity(), 6);
    copy = String("x");
    EXPECT_EQ(copy.capacity(), 6);
    EXPECT_EQ(copy, String("x"));
}

TEST(StringGrowth, AppendingAStringToItselfDoublesIt) {
    String s("abc");
    s += s;
    EXPECT_EQ(s, String("abcabc"));
}

TEST(StringGrowth, ImpossibleSizeEndsTheProgram) {
    EXPECT_EXIT(String::withReserve(INT_MAX), ::testing::ExitedWithCode(1),
                "pelmora: out of memory");
}

TEST(StringBytes, ZeroBytesCountAndCompare) {
    String a("a\0b", 3);
    EXPECT_EQ(a.length(), 3);
    EXPECT_NE(a, String("a\0c", 3));
    EXPECT_NE(a, String("a"));
    EXPECT_EQ(String(a)[2], 'b');
}

TEST(StringEditing, TrimCaseAndSlices) {
    String s("\tabc \r");
    s.trim();
    EXPECT_EQ(s, String("abc"));
    String blanks(" \t\r\n ");
    blanks.trim();
    EXPECT_EQ(blanks.length(), 0);
    String high("\xA0x\xC0Z");
    high.trim();
    high.toLower();
    EXPECT_EQ(high, String("\xA0x\xC0z"));
    EXPECT_EQ(s.substr(1), String("bc"));
    EXPECT_EQ(s.substr(5).length(), 0);
    EXPECT_EQ(s.find('c', 0, 1), -1);
    EXPECT_EQ(s.find('x'), -1);
}

TEST(StringNumbers, WholeTextOnlyAndClampedToThirtyTwoBits) {
    int32_t n = -1;
    EXPECT_TRUE(String(" 42").toInt(n));
    EXPECT_EQ(n, 42);
    EXPECT_FALSE(String("42 ").toInt(n));
    EXPECT_FALSE(String("12\0", 3).toInt(n));
    EXPECT_TRUE(String("").toInt(n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(String("99999999999").toInt(n));
    EXPECT_EQ(n, INT32_MAX);
    EXPECT_TRUE(String("-2147483649").toInt(n));
    EXPECT_EQ(n, INT32_MIN);
}

TEST(StringOrder, ShorterPrefixIsLessAndBytesAreSigned) {
    EXPECT_TRUE(String("ab") < String("abc"));
    EXPECT_FALSE(String("abc") < String("ab"));
    // 0xE0 is negative as a signed byte, so it sorts before 'a'.
    EXPECT_TRUE(String("\xE0") < String("a"));
}

TEST(StringReadLine, OverlongLineIsCutAndTheNextLineStillReads) {
    std::istringstream in(std::string(40, 'x') + "tail\n" + std::string("ab\0cd\n", 6) + "last");
    String line;
    readLine(in, line, 8);
    EXPECT_EQ(line.capacity(), 8);
    EXPECT_EQ(line, String("xxxxxxx"));
    readLine(in, line, 8);
    EXPECT_EQ(line, String("ab"));
    readLine(in, line, 8);
    EXPECT_EQ(line, String("last"));
}
