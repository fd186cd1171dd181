// Help contexts to help pages: every node type, item and record context reaches a page that is
// really there, at an anchor that is really on it; the pages link only to pages that exist.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "app/HelpTopics.h"
#include "records/CdRecord.h"
#include "records/RecordFactory.h"
#include "records/RecordKind.h"
#include "records/RecordStream.h"
#include "records/SignatureTables.h"
#include "tree/NodeTypes.h"

namespace {

const std::filesystem::path kHelpDir =
    std::filesystem::path(DELVEX_TEST_DATA_DIR) / ".." / ".." / "docs" / "help";

std::string ReadPage(std::string_view page) {
    std::ifstream in(kHelpDir / std::string(page), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TitleOf(const std::string& html) {
    const std::size_t start = html.find("<title>");
    if (start == std::string::npos)
        return {};
    const std::size_t end = html.find('<', start + 7);
    return end == std::string::npos ? std::string() : html.substr(start + 7, end - start - 7);
}

// The page part (before any '#') of every link.
std::vector<std::string> LinkTargets(const std::string& html) {
    constexpr std::string_view kHref = "href=\"";
    std::vector<std::string> targets;
    for (std::size_t pos = html.find(kHref); pos != std::string::npos;
         pos = html.find(kHref, pos)) {
        pos += kHref.size();
        const std::size_t end = html.find_first_of("\"#", pos);
        targets.push_back(html.substr(pos, end == std::string::npos ? end : end - pos));
    }
    return targets;
}

bool HasAnchor(const std::string& html, const std::string& anchor) {
    return html.find("name=\"" + anchor + "\"") != std::string::npos;
}

// The named signatures of a table, following its continuation into the table it links to.
std::vector<std::uint16_t> Signatures(const SymbolEntry* table) {
    std::vector<std::uint16_t> out;
    for (const SymbolEntry* row = table; row;) {
        if (row->mask == kSymbolDirective) {
            row = row->value == kSymbolContinue ? row->next : row + 1;
            continue;
        }
        if (!row->name)
            break;
        out.push_back(std::uint16_t(row->value));
        ++row;
    }
    return out;
}

// A record node as its factory makes it for a stream of that kind.
std::unique_ptr<TNCdRecord> MakeRecord(std::uint16_t kind, std::uint16_t signature,
                                       std::vector<std::uint8_t>& bytes) {
    bytes.assign(64, 0);
    RecordSpan span;
    span.record = bytes.data();
    span.signature = signature;
    span.length = std::uint32_t(bytes.size());
    span.available = bytes.size();
    span.headerSize = (signature >> 8) == 0xFF ? 4 : (signature >> 8) == 0 ? 6 : 2;
    return std::unique_ptr<TNCdRecord>(MakeRecordFactory(kind)->Create(span, nullptr));
}

TEST(HelpTopicsTest, EveryNodeTypeOpensItsOwnExistingPage) {
    std::set<std::string> namedPages;
    for (unsigned id = 0; id < kNodeTypeCount; ++id) {
        SCOPED_TRACE(id);
        const HelpTopic topic = help::TopicForContext(TypeHelpContext(id));
        EXPECT_EQ(topic.page, help::PageOfType(id));
        EXPECT_TRUE(topic.anchor.empty());
        const std::string html = ReadPage(topic.page);
        ASSERT_FALSE(html.empty()) << topic.page << " is missing";
        // A named type's page carries the name the tree shows, and no two named types share one.
        if (const char* name = NodeTypeOf(id).name) {
            EXPECT_EQ(TitleOf(html), name);
            EXPECT_TRUE(namedPages.insert(topic.page).second) << topic.page;
        }
        EXPECT_NE(topic.page, help::kContentsPage);
    }
}

TEST(HelpTopicsTest, RecordContextsOpenTheirFamilyPageAtTheRecord) {
    struct Family {
        std::uint16_t kind;
        const SymbolEntry* table;
        std::uint32_t base;
        const char* page;
    };
    const Family families[] = {
        {kStreamKindComposite, kRichTextSignatures, help::kRichTextBase, "rich-text.html"},
        {kStreamKindLayout, kLayoutSignatures, help::kNavigatorDrawingBase,
         "navigator-drawing.html"},
        {kStreamKindQuery, kQuerySignatures, help::kQueryBase, "query.html"},
        {kStreamKindAction, kActionSignatures, help::kActionBase, "action.html"},
    };
    for (const Family& f : families) {
        const std::string html = ReadPage(f.page);
        ASSERT_FALSE(html.empty()) << f.page;
        for (std::uint16_t sig : Signatures(f.table)) {
            SCOPED_TRACE(sig);
            // The context the record node itself reports, decoded class or generic. The classes
            // shared by both streams are rich-text records wherever they occur.
            std::vector<std::uint8_t> bytes;
            auto node = MakeRecord(f.kind, sig, bytes);
            ASSERT_TRUE(node);
            const bool richText = f.kind == kStreamKindComposite || f.kind == kStreamKindLayout;
            const bool shared =
                richText && FindRecordKind(RecordScope::RichTextBase, sig) != nullptr;
            const std::uint32_t base = shared ? help::kRichTextBase : f.base;
            EXPECT_EQ(node->GetHelpContext(), base + sig);
            const HelpTopic topic = help::TopicForContext(node->GetHelpContext());
            EXPECT_EQ(topic.page, shared ? "rich-text.html" : f.page);
            EXPECT_TRUE(HasAnchor(ReadPage(topic.page), topic.anchor)) << topic.anchor;
            // Every named kind has its place on its family's page too.
            EXPECT_TRUE(HasAnchor(html, help::RecordAnchor(sig)));
        }
    }
    // A signature that no table names still opens its family page. The dataset record opens
    // its page; other dataset signatures get the plain class, whose help is that of the CD
    // Records type.
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(help::TopicForContext(MakeRecord(kStreamKindQuery, 0xFF00, bytes)->GetHelpContext()),
              (HelpTopic{"query.html", "sig-FF00"}));
    EXPECT_EQ(help::TopicForContext(MakeRecord(kStreamKindAction, 0x12, bytes)->GetHelpContext()),
              (HelpTopic{"action.html", "sig-0012"}));
    EXPECT_EQ(
        help::TopicForContext(MakeRecord(kStreamKindDataset, 0xFF57, bytes)->GetHelpContext()),
        (HelpTopic{"navigator-dataset.html", "sig-FF57"}));
    EXPECT_TRUE(HasAnchor(ReadPage("navigator-dataset.html"), "sig-FF57"));
    EXPECT_EQ(
        help::TopicForContext(MakeRecord(kStreamKindDataset, 0xFF58, bytes)->GetHelpContext()).page,
        "cd-records.html");
}

TEST(HelpTopicsTest, ItemContextsOpenTheItemsPageAndStrayNumbersTheContents) {
    const std::uint32_t items = TypeHelpContext(nodetype::kItems) + 1;
    for (std::uint32_t number : {0x0000u, 0x0001u, 0x0501u, 1290u, 1291u, 1292u, 0xFFFFu})
        EXPECT_EQ(help::TopicForContext(items + number).page, "items.html") << number;

    const HelpTopic contents{std::string(help::kContentsPage), {}};
    const std::uint32_t stray[] = {0,
                                   1,
                                   TypeHelpContext(0) - 1,
                                   items + 0x10000,         // past the largest item number
                                   help::kRichTextBase - 1, // just below the first family
                                   help::kNavigatorDatasetBase + 0x10000,
                                   0xFFFFFFFFu};
    for (std::uint32_t context : stray)
        EXPECT_EQ(help::TopicForContext(context), contents) << std::hex << context;
}

TEST(HelpTopicsTest, PagesExistAndLinkOnlyToPagesThatExist) {
    const auto pages = help::Pages();
    const std::set<std::string> known(pages.begin(), pages.end());
    // Every page file on disk is reachable through the mapping, so none is forgotten.
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() == ".html") {
            EXPECT_TRUE(known.count(entry.path().filename().string())) << entry.path();
        }
    }
    std::set<std::string> linkedFromContents;
    for (std::string_view page : pages) {
        const std::string html = ReadPage(page);
        ASSERT_FALSE(html.empty()) << page;
        EXPECT_FALSE(TitleOf(html).empty()) << page;
        for (const std::string& target : LinkTargets(html)) {
            EXPECT_TRUE(known.count(target)) << page << " links to " << target;
            if (page == help::kContentsPage)
                linkedFromContents.insert(target);
        }
    }
    // The contents page leads to every other page.
    for (std::string_view page : pages) {
        if (page != help::kContentsPage) {
            EXPECT_TRUE(linkedFromContents.count(std::string(page))) << page;
        }
    }
}

} // namespace
