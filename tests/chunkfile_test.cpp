// The chunk-file container and its font kind: header, table, chunks, and damaged files.
#include "resources/ChunkFile.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/FontFile.h"
#include "resources/MemoryStream.h"
#include "resources/formats/GlfFormat.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct TestChunk {
    uint32_t type;
    uint32_t index;
    std::string data;
};

// Header, extension, chunk data, then the table at the end; the name keeps bytes after a NUL.
std::vector<uint8_t> chunkFile(uint32_t magic, const std::vector<TestChunk>& chunks,
                               formats::Bytes extension = {}) {
    formats::ChunkFileWriter writer(magic, std::string("name\0\0\0\0tail", 12), extension);
    for (const TestChunk& chunk : chunks)
        writer.addChunk(chunk.type, chunk.index,
                        formats::Bytes(chunk.data.begin(), chunk.data.end()));
    return writer.finish();
}

void set32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    formats::writeLE32(bytes.data() + at, value);
}

bool loadBytes(ChunkFile& file, const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes.data(), int32_t(bytes.size()));
    return file.load(stream);
}

std::string chunkText(const Chunk* chunk) {
    return chunk ? std::string(chunk->data.begin(), chunk->data.end()) : "<null>";
}

const uint32_t TypeA = fourCC('A', 'A', 'A', 'A');
const uint32_t TypeB = fourCC('B', 'B', 'B', 'B');

} // namespace

// ---- Well-formed files -----------------------------------------------------------------------

TEST(ChunkFileTest, FourCharacterCodesReadInStorageOrder) {
    EXPECT_EQ(formats::GlfMagic, 0x76464C47u);
    EXPECT_EQ(formats::GlfChunkImage, 0x54494246u);
    EXPECT_EQ(formats::GlfChunkGlyphs, 0x53524843u);
}

TEST(ChunkFileTest, HeaderFieldsAndWholeNameAreKept) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "x"}})));
    EXPECT_TRUE(file.isValid());
    EXPECT_EQ(file.getVersion(), formats::ChunkVersion);
    ASSERT_EQ(file.getName().length(), 32);
    EXPECT_EQ(std::string(file.getName().data(), 12), std::string("name\0\0\0\0tail", 12));
}

// Written out byte by byte, not by the library's writer (which puts the table last): the table
// right after the header, its one chunk after it.
TEST(ChunkFileTest, TableBeforeTheDataIsReadFromItsOffsets) {
    std::vector<uint8_t> bytes = {'G', 'C', 'F', 'v', '0', '.', '1', ' '};
    bytes.resize(40, 'x');                                     // the name
    const uint8_t rest[] = {48,  0,   0,   0,   1,   0,  0, 0, // table offset 48, one chunk
                            'X', 'Y', 'Z', 'W', 7,   0,  0, 0, // type, index 7
                            66,  0,   0,   0,   3,   0,  0, 0, // data at 66, 3 bytes
                            '-', '-', 'a', 'b', 'c', '-'};
    bytes.insert(bytes.end(), std::begin(rest), std::end(rest));
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, bytes));
    EXPECT_EQ(file.getVersion(), fourCC('0', '.', '1', ' '));
    EXPECT_EQ(std::string(file.getName().data(), 32), std::string(32, 'x'));
    ASSERT_EQ(file.getChunks().size(), 1u);
    EXPECT_EQ(file.getChunks()[0].type, 0x575A5958u);
    EXPECT_EQ(chunkText(file.findChunk(fourCC('X', 'Y', 'Z', 'W'), 7)), "abc");
}

TEST(ChunkFileTest, NoChunksLoadsAndFindsNothing) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {})));
    EXPECT_EQ(file.getChunks().size(), 0u);
    EXPECT_EQ(file.findChunk(TypeA, 0), nullptr);
    EXPECT_EQ(file.findChunk(0, 0), nullptr);
}

TEST(ChunkFileTest, FindChunkMatchesTypeAndIndexAndAnswersTheFirstOfEqualEntries) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {{TypeA, 1, "a1"},
                                                                     {TypeB, 0, "b0"},
                                                                     {TypeA, 0, "first"},
                                                                     {TypeA, 0, "second"}})));
    EXPECT_EQ(file.getChunks().size(), 4u);
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 0)), "first");
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 1)), "a1");
    EXPECT_EQ(chunkText(file.findChunk(TypeB, 0)), "b0");
    EXPECT_EQ(file.findChunk(TypeB, 1), nullptr);
}

TEST(ChunkFileTest, SecondLoadReplacesTheChunksOfTheFirst) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "old"}})));
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {{TypeB, 0, "new"}})));
    EXPECT_EQ(file.getChunks().size(), 1u);
    EXPECT_EQ(file.findChunk(TypeA, 0), nullptr);
    EXPECT_EQ(chunkText(file.findChunk(TypeB, 0)), "new");
}

TEST(ChunkFileTest, MagicIsNotExaminedByLoadButByIsValid) {
    ChunkFile plain;
    ASSERT_TRUE(loadBytes(plain, chunkFile(formats::GlfMagic, {{TypeA, 0, "x"}})));
    EXPECT_FALSE(plain.isValid());
    FontFile font;
    EXPECT_TRUE(font.isValid()); // before any load, the kind's own magic
    formats::GlfExtension fields;
    fields.unitSize = 32;
    fields.reserved1 = 7;
    fields.reserved2 = 9;
    formats::Bytes extension = formats::writeGlfExtension(fields);
    ASSERT_TRUE(loadBytes(font, chunkFile(formats::GlfMagic, {{TypeA, 0, "x"}}, extension)));
    EXPECT_TRUE(font.isValid());
    EXPECT_EQ(font.getUnitSize(), 32u);
    EXPECT_EQ(chunkText(font.findChunk(TypeA, 0)), "x");
}

TEST(ChunkFileTest, LoadsByResourceNameThroughTheFileSystem) {
    mkdir("chunk_dir", 0755);
    std::vector<uint8_t> bytes = chunkFile(formats::ChunkMagicPlain, {{TypeA, 3, "on disk"}});
    testsupport::writeFile("chunk_dir/file.gcf", bytes);
    FileSystem::instance()->addSource("chunks/", new DiskDirectory("chunk_dir"));
    ChunkFile file;
    ASSERT_TRUE(file.load(String("chunks/file.gcf")));
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 3)), "on disk");
    EXPECT_FALSE(file.load(String("chunks/missing.gcf")));
    EXPECT_EQ(file.getChunks().size(), 0u);
}

// ---- Damaged files ---------------------------------------------------------------------------

TEST(ChunkFileDamageTest, HeaderOf47BytesFails) {
    std::vector<uint8_t> bytes = chunkFile(formats::ChunkMagicPlain, {});
    bytes.resize(47);
    ChunkFile file;
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, FontFileWithShortExtensionFails) {
    std::vector<uint8_t> bytes = chunkFile(formats::GlfMagic, {});
    bytes.resize(48 + 11);
    FontFile font;
    EXPECT_FALSE(loadBytes(font, bytes));
}

TEST(ChunkFileDamageTest, TableBeyondTheEndIsRefusedAndLeavesNoChunks) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "kept?"}})));
    std::vector<uint8_t> bytes = chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "abc"}});
    set32(bytes, 44, 2); // one entry more than the table holds
    EXPECT_FALSE(loadBytes(file, bytes));
    EXPECT_EQ(file.getChunks().size(), 0u);
    set32(bytes, 44, 1);
    set32(bytes, 40, 0xFFFFFFF8u); // table offset past the end, wrapping if added in 32 bits
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, ChunkCountThatCannotBeHeldIsRefused) {
    std::vector<uint8_t> bytes = chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "abc"}});
    set32(bytes, 44, 0x10000001u); // x16 wraps to 16 in 32 bits
    ChunkFile file;
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, ChunkDataBeyondTheEndIsRefused) {
    std::vector<uint8_t> bytes = chunkFile(formats::ChunkMagicPlain, {{TypeA, 0, "abc"}});
    size_t entry = bytes.size() - 16;
    ChunkFile file;
    set32(bytes, entry + 12, 0x7FFFFFFFu);
    EXPECT_FALSE(loadBytes(file, bytes));
    set32(bytes, entry + 12, 3);
    set32(bytes, entry + 8, uint32_t(bytes.size()) - 2);
    EXPECT_FALSE(loadBytes(file, bytes));
    set32(bytes, entry + 8, 0xFFFFFFFFu);
    EXPECT_FALSE(loadBytes(file, bytes));
    set32(bytes, entry + 8, uint32_t(bytes.size()) - 3); // the last three bytes: still inside
    EXPECT_TRUE(loadBytes(file, bytes));
}
