// The log writer: exact bytes per line, truncation at start, zero bytes, formatted lines and a
// formatted result longer than the line buffer.
#include "app/Log.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

std::string readAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace

TEST(LogLines, EachWriteIsOneFlushedLine) {
    Log log("log_test_lines.log");
    log.write("first");
    log.write(String());
    log.write("\xCB\xFE\xE1\xE8\xF2!");
    // Flushed at once: readable while the log is still open.
    EXPECT_EQ(readAll("log_test_lines.log"), "first\n\n\xCB\xFE\xE1\xE8\xF2!\n");
}

TEST(LogLines, ZeroByteEndsTheTextButNotTheLine) {
    Log log("log_test_zero.log");
    log.write(String("ab\0cd", 5));
    log.write("after");
    EXPECT_EQ(readAll("log_test_zero.log"), "ab\nafter\n");
}

TEST(LogLines, ReopeningTruncatesTheOldRun) {
    {
        Log log("log_test_trunc.log");
        log.write("old run with a long line");
    }
    Log log("log_test_trunc.log");
    log.write("new");
    EXPECT_EQ(readAll("log_test_trunc.log"), "new\n");
}

TEST(LogLines, UnopenableFileDropsWritesQuietly) {
    Log log("no_such_directory/sub/x.log");
    log.write("dropped");
    writeFormatted(log, "%d", 5);
    EXPECT_FALSE(std::ifstream("no_such_directory/sub/x.log").is_open());
}

TEST(LogFormatted, FormatsLikePrintf) {
    Log log("log_test_format.log");
    writeFormatted(log, "%0.2f %0.2f %0.3f", 1.5, -2.25, 0.5);
    writeFormatted(log, "%s=%d", "x", 7);
    EXPECT_EQ(readAll("log_test_format.log"), "1.50 -2.25 0.500\nx=7\n");
}

TEST(LogFormatted, OverlongResultIsCutAt1023Bytes) {
    const std::string big(5000, 'q');
    {
        Log log("log_test_long.log");
        writeFormatted(log, "%s%s", big.c_str(), "END");
        log.write("next");
    }
    EXPECT_EQ(readAll("log_test_long.log"), std::string(1023, 'q') + "\nnext\n");
}
