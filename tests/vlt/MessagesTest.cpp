#include <gtest/gtest.h>

#include <set>
#include <string>

#include "store/api/Status.h"

using namespace store;

TEST(Messages, EveryStatusHasAText) {
    const Status all[] = {
        kInvalidTime,      kCancelled,          kNoMoreItems,         kNoModifiedNotes,
        kNotAvailable,     kRoleUndefined,      kFormulaSyntax,       kNotInitialized,
        kInvalidHandle,    kInvalidArgument,    kBufferTooSmall,      kOutOfMemory,
        kNotImplemented,   kInternalError,      kFileNotFound,        kNotADatabase,
        kDatabaseCorrupt,  kFileAccess,         kIsDirectory,         kBadPath,
        kTooManyOpen,      kUnsupportedVersion, kNoteNotFound,        kNoteDeleted,
        kObjectNotFound,   kBadRange,           kDesignNotFound,      kBadValue,
        kNoSuchInfoField,  kServerUnknown,      kServerNotResponding, kBadName,
        kFormulaDamaged,   kFormulaRuntime,     kFormulaTooComplex,   kServerRefused,
        kServerNotTrusted,
    };
    std::set<std::string> texts;
    for (Status s : all) {
        char buffer[200];
        std::size_t length = 0;
        ASSERT_EQ(MessageText(s, buffer, sizeof buffer, &length), kNoError) << s;
        EXPECT_GT(length, 3u) << s;
        EXPECT_EQ(length, std::string(buffer).size());
        texts.insert(buffer);
        // The displayed and remote bits do not change the message.
        char flagged[200];
        MessageText(Status(s | kStatusDisplayed | kStatusRemote), flagged, sizeof flagged);
        EXPECT_STREQ(flagged, buffer);
    }
    // One text per message number.
    EXPECT_EQ(texts.size(), std::size(all));
}

TEST(Messages, UnknownStatusAndSmallBuffers) {
    char buffer[8] = "x";
    std::size_t length = 5;
    EXPECT_EQ(MessageText(MakeStatus(2, 0x10), buffer, sizeof buffer, &length), kInvalidArgument);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(MessageText(kBadPath, buffer, sizeof buffer, &length), kNoError);
    EXPECT_STREQ(buffer, "Invalid");
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(MessageText(kBadPath, nullptr, 0, &length), kNoError);
    EXPECT_EQ(length, 0u);
}
