// Replays every saved fuzz input through the same reader entry points the fuzzers call, so that
// an input which once crashed or tripped a check stays fixed in the ordinary test build.
#include "fuzz/targets.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

size_t replay(const char* target) {
    FuzzTarget run = fuzzTargetNamed(target);
    if (run == nullptr)
        return 0;
    std::filesystem::path directory =
        std::filesystem::path(PELMORA_SOURCE_DIR) / "fuzz" / "corpus" / target;
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        run(bytes.data(), bytes.size());
        ++count;
    }
    return count;
}

} // namespace

TEST(FuzzReplayTest, TextureInputs) {
    EXPECT_GT(replay("texture"), 0u);
}
TEST(FuzzReplayTest, ChunkFileInputs) {
    EXPECT_GT(replay("chunkfile"), 0u);
}
TEST(FuzzReplayTest, FontInputs) {
    EXPECT_GT(replay("font"), 0u);
}
TEST(FuzzReplayTest, ConfigInputs) {
    EXPECT_GT(replay("config"), 0u);
}
TEST(FuzzReplayTest, MemoryStreamInputs) {
    EXPECT_GT(replay("memorystream"), 0u);
}

TEST(FuzzReplayTest, EveryCorpusFolderHasATarget) {
    std::filesystem::path corpus = std::filesystem::path(PELMORA_SOURCE_DIR) / "fuzz" / "corpus";
    for (const auto& entry : std::filesystem::directory_iterator(corpus))
        EXPECT_NE(fuzzTargetNamed(entry.path().filename().string().c_str()), nullptr)
            << entry.path();
}
