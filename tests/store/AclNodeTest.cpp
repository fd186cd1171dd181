// Access control list nodes: entries, roles and privileges, the list's information, and the
// lists that are missing or cannot be walked to the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "StoreTestSupport.h"
#include "store/TNAcl.h"
#include "store/TNAclEntry.h"
#include "store/TNAclInfo.h"
#include "store/TNAclRole.h"
#include "store/TNDatabase.h"
#include "store/api/Conversions.h"
#include "support/FakeTree.h"
#include "tree/CancelProbe.h"
#include "tree/TNError.h"

using storetest::ChildLabels;
using storetest::Describe;
using storetest::Has;
namespace vb = vlt::builder;

namespace {

CDocNode* ChildLabelled(CTreeListNode* node, std::string_view label) {
    for (CTreeListNode* c = node->GetFirstChild(); c; c = c->GetNextSibling())
        if (c->GetLabel() == label)
            return dynamic_cast<CDocNode*>(c);
    return nullptr;
}

struct Fixture {
    fake::Tree tree;
    TNDatabase* db;
    TNAcl* acl = nullptr;

    explicit Fixture(const std::string& path) {
        db = new TNDatabase(&tree.doc, "Acl", path.c_str(), nodetype::kDatabases);
        tree.control.AddRoot(db);
        tree.control.Expand(db);
        for (CTreeListNode* c = db->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* a = dynamic_cast<TNAcl*>(c))
                acl = a;
    }
};

store::ACL_PRIVILEGES Roles(std::initializer_list<unsigned> bits) {
    store::ACL_PRIVILEGES p{};
    for (unsigned b : bits)
        p.bits[b / 8] |= std::uint8_t(1u << (b % 8));
    return p;
}

TEST(AclNodes, SampleListInOrder) {
    Fixture f(storetest::SamplePath("secure.vlt"));
    ASSERT_NE(f.acl, nullptr);
    EXPECT_EQ(f.acl->GetLabel(), "Access Control List");
    f.tree.control.Expand(f.acl);
    EXPECT_EQ(
        ChildLabels(f.acl),
        (std::vector<std::string>{"ACL Info", "-Default-", "Ada Quill/Fernbrook", "Auditors",
                                  "Ben Tiller/Fernbrook", "Hub/Fernbrook", "[Auditors]",
                                  "[Payroll]", "[Staff]", "CreateDocuments", "DeleteDocuments"}))
        << "sorted by type, then by label without letter case";
}

TEST(AclNodes, UnheldPrivilegesUndefinedRolesAndEmptyHistory) {
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    vb::AclDesc acl;
    acl.roles = {{0, "Create"}, {2, "Unheld"}, {5, "[Nobody]"}, {9, "[Some]"}};
    acl.entries = {{"-Default-", 2, Roles({0, 9, 11}), 0}, {"CN=Cy/O=X", 6, Roles({}), 0x0002}};
    desc.acl = acl;
    storetest::TempDatabase file(desc, "acl-roles");
    Fixture f(file.Path());
    ASSERT_NE(f.acl, nullptr);
    f.tree.control.Expand(f.acl);
    // Privilege 2 is named but held by nobody; role 11 is held but undefined (skipped).
    EXPECT_EQ(ChildLabels(f.acl), (std::vector<std::string>{"ACL Info", "-Default-", "Cy/X",
                                                            "[Nobody]", "[Some]", "Create"}));
    EXPECT_FALSE(Has(Describe(*ChildLabelled(f.acl, "[Nobody]")), "members"));
    const std::string def = Describe(*ChildLabelled(f.acl, "-Default-"));
    EXPECT_TRUE(Has(def, "Unable to get privilege name #11")) << def;
    const std::string info = Describe(*ChildLabelled(f.acl, "ACL Info"));
    EXPECT_FALSE(Has(info, "history")) << info;
    EXPECT_TRUE(Has(info, "(admin-server \"\")")) << info;
    EXPECT_TRUE(Has(Describe(*ChildLabelled(f.acl, "Cy/X")), "Server"));
}

TEST(AclNodes, MissingListAndCancelledWalk) {
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    storetest::TempDatabase none(desc, "no-acl");
    Fixture f(none.Path());
    ASSERT_NE(f.acl, nullptr);
    f.tree.control.Expand(f.acl);
    ASSERT_EQ(f.acl->ChildCount(), 1u);
    auto* error = dynamic_cast<TNError*>(f.acl->GetFirstChild());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetStatus(), store::kNotAvailable);
    EXPECT_TRUE(error->GetLabel().starts_with("No ACL in the database")) << error->GetLabel();

    Fixture g(storetest::SamplePath("secure.vlt"));
    ASSERT_NE(g.acl, nullptr);
    int asked = 0;
    {
        CScopedCancelProbe probe([](void* n) { return ++*static_cast<int*>(n) > 2; }, &asked);
        g.tree.control.Expand(g.acl);
    }
    int entries = 0, cancels = 0;
    for (CTreeListNode* c = g.acl->GetFirstChild(); c; c = c->GetNextSibling()) {
        entries += dynamic_cast<TNAclEntry*>(c) != nullptr;
        if (auto* e = dynamic_cast<TNError*>(c))
            cancels += e->GetStatus() == store::kCancelled;
    }
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(cancels, 1);
    // Collapsing frees the list; the next expansion reads it again.
    g.tree.control.Collapse(g.acl);
    g.tree.control.Expand(g.acl);
    EXPECT_EQ(g.acl->ChildCount(), 11u);
}

// A list of 100,000 entries is listed and written whole: no entry is lost to a short count,
// and writing an entry's privileges does not walk the whole list again for each of them.
TEST(AclNodes, AHundredThousandEntriesAreListedAndWrittenInFull) {
    constexpr unsigned kEntries = 100000;
    vb::DatabaseDesc desc;
    store::CurrentTime(&desc.id);
    vb::AclDesc acl;
    acl.roles = {{0, "CreateDocuments"}, {5, "[Even]"}, {6, "[Odd]"}, {79, "[Last]"}};
    acl.entries.reserve(kEntries);
    for (unsigned i = 0; i < kEntries; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "CN=User %06u/O=Org", i);
        acl.entries.push_back(
            {name, std::uint16_t(i % 7), Roles({0, i % 2 ? 6u : 5u, 79}), std::uint16_t(0x0020)});
    }
    desc.acl = std::move(acl);
    storetest::TempDatabase file(desc, "acl-many");
    Fixture f(file.Path());
    ASSERT_NE(f.acl, nullptr);
    f.tree.control.Expand(f.acl);

    std::vector<TNAclEntry*> entries;
    std::vector<TNAclRole*> roles;
    for (CTreeListNode* c = f.acl->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (auto* e = dynamic_cast<TNAclEntry*>(c))
            entries.push_back(e);
        if (auto* r = dynamic_cast<TNAclRole*>(c))
            roles.push_back(r);
    }
    ASSERT_EQ(entries.size(), kEntries);
    ASSERT_EQ(roles.size(), 4u);
    EXPECT_EQ(entries.front()->GetLabel(), "User 000000/Org");
    EXPECT_EQ(entries.back()->GetLabel(), "User 099999/Org");

    std::size_t privileges = 0;
    std::string first, last;
    for (TNAclEntry* e : entries) {
        const std::string text = Describe(*e);
        privileges += Has(text, "(privileges");
        if (e == entries.front())
            first = text;
        if (e == entries.back())
            last = text;
    }
    EXPECT_EQ(privileges, kEntries);
    for (const char* part : {"(name \"CN=User 000000/O=Org\")", "(access-level NoAccess)",
                             "\"CreateDocuments\"", "\"[Even]\"", "\"[Last]\""})
        EXPECT_TRUE(Has(first, part)) << part << "\n" << first;
    EXPECT_FALSE(Has(first, "[Odd]")) << first;
    for (const char* part :
         {"(name \"CN=User 099999/O=Org\")", "(access-level Editor)", "\"[Odd]\"", "\"[Last]\""})
        EXPECT_TRUE(Has(last, part)) << part << "\n" << last;

    // Every role lists its members; the odd role the odd half of the entries.
    const std::string odd = Describe(*ChildLabelled(f.acl, "[Odd]"));
    EXPECT_TRUE(Has(odd, "\"CN=User 000001/O=Org\"")) << odd.substr(0, 400);
    EXPECT_TRUE(Has(odd, "\"CN=User 099999/O=Org\""));
    EXPECT_FALSE(Has(odd, "\"CN=User 099998/O=Org\""));
    const std::string all = Describe(*ChildLabelled(f.acl, "[Last]"));
    std::size_t members = 0;
    for (std::size_t at = all.find("\"CN=User "); at != std::string::npos;
         at = all.find("\"CN=User ", at + 1))
        ++members;
    EXPECT_EQ(members, kEntries);
}

TEST(AclNodes, EntryLabelsAndImages) {
    const store::ACL_PRIVILEGES none{};
    TNAclEntry def(0, "-Default-", 9, none, 0);
    EXPECT_EQ(def.GetLabel(), "-Default-");
    EXPECT_EQ(def.GetImage()->strip, 0);
    TNAclEntry plain(0, "Plain Name", 4, none, 0);
    EXPECT_EQ(plain.GetLabel(), "Plain Name");
    EXPECT_EQ(plain.GetImage()->strip, 4);
    EXPECT_TRUE(HasRole(Roles({79}), 79));
    EXPECT_FALSE(HasRole(Roles({79}), 78));
    EXPECT_FALSE(HasRole(Roles({79}), 80));
}

} // namespace
