// Resource-name resolution, directory sources and the two binary streams.
#include "platform/platform.h"
#include "resources/DiskDirectory.h"
#include "resources/FileStream.h"
#include "resources/FileSystem.h"
#include "resources/MemoryStream.h"
#include "tests/support/TestSupport.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string workingDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

void makeDirectory(const std::string& path) {
    mkdir(path.c_str(), 0755);
}

using testsupport::writeFile;

std::string readAll(Stream* stream) {
    std::string text;
    char buffer[256];
    int32_t got;
    while ((got = stream->read(buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    return text;
}

std::string openAndRead(const char* name) {
    std::unique_ptr<Stream> stream(FileSystem::instance()->openRead(name));
    return stream ? readAll(stream.get()) : std::string("<null>");
}

// A source stream that misbehaves in one chosen way.
class BrokenStream : public Stream {
public:
    BrokenStream(int32_t state, int32_t size, int32_t delivered)
        : Stream(state), size_(size), delivered_(delivered) {}
    int32_t seek(int32_t offset, int32_t origin) override {
        return origin == SeekEnd ? size_ : offset;
    }
    int32_t read(void* buffer, int32_t count) override {
        int32_t n = count < delivered_ ? count : delivered_;
        std::memset(buffer, 'x', size_t(n));
        delivered_ -= n;
        return n;
    }
    int32_t write(const void*, int32_t) override { return -1; }
    bool eof() override { return false; }

private:
    int32_t size_;
    int32_t delivered_;
};

class FileSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        makeDirectory("fs_a");
        makeDirectory("fs_b");
        makeDirectory("fs_old");
        makeDirectory("fs_new");
        writeFile("fs_a/a.glt", "from a");
        writeFile("fs_b/a.glt", "from b");
        writeFile("fs_b/graffiti.glf", "font");
        writeFile("fs_old/both", "old both");
        writeFile("fs_old/only_old", "old only");
        writeFile("fs_new/both", "new both");
        FileSystem::instance()->addSource("fsb/", new DiskDirectory("fs_b"));
        FileSystem::instance()->addSource("fsa/", new DiskDirectory("fs_a"));
        FileSystem::instance()->addSource("layer/", new DiskDirectory("fs_old"));
        FileSystem::instance()->addSource("layer/", new DiskDirectory("fs_new"));
    }
};

} // namespace

// ---- Prefix matching -------------------------------------------------------------------------

TEST_F(FileSystemTest, NameGoesOnlyToTheSourceOfItsPrefixWithoutThePrefix) {
    EXPECT_EQ(openAndRead("fsa/a.glt"), "from a");
    EXPECT_EQ(openAndRead("fsb/a.glt"), "from b");
    EXPECT_EQ(openAndRead("fsb/graffiti.glf"), "font");
    EXPECT_EQ(openAndRead("fsa/graffiti.glf"), "<null>");
}

TEST_F(FileSystemTest, PrefixIsCaseSensitiveAndNeedsTheWholePrefix) {
    EXPECT_EQ(openAndRead("Fsa/a.glt"), "<null>");
    EXPECT_EQ(openAndRead("fsa"), "<null>");
    EXPECT_EQ(openAndRead("fs_a/a.glt"), "<null>"); // no fallback to the working directory
    EXPECT_FALSE(FileSystem::instance()->exists("FSA/a.glt"));
}

TEST_F(FileSystemTest, NewerSourceAnswersFirstAndOlderAnswersWhatItCannot) {
    EXPECT_EQ(openAndRead("layer/both"), "new both");
    EXPECT_EQ(openAndRead("layer/only_old"), "old only");
    EXPECT_TRUE(FileSystem::instance()->exists("layer/only_old"));
    EXPECT_FALSE(FileSystem::instance()->exists("layer/neither"));
}

// Text streams open files only, as the binary ones do: a directory, or a pipe (here with a
// partner, so that a stream that tried would open instead of waiting forever), is refused.
TEST_F(FileSystemTest, ExistsCountsDirectoriesAndTextStreamsOpenOnlyFilesThroughPrefixes) {
    makeDirectory("fs_a/sub");
    EXPECT_TRUE(FileSystem::instance()->exists("fsa/sub"));
    std::unique_ptr<std::ifstream> text(FileSystem::instance()->openTextRead("fsa/a.glt"));
    ASSERT_NE(text, nullptr);
    std::string word;
    *text >> word;
    EXPECT_EQ(word, "from");
    EXPECT_EQ(FileSystem::instance()->openTextRead("fsa/missing"), nullptr);
    ASSERT_EQ(mkfifo("fs_a/pipe", 0600), 0);
    const int partner = open("fs_a/pipe", O_RDWR | O_NONBLOCK);
    ASSERT_GE(partner, 0);
    for (const char* name : {"fsa/sub", "fsa/pipe"}) {
        EXPECT_EQ(std::unique_ptr<std::ifstream>(FileSystem::instance()->openTextRead(name)),
                  nullptr)
            << name;
        EXPECT_EQ(std::unique_ptr<std::ofstream>(FileSystem::instance()->openTextWrite(name)),
                  nullptr)
            << name;
    }
    close(partner);
}

TEST_F(FileSystemTest, OpenWriteCreatesAndTruncatesThroughThePrefix) {
    {
        std::unique_ptr<Stream> out(FileSystem::instance()->openWrite("fsa/written"));
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->write("long contents", 13), 13);
    }
    {
        std::unique_ptr<Stream> out(FileSystem::instance()->openWrite("fsa/written"));
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->write("short", 5), 5);
    }
    EXPECT_EQ(openAndRead("fsa/written"), "short");
    EXPECT_EQ(FileSystem::instance()->openWrite("fsa/no_such_dir/x"), nullptr);
}

// ---- Directory base paths --------------------------------------------------------------------

TEST(DiskDirectoryTest, BasePathIsAbsoluteEndsInSeparatorAndSurvivesDirectoryChanges) {
    makeDirectory("dd_base");
    writeFile("dd_base/file", "here");
    std::string cwd = workingDirectory();
    DiskDirectory directory("dd_base");
    EXPECT_TRUE(directory.found());
    EXPECT_EQ(std::string(directory.getBasePath().data(), directory.getBasePath().length()),
              cwd + "/dd_base/");
    EXPECT_EQ(workingDirectory(), cwd);

    ASSERT_EQ(chdir("/"), 0);
    std::unique_ptr<Stream> stream(directory.openRead("file"));
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readAll(stream.get()), "here");
}

// A file in the directory's place is no directory either.
TEST(DiskDirectoryTest, MissingDirectoryServesTheWorkingDirectory) {
    std::string cwd = workingDirectory();
    writeFile("dd_a_file", "not a directory");
    for (const char* name : {"dd_does_not_exist", "dd_a_file"}) {
        SCOPED_TRACE(name);
        DiskDirectory directory(name);
        EXPECT_FALSE(directory.found());
        EXPECT_EQ(std::string(directory.getBasePath().data(), directory.getBasePath().length()),
                  cwd + "/");
    }
    // The root already ends in the separator.
    ASSERT_EQ(chdir("/"), 0);
    DiskDirectory atRoot("dd_does_not_exist");
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(std::string(atRoot.getBasePath().data(), atRoot.getBasePath().length()), "/");
}

// A working directory that cannot be read back (here: removed) is never left: a directory that
// cannot be found from it serves it, by the relative name ".".
TEST(DiskDirectoryTest, WorkingDirectoryThatCannotBeNamedIsNeverLeft) {
    std::string cwd = workingDirectory();
    makeDirectory("dd_gone");
    ASSERT_EQ(chdir("dd_gone"), 0);
    struct stat before, after;
    ASSERT_EQ(stat(".", &before), 0);
    ASSERT_EQ(rmdir((cwd + "/dd_gone").c_str()), 0);
    DiskDirectory directory("data");
    const int statResult = stat(".", &after);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    ASSERT_EQ(statResult, 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(std::string(directory.getBasePath().data(), directory.getBasePath().length()), "./");
}

TEST(DiskDirectoryTest, WorkingDirectoryLongerThan256BytesIsKeptWhole) {
    std::string cwd = workingDirectory();
    std::string deep = cwd;
    std::string segment(60, 'd');
    for (int i = 0; i < 6; ++i) {
        deep += "/" + segment;
        makeDirectory(deep);
    }
    makeDirectory(deep + "/leaf");
    ASSERT_GT(deep.size(), 300u);
    ASSERT_EQ(chdir(deep.c_str()), 0);
    DiskDirectory directory("leaf");
    std::string after = workingDirectory();
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(std::string(directory.getBasePath().data(), directory.getBasePath().length()),
              deep + "/leaf/");
    EXPECT_EQ(after, deep);
}

// ---- FileStream ------------------------------------------------------------------------------

TEST(FileStreamTest, SeekOriginsAreTranslatedToTheRuntimeNumbering) {
    writeFile("fstream_digits", "0123456789");
    FileStream stream("fstream_digits", false);
    ASSERT_EQ(stream.state(), Stream::StreamOpen);
    EXPECT_EQ(stream.seek(-3, Stream::SeekEnd), 7);
    EXPECT_EQ(stream.seek(2, Stream::SeekCurrent), 9);
    EXPECT_EQ(stream.seek(1, Stream::SeekStart), 1);
    char byte = 0;
    EXPECT_EQ(stream.read(&byte, 1), 1);
    EXPECT_EQ(byte, '1');
    EXPECT_FALSE(stream.eof());
    stream.seek(0, Stream::SeekEnd);
    EXPECT_TRUE(stream.eof());
}

TEST(FileStreamTest, MissingFileGivesFailedStreamThatKeepsItsPath) {
    FileStream stream("fstream_missing/none", false);
    EXPECT_EQ(stream.state(), Stream::StreamFailed);
    EXPECT_EQ(stream.getPath(), String("fstream_missing/none"));
    char byte;
    EXPECT_EQ(stream.read(&byte, 1), -1);
    EXPECT_EQ(stream.seek(0, Stream::SeekEnd), -1);
}

// ---- MemoryStream ----------------------------------------------------------------------------

TEST(MemoryStreamTest, SeeksAreClampedToTheBuffer) {
    MemoryStream stream("0123456789", 10);
    EXPECT_EQ(stream.seek(-5, Stream::SeekStart), 0);
    EXPECT_EQ(stream.seek(20, Stream::SeekStart), 10);
    EXPECT_EQ(stream.seek(0, Stream::SeekEnd), 10);
    EXPECT_EQ(stream.seek(-4, Stream::SeekEnd), 6);
    EXPECT_EQ(stream.seek(-10, Stream::SeekCurrent), 0);
    EXPECT_EQ(stream.seek(INT32_MAX, Stream::SeekEnd), 10);
    stream.seek(5, Stream::SeekStart);
    EXPECT_EQ(stream.seek(INT32_MAX, Stream::SeekCurrent), 10);
}

TEST(MemoryStreamTest, ReadsDeliverWhatIsLeftThenZero) {
    MemoryStream stream("0123456789", 10);
    stream.seek(8, Stream::SeekStart);
    char buffer[4] = {};
    EXPECT_EQ(stream.read(buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_TRUE(stream.eof());
    EXPECT_EQ(stream.read(buffer, 4), 0);
    EXPECT_EQ(stream.read(buffer, -1), 0);
}

TEST(MemoryStreamTest, WriteChangesNothing) {
    MemoryStream stream("abc", 3);
    EXPECT_LE(stream.write("xyz", 3), 0);
    stream.seek(0, Stream::SeekStart);
    EXPECT_EQ(readAll(&stream), "abc");
}

TEST(MemoryStreamTest, SourceThatFailsOrCannotTellItsSizeOrReadsShortGivesFailedStream) {
    BrokenStream failed(Stream::StreamFailed, 10, 10);
    EXPECT_EQ(MemoryStream(failed).state(), Stream::StreamFailed);
    BrokenStream sizeless(Stream::StreamOpen, -1, 10);
    EXPECT_EQ(MemoryStream(sizeless).state(), Stream::StreamFailed);
    BrokenStream shortRead(Stream::StreamOpen, 10, 6);
    MemoryStream fromShort(shortRead);
    EXPECT_EQ(fromShort.state(), Stream::StreamFailed);
    EXPECT_EQ(fromShort.getSize(), 0);
    BrokenStream whole(Stream::StreamOpen, 10, 10);
    EXPECT_EQ(MemoryStream(whole).state(), Stream::StreamOpen);
}

TEST(MemoryStreamTest, EmptyFileOpensAsEmptyMemoryStream) {
    makeDirectory("ms_dir");
    writeFile("ms_dir/empty", "");
    DiskDirectory directory("ms_dir");
    std::unique_ptr<Stream> stream(directory.openRead("empty"));
    ASSERT_NE(stream, nullptr);
    auto* memory = dynamic_cast<MemoryStream*>(stream.get());
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(memory->eof());
    char byte;
    EXPECT_EQ(memory->read(&byte, 1), 0);
}

// ---- The 32 MiB boundary ---------------------------------------------------------------------

namespace {

void makeSparseFile(const std::string& path, int32_t size) {
    FileStream out(String(path.c_str()), true);
    ASSERT_EQ(out.state(), Stream::StreamOpen);
    ASSERT_EQ(out.seek(size - 1, Stream::SeekStart), size - 1);
    ASSERT_EQ(out.write("z", 1), 1);
}

} // namespace

TEST(LargeFileTest, FileOfExactly32MiBIsServedFromDiskAtOffsetZero) {
    makeDirectory("big_dir");
    makeSparseFile("big_dir/exact", DiskDirectory::MemoryLimit);
    DiskDirectory directory("big_dir");
    std::unique_ptr<Stream> stream(directory.openRead("exact"));
    ASSERT_NE(stream, nullptr);
    ASSERT_NE(dynamic_cast<FileStream*>(stream.get()), nullptr);
    EXPECT_EQ(stream->seek(0, Stream::SeekCurrent), 0);
    EXPECT_EQ(stream->seek(0, Stream::SeekEnd), DiskDirectory::MemoryLimit);
    unlink("big_dir/exact");
}

TEST(LargeFileTest, FileOneByteBelow32MiBIsServedFromMemory) {
    makeDirectory("big_dir");
    makeSparseFile("big_dir/below", DiskDirectory::MemoryLimit - 1);
    DiskDirectory directory("big_dir");
    std::unique_ptr<Stream> stream(directory.openRead("below"));
    unlink("big_dir/below");
    ASSERT_NE(stream, nullptr);
    auto* memory = dynamic_cast<MemoryStream*>(stream.get());
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->getSize(), DiskDirectory::MemoryLimit - 1);
    EXPECT_EQ(memory->getPosition(), 0);
    memory->seek(-1, Stream::SeekEnd);
    char last = 0;
    EXPECT_EQ(memory->read(&last, 1), 1);
    EXPECT_EQ(last, 'z');
}
