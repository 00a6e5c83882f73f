// The byte string: exact-size growth, zero bytes inside, trimming, case folding, number
// conversion with 32-bit clamping, ordering, and the line reader.
#include "app/String.h"

#include <climits>
#include <gtest/gtest.h>
#include <sstream>

namespace {

String bytes(const char* text, int count) {
    return String(text, count);
}

} // namespace

TEST(StringGrowth, CopyTakesExactlyTheLengthNotTheSourceCapacity) {
    String reserved = String::withReserve(100);
    reserved += "abc";
    EXPECT_EQ(reserved.capacity(), 101);
    String copy(reserved);
    EXPECT_EQ(copy.length(), 3);
    EXPECT_EQ(copy.capacity(), 4);
}

TEST(StringGrowth, AssignmentGrowsExactlyAndNeverShrinks) {
    String target("ab");
    target = String("abcdefgh");
    EXPECT_EQ(target.capacity(), 9);
    target = String("x");
    EXPECT_EQ(target.length(), 1);
    EXPECT_EQ(target.capacity(), 9);
    EXPECT_EQ(target, String("x"));
}

TEST(StringGrowth, AppendGrowsToTheExactTotal) {
    String s("abc");
    s += String("de");
    EXPECT_EQ(s.capacity(), 6);
    EXPECT_EQ(s, String("abcde"));
    String sum = String("12") + String("345");
    EXPECT_EQ(sum.capacity(), 6);
    EXPECT_EQ(sum, String("12345"));
}

TEST(StringGrowth, AppendingAStringToItselfDoublesIt) {
    String s("abc");
    s += s;
    EXPECT_EQ(s, String("abcabc"));
    s = s;
    EXPECT_EQ(s, String("abcabc"));
}

TEST(StringGrowth, ImpossibleSizeEndsTheProgram) {
    EXPECT_EXIT(String::withReserve(INT_MAX), ::testing::ExitedWithCode(1),
                "pelmora: out of memory");
}

TEST(StringBytes, ZeroBytesInsideCountAndCompare) {
    String a = bytes("a\0b", 3);
    EXPECT_EQ(a.length(), 3);
    EXPECT_NE(a, bytes("a\0c", 3));
    EXPECT_NE(a, String("a"));
    String copy(a);
    EXPECT_EQ(copy, a);
    EXPECT_EQ(copy[2], 'b');
}

TEST(StringBytes, CStrTerminatesAtTheLength) {
    String s = String::withReserve(8);
    s += String("hi");
    EXPECT_STREQ(s.cStr(), "hi");
}

TEST(StringTrim, BlanksOnlyBecomeEmpty) {
    String s(" \t\r\n ");
    s.trim();
    EXPECT_EQ(s.length(), 0);
}

TEST(StringTrim, ControlBytesAreBlanksButHighBytesAreNot) {
    String s = bytes("\tabc \r", 6);
    s.trim();
    EXPECT_EQ(s, String("abc"));
    String high("\xA0x\xE9");
    high.trim();
    EXPECT_EQ(high.length(), 3);
    String zeros = bytes("\0\0z\0", 4);
    zeros.trim();
    EXPECT_EQ(zeros, String("z"));
}

TEST(StringTrim, LeftMovesTheRestDownAndKeepsCapacity) {
    String s("   word  ");
    const int capacity = s.capacity();
    s.trimLeft();
    EXPECT_EQ(s, String("word  "));
    EXPECT_EQ(s.capacity(), capacity);
    s.trimRight();
    EXPECT_EQ(s, String("word"));
}

TEST(StringCase, OnlyAsciiCapitalsAreLowered) {
    String s("AZaz@[\xC0\xDF");
    s.toLower();
    EXPECT_EQ(s, String("azaz@[\xC0\xDF"));
}

TEST(StringSlices, SubstrClampsAndEmpties) {
    String s("abc");
    EXPECT_EQ(s.substr(1), String("bc"));
    EXPECT_EQ(s.substr(1, 10), String("bc"));
    EXPECT_EQ(s.substr(5).length(), 0);
    EXPECT_EQ(s.substr(1, 0).length(), 0);
    EXPECT_EQ(s.substr(0, 2), String("ab"));
}

TEST(StringSlices, FindHonoursItsRange) {
    String s("a=b=c");
    EXPECT_EQ(s.find('='), 1);
    EXPECT_EQ(s.find('=', 2), 3);
    EXPECT_EQ(s.find('=', 2, 2), -1);
    EXPECT_EQ(s.find('x'), -1);
    EXPECT_EQ(s.find('a', 3, 1), -1);
    EXPECT_EQ(String().find('a'), -1);
}

TEST(StringNumbers, ConvertsWholeTextOnly) {
    int32_t n = -1;
    EXPECT_TRUE(String("42").toInt(n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(String(" 42").toInt(n));
    EXPECT_EQ(n, 42);
    EXPECT_FALSE(String("42 ").toInt(n));
    EXPECT_TRUE(String("").toInt(n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(String("-17").toInt(n));
    EXPECT_EQ(n, -17);
    EXPECT_FALSE(String("0x10").toInt(n));
    EXPECT_FALSE(String("+").toInt(n));
}

TEST(StringNumbers, ZeroByteAfterDigitsIsNotTheEnd) {
    int32_t n = 0;
    EXPECT_FALSE(bytes("12\0", 3).toInt(n));
}

TEST(StringNumbers, ClampsBeyondThirtyTwoBits) {
    int32_t n = 0;
    EXPECT_TRUE(String("99999999999").toInt(n));
    EXPECT_EQ(n, INT32_MAX);
    EXPECT_TRUE(String("-99999999999").toInt(n));
    EXPECT_EQ(n, INT32_MIN);
    EXPECT_TRUE(String("2147483648").toInt(n));
    EXPECT_EQ(n, INT32_MAX);
    EXPECT_TRUE(String("-2147483648").toInt(n));
    EXPECT_EQ(n, INT32_MIN);
}

TEST(StringOrder, ShorterPrefixIsLessAndBytesAreSigned) {
    EXPECT_TRUE(String("ab") < String("abc"));
    EXPECT_FALSE(String("abc") < String("ab"));
    EXPECT_FALSE(String("ab") < String("ab"));
    // 0xE0 is negative as a signed byte, so it sorts before 'a'.
    EXPECT_TRUE(String("\xE0") < String("a"));
    EXPECT_FALSE(String("a") < String("\xE0"));
}

TEST(StringReadLine, BufferBecomesTheMaximumAndZeroCutsTheLine) {
    std::istringstream in(std::string("ab\0cd\nnext\n", 11));
    String line;
    readLine(in, line, 16);
    EXPECT_EQ(line.capacity(), 16);
    EXPECT_EQ(line, String("ab"));
    readLine(in, line, 16);
    EXPECT_EQ(line, String("next"));
}

TEST(StringReadLine, OverlongLineIsCutAndTheNextLineStillReads) {
    std::istringstream in(std::string(40, 'x') + "tail\nsecond\n");
    String line;
    readLine(in, line, 8);
    EXPECT_EQ(line, String("xxxxxxx"));
    EXPECT_FALSE(in.fail());
    readLine(in, line, 8);
    EXPECT_EQ(line, String("second"));
}
