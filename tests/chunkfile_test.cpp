// The chunk-file container and its font kind: header, table, chunks, and damaged files.
#include "resources/ChunkFile.h"
#include "resources/DiskDirectory.h"
#include "resources/FileStream.h"
#include "resources/FileSystem.h"
#include "resources/FontFile.h"
#include "resources/MemoryStream.h"
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

void put32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(value >> (8 * i)));
}

// Header, extension, chunk data, then the table at the end.
std::vector<uint8_t> chunkFile(uint32_t magic, const std::vector<TestChunk>& chunks,
                               std::vector<uint8_t> extension = {}) {
    std::vector<uint8_t> bytes;
    put32(bytes, magic);
    put32(bytes, ChunkFile::VersionCurrent);
    std::string name = std::string("name") + std::string(4, '\0') + "tail";
    name.resize(32, 'n');
    bytes.insert(bytes.end(), name.begin(), name.end());
    put32(bytes, 0); // table offset, patched below
    put32(bytes, uint32_t(chunks.size()));
    bytes.insert(bytes.end(), extension.begin(), extension.end());
    std::vector<uint32_t> offsets;
    for (const TestChunk& chunk : chunks) {
        offsets.push_back(uint32_t(bytes.size()));
        bytes.insert(bytes.end(), chunk.data.begin(), chunk.data.end());
    }
    uint32_t table = uint32_t(bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes[40 + i] = uint8_t(table >> (8 * i));
    for (size_t i = 0; i < chunks.size(); ++i) {
        put32(bytes, chunks[i].type);
        put32(bytes, chunks[i].index);
        put32(bytes, offsets[i]);
        put32(bytes, uint32_t(chunks[i].data.size()));
    }
    return bytes;
}

void set32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = uint8_t(value >> (8 * i));
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
    EXPECT_EQ(FontFile::MagicFont, 0x76464C47u);
    EXPECT_EQ(FontFile::ChunkImage, 0x54494246u);
    EXPECT_EQ(FontFile::ChunkGlyphs, 0x53524843u);
}

TEST(ChunkFileTest, HeaderFieldsAndWholeNameAreKept) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "x"}})));
    EXPECT_TRUE(file.isValid());
    EXPECT_EQ(file.getVersion(), ChunkFile::VersionCurrent);
    ASSERT_EQ(file.getName().length(), 32);
    EXPECT_EQ(std::string(file.getName().data(), 12), std::string("name\0\0\0\0tail", 12));
}

TEST(ChunkFileTest, NoChunksLoadsAndFindsNothing) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {})));
    EXPECT_EQ(file.getChunkCount(), 0u);
    EXPECT_EQ(file.findChunk(TypeA, 0), nullptr);
    EXPECT_EQ(file.findChunk(0, 0), nullptr);
}

TEST(ChunkFileTest, FindChunkMatchesTypeAndIndexAndAnswersTheFirstOfEqualEntries) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {{TypeA, 1, "a1"},
                                                                  {TypeB, 0, "b0"},
                                                                  {TypeA, 0, "first"},
                                                                  {TypeA, 0, "second"}})));
    EXPECT_EQ(file.getChunkCount(), 4u);
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 0)), "first");
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 1)), "a1");
    EXPECT_EQ(chunkText(file.findChunk(TypeB, 0)), "b0");
    EXPECT_EQ(file.findChunk(TypeB, 1), nullptr);
}

TEST(ChunkFileTest, SecondLoadReplacesTheChunksOfTheFirst) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "old"}})));
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {{TypeB, 0, "new"}})));
    EXPECT_EQ(file.getChunkCount(), 1u);
    EXPECT_EQ(file.findChunk(TypeA, 0), nullptr);
    EXPECT_EQ(chunkText(file.findChunk(TypeB, 0)), "new");
}

TEST(ChunkFileTest, MagicIsNotExaminedByLoadButByIsValid) {
    ChunkFile plain;
    ASSERT_TRUE(loadBytes(plain, chunkFile(FontFile::MagicFont, {{TypeA, 0, "x"}})));
    EXPECT_FALSE(plain.isValid());
    FontFile font;
    EXPECT_TRUE(font.isValid()); // before any load, the kind's own magic
    std::vector<uint8_t> extension;
    put32(extension, 32);
    put32(extension, 7);
    put32(extension, 9);
    ASSERT_TRUE(loadBytes(font, chunkFile(FontFile::MagicFont, {{TypeA, 0, "x"}}, extension)));
    EXPECT_TRUE(font.isValid());
    EXPECT_EQ(font.getUnitSize(), 32u);
    EXPECT_EQ(chunkText(font.findChunk(TypeA, 0)), "x");
}

TEST(ChunkFileTest, LoadsByResourceNameThroughTheFileSystem) {
    mkdir("chunk_dir", 0755);
    std::vector<uint8_t> bytes = chunkFile(ChunkFile::MagicPlain, {{TypeA, 3, "on disk"}});
    {
        FileStream out("chunk_dir/file.gcf", true);
        ASSERT_EQ(out.write(bytes.data(), int32_t(bytes.size())), int32_t(bytes.size()));
    }
    FileSystem::instance()->addSource("chunks/", new DiskDirectory("chunk_dir"));
    ChunkFile file;
    ASSERT_TRUE(file.load(String("chunks/file.gcf")));
    EXPECT_EQ(chunkText(file.findChunk(TypeA, 3)), "on disk");
    EXPECT_FALSE(file.load(String("chunks/missing.gcf")));
    EXPECT_EQ(file.getChunkCount(), 0u);
}

// ---- Damaged files ---------------------------------------------------------------------------

TEST(ChunkFileDamageTest, HeaderOf47BytesFails) {
    std::vector<uint8_t> bytes = chunkFile(ChunkFile::MagicPlain, {});
    bytes.resize(47);
    ChunkFile file;
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, FontFileWithShortExtensionFails) {
    std::vector<uint8_t> bytes = chunkFile(FontFile::MagicFont, {});
    bytes.resize(48 + 11);
    FontFile font;
    EXPECT_FALSE(loadBytes(font, bytes));
}

TEST(ChunkFileDamageTest, TableBeyondTheEndIsRefusedAndLeavesNoChunks) {
    ChunkFile file;
    ASSERT_TRUE(loadBytes(file, chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "kept?"}})));
    std::vector<uint8_t> bytes = chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "abc"}});
    set32(bytes, 44, 2); // one entry more than the table holds
    EXPECT_FALSE(loadBytes(file, bytes));
    EXPECT_EQ(file.getChunkCount(), 0u);
    set32(bytes, 44, 1);
    set32(bytes, 40, 0xFFFFFFF8u); // table offset past the end, wrapping if added in 32 bits
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, ChunkCountThatCannotBeHeldIsRefused) {
    std::vector<uint8_t> bytes = chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "abc"}});
    set32(bytes, 44, 0x10000001u); // x16 wraps to 16 in 32 bits
    ChunkFile file;
    EXPECT_FALSE(loadBytes(file, bytes));
}

TEST(ChunkFileDamageTest, ChunkDataBeyondTheEndIsRefused) {
    std::vector<uint8_t> bytes = chunkFile(ChunkFile::MagicPlain, {{TypeA, 0, "abc"}});
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
