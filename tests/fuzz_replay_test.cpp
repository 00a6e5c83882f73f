// Replays every saved fuzz input through the same reader entry points the fuzzers call, so that
// an input which once crashed or tripped a check stays fixed in the ordinary test build.
#include "fuzz/targets.h"
#include "tests/support/TestSupport.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Runs every input in fuzz/corpus/<folder> through the target; answers how many ran.
size_t replay(const char* target, const char* folder) {
    FuzzTarget run = fuzzTargetNamed(target);
    if (run == nullptr)
        return 0;
    std::filesystem::path directory =
        std::filesystem::path(PELMORA_SOURCE_DIR) / "fuzz" / "corpus" / folder;
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (!entry.is_regular_file())
            continue;
        std::vector<uint8_t> bytes = testsupport::readFile<std::vector<uint8_t>>(entry.path());
        SCOPED_TRACE(entry.path().string());
        run(bytes.data(), bytes.size());
        ++count;
    }
    return count;
}

} // namespace

struct Replay {
    const char* target;
    const char* folder; // the GL targets run the seeds of the readers they load through
};

void PrintTo(const Replay& replay, std::ostream* out) {
    *out << replay.target << " on corpus/" << replay.folder;
}

class FuzzReplayTest : public testing::TestWithParam<Replay> {};

TEST_P(FuzzReplayTest, CorpusRunsClean) {
    EXPECT_GT(replay(GetParam().target, GetParam().folder), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzReplayTest,
    testing::Values(Replay{"texture", "texture"}, Replay{"texture_gl", "texture"},
                    Replay{"chunkfile", "chunkfile"}, Replay{"font", "font"},
                    Replay{"font_gl", "font"}, Replay{"config", "config"},
                    Replay{"memorystream", "memorystream"}, Replay{"png", "png"}),
    [](const testing::TestParamInfo<Replay>& info) { return std::string(info.param.target); });

TEST(FuzzCorpusTest, EveryFolderHasATarget) {
    std::filesystem::path corpus = std::filesystem::path(PELMORA_SOURCE_DIR) / "fuzz" / "corpus";
    for (const auto& entry : std::filesystem::directory_iterator(corpus))
        EXPECT_NE(fuzzTargetNamed(entry.path().filename().string().c_str()), nullptr)
            << entry.path();
}
