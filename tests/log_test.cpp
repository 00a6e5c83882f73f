// The log writer: exact bytes per line, flushed at once, truncation of an old run, a
// formatted result longer than the line buffer, the hold that keeps a second copy of the
// program out, and which files in the log's place count as plain files here.
#include "app/Log.h"
#include "app/PlainFile.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
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
    EXPECT_FALSE(log.heldElsewhere()) << "the old run's hold outlived it";
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

// A second copy of the program started in the same folder finds the log held: it neither
// empties it nor writes into it, and the first copy's lines go on.
TEST(LogHold, ASecondLogOnAHeldFileLeavesItAlone) {
    Log first("log_test_held.log");
    first.write("first");
    EXPECT_FALSE(first.heldElsewhere());
    {
        Log second("log_test_held.log");
        EXPECT_TRUE(second.heldElsewhere());
        second.write("second");
        first.write("more");
    }
    first.write("last");
    EXPECT_EQ(readFile("log_test_held.log"), "first\nmore\nlast\n");
}

// Only links that stand for another file are refused: on Windows, OneDrive's and other cloud
// providers' files, deduplicated files and app execution aliases are reparse points too, and the
// game is unpacked into folders OneDrive syncs.
TEST(PlainFileHere, LinksAreRefusedOtherReparsePointsWritten) {
    const DWORD Reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    const DWORD CloudAttributes = 0x00400000u | 0x20u | Reparse; // recall on access, archive
    const struct {
        const char* kind;
        DWORD attributes, tag;
        bool here;
    } files[] = {
        {"plain file", FILE_ATTRIBUTE_NORMAL, 0, true},
        {"symbolic link", Reparse, IO_REPARSE_TAG_SYMLINK, false},
        {"junction or mount point", Reparse, IO_REPARSE_TAG_MOUNT_POINT, false},
        {"link to a directory", Reparse | FILE_ATTRIBUTE_DIRECTORY, IO_REPARSE_TAG_SYMLINK, false},
        {"AF_UNIX socket", Reparse, 0x80000023u, true},
        {"cloud file", CloudAttributes, 0x9000001Au, true},
        {"cloud file, variant 1", CloudAttributes, 0x9000101Au, true},
        {"cloud file, variant F", CloudAttributes, 0x9000F01Au, true},
        {"deduplicated", Reparse, 0x80000013u, true},
        {"app execution alias", Reparse, 0x8000001Bu, true},
        {"Windows container isolation", Reparse, 0x80000018u, true},
        {"WSL symbolic link", Reparse, 0xA000001Du, false},
        {"directory", FILE_ATTRIBUTE_DIRECTORY, 0, false},
        {"device", FILE_ATTRIBUTE_DEVICE, 0, false},
        {"tag without the reparse flag", FILE_ATTRIBUTE_NORMAL, IO_REPARSE_TAG_SYMLINK, true},
    };
    for (const auto& file : files)
        EXPECT_EQ(isPlainFileHere(file.attributes, file.tag), file.here) << file.kind;
}

TEST(PlainFileHere, ALinkOnDiskIsNeitherFollowedNorEmptied) {
    { Log("log_test_target.log").write("kept"); }
    std::filesystem::create_symlink("log_test_target.log", "log_test_link.log");
    Log("log_test_link.log").write("through the link");
    EXPECT_EQ(readFile("log_test_target.log"), "kept\n");
    EXPECT_TRUE(std::filesystem::is_symlink("log_test_link.log"));
}
