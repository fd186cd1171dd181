// The compute family over open notes: handles and the formula engine's statuses.
#include "VltTestSupport.h"
#include "store/api/Formula.h"
#include "store/api/Notes.h"

using namespace store;
using namespace vlttest;

TEST(Compute, StatusesOfTheEngineAndOfHandlesArePassedOn) {
    const std::uint8_t bytes[] = {0, 0, 0, 0};
    ComputeHandle c = 5;
    const Status started = ComputeStart(bytes, sizeof bytes, &c);
    if (started != kNoError) {
        EXPECT_EQ(c, 0u); // a formula the engine refuses gives no computation
    } else {
        EXPECT_EQ(ComputeStop(c), kNoError);
    }
    EXPECT_EQ(ComputeStop(c), kInvalidHandle);
    MemHandle result = 9;
    EXPECT_EQ(ComputeEvaluate(c, 0, &result, nullptr, nullptr), kInvalidHandle);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(ComputeStart(nullptr, 4, &c), kInvalidArgument);
}
