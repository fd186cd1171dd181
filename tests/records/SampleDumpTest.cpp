// The dump of every sample record, compared byte for byte with the checked-in output.
// DELVEX_UPDATE_GOLDEN=1 rewrites it (review the difference before checking it in).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "RecordSamples.h"
#include "RecordTestSupport.h"

namespace {

TEST(RecordSamples, DumpMatchesGolden) {
    std::string dump;
    for (const SampleStream& s : SampleStreams()) {
        dump += "== " + s.item + "\n";
        const WalkedStream walked = Walk(s.records.Stream());
        for (TNCdRecord* r : walked.Records())
            dump += "[" + std::string(r->GetLabel()) + "]" + Dump(*r);
    }
    const std::string path = std::string(DELVEX_TEST_DATA_DIR) + "/records/samples.dump";
    if (std::getenv("DELVEX_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << dump;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(dump, golden.str());
}

} // namespace
