#include <gtest/gtest.h>

#include <cstdio>

#include "RecordSamples.h"
#include "RecordTestSupport.h"

namespace {

TEST(RecordSamples, PrintForInspection) {
    if (!std::getenv("DELVEX_PRINT_RECORDS"))
        GTEST_SKIP();
    for (const SampleStream& s : SampleStreams()) {
        std::printf("== %s\n", s.item.c_str());
        const WalkedStream walked = Walk(s.records.Stream());
        for (TNCdRecord* r : walked.Records())
            std::printf("[%s]\n%s", std::string(r->GetLabel()).c_str(), Dump(*r).c_str());
    }
}

} // namespace
