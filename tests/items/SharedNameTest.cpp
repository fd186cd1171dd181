// Item names are held once for all the items of one name, and only while an item holds them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "items/SharedName.h"

TEST(SharedName, OneCopyPerNameWhileHeld) {
    const std::size_t before = CSharedName::Distinct();
    std::string text = "Body";
    auto a = std::make_unique<CSharedName>(text);
    text[0] = 'X'; // the name is the pool's copy, not the caller's text
    CSharedName b("Body");
    CSharedName c("body"); // names differ by letter case
    CSharedName empty("");
    EXPECT_EQ(a->View(), "Body");
    EXPECT_EQ(a->View().data(), b.View().data());
    EXPECT_EQ(c.View(), "body");
    EXPECT_EQ(empty.View(), "");
    EXPECT_EQ(CSharedName::Distinct(), before + 3);
    a.reset();
    EXPECT_EQ(b.View(), "Body"); // still held by b
    EXPECT_EQ(CSharedName::Distinct(), before + 3);
    {
        CSharedName d("$Revisions");
        EXPECT_EQ(CSharedName::Distinct(), before + 4);
    }
    EXPECT_EQ(CSharedName::Distinct(), before + 3); // released with its last holder
}
