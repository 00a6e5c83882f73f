// The log writer: exact bytes per line, flushed at once, truncation of an old run, and a
// formatted result longer than the line buffer.
#include "app/Log.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::readFile;

TEST(LogLines, EachWriteIsOneFlushedLineUpToAZeroByte) {
    Log log("log_test_lines.log");
    log.write("first");
    log.write(String());
    log.write(String("\xCB\xFE\0cut", 6));
    EXPECT_EQ(readFile("log_test_lines.log"), "first\n\n\xCB\xFE\n");
}

TEST(LogLines, ReopeningTruncatesTheOldRun) {
    Log("log_test_trunc.log").write("old run with a long line");
    Log log("log_test_trunc.log");
    log.write("new");
    EXPECT_EQ(readFile("log_test_trunc.log"), "new\n");
}

TEST(LogFormatted, FormatsLikePrintfAndCutsAnOverlongResult) {
    const std::string big(5000, 'q');
    Log log("log_test_format.log");
    writeFormatted(log, "%0.2f %0.2f %0.3f", 1.5, -2.25, 0.5);
    writeFormatted(log, "%s%s", big.c_str(), "END");
    log.write("next");
    EXPECT_EQ(readFile("log_test_format.log"),
              "1.50 -2.25 0.500\n" + std::string(1023, 'q') + "\nnext\n");
}
