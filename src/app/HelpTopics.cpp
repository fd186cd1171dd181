#include "app/HelpTopics.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "tree/NodeTypes.h"

namespace help {
namespace {

// Indexed by node type id. Types 0, 4 and 36 have no name; 4 and 36 are real rows (the server
// list and a note selection) and have pages of their own, 0 shares the page of internal nodes.
constexpr std::array<std::string_view, kNodeTypeCount> kTypePages{
    "internal.html",
    "recent-databases.html",
    "local-machine.html",
    "recent-servers.html",
    "servers.html",
    "server.html",
    "machines.html",
    "server-info.html",
    "directories.html",
    "databases.html",
    "templates.html",
    "databases-any.html",
    "recent-notes.html",
    "database-info.html",
    "acl.html",
    "acl-info.html",
    "acl-entries.html",
    "roles.html",
    "design-elements.html",
    "forms.html",
    "subforms.html",
    "views.html",
    "navigators.html",
    "folders.html",
    "shared-fields.html",
    "database-icons.html",
    "acl-notes.html",
    "macros.html",
    "agent-data.html",
    "help-notes.html",
    "replication-formulas.html",
    "design-collection.html",
    "documents.html",
    "document.html",
    "deletion-stubs.html",
    "deletion-stub.html",
    "document-set.html",
    "notes-any.html",
    "document-info.html",
    "items.html",
    "cd-records.html",
    "objects.html",
    "error.html",
};

struct FamilyPage {
    std::uint32_t base;
    std::string_view page;
};
constexpr FamilyPage kFamilyPages[] = {
    {kRichTextBase, "rich-text.html"},
    {kNavigatorDrawingBase, "navigator-drawing.html"},
    {kQueryBase, "query.html"},
    {kActionBase, "action.html"},
    {kNavigatorDatasetBase, "navigator-dataset.html"},
};

// Item numbers are 16 bits: the item type, or one of the numbers chosen for special texts.
constexpr std::uint32_t kItemSpan = 0x10000;

} // namespace

std::string_view PageOfType(unsigned typeId) {
    return typeId < kTypePages.size() ? kTypePages[typeId] : kContentsPage;
}

std::string RecordAnchor(std::uint16_t signature) {
    char text[16];
    std::snprintf(text, sizeof text, "sig-%04X", unsigned(signature));
    return text;
}

HelpTopic TopicForContext(std::uint32_t context) {
    if (context == 0)
        return {std::string(kContentsPage), {}};
    for (unsigned id = 0; id < kNodeTypeCount; ++id) {
        if (TypeHelpContext(id) == context)
            return {std::string(kTypePages[id]), {}};
    }
    for (const FamilyPage& f : kFamilyPages) {
        if (context >= f.base && context - f.base <= 0xFFFF)
            return {std::string(f.page), RecordAnchor(std::uint16_t(context - f.base))};
    }
    const std::uint32_t items = TypeHelpContext(nodetype::kItems) + 1;
    if (context >= items && context - items < kItemSpan)
        return {std::string(kTypePages[nodetype::kItems]), {}};
    return {std::string(kContentsPage), {}};
}

std::span<const std::string_view> Pages() {
    static const std::vector<std::string_view> pages = [] {
        std::vector<std::string_view> all{kContentsPage};
        auto add = [&all](std::string_view p) {
            if (std::find(all.begin(), all.end(), p) == all.end())
                all.push_back(p);
        };
        for (std::string_view p : kTypePages)
            add(p);
        for (const FamilyPage& f : kFamilyPages)
            add(f.page);
        return all;
    }();
    return pages;
}

} // namespace help
