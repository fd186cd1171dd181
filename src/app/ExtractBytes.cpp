#include "app/ExtractBytes.h"

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "tree/Cancel.h"
#include "tree/TypedNode.h"
#include "treelist/TreeWalker.h"

namespace extract {
namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view s) {
    std::string f(s);
    for (char& c : f)
        c = Fold(c);
    return f;
}

// Cuts to at most n bytes without splitting a UTF-8 sequence.
std::string CutAt(std::string s, std::size_t n) {
    if (s.size() <= n)
        return s;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    s.resize(n);
    return s;
}

std::string Trimmed(std::string s) {
    const auto bad = [](char c) { return c == ' ' || c == '.'; };
    std::size_t b = 0, e = s.size();
    while (b < e && bad(s[b]))
        ++b;
    while (e > b && bad(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

} // namespace

std::string SafeFileName(std::string_view label) {
    std::string name;
    for (char c : label) {
        const auto u = static_cast<unsigned char>(c);
        name += (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':') ? '_' : c;
    }
    name = Trimmed(CutAt(Trimmed(name), kMaxNameLength));
    return name.empty() ? "_" : name;
}

std::string UniqueFileName(std::string_view label, std::set<std::string>& taken) {
    const std::string base = SafeFileName(label);
    std::string name = base;
    for (unsigned n = 2; !taken.insert(Folded(name)).second; ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        name = CutAt(base, kMaxNameLength - suffix.size()) + suffix;
    }
    return name;
}

bool SaveNodeBytes(const CTreeListNode& node, const std::string& fileName, std::string* error) {
    std::vector<std::uint8_t> bytes;
    const CTypedNode* typed = node.AsTyped();
    if (!typed || !typed->GetBytes(bytes)) {
        *error = "The node has no bytes to save";
        return false;
    }
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (file)
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file) {
        *error = fileName + ": cannot be written";
        return false;
    }
    return true;
}

Result ExtractSubtree(CTreeListNode& start, const std::string& folder) {
    Result result;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        result.error = folder + ": cannot be made a folder";
        return result;
    }
    std::set<std::string> taken;
    CTreeWalker walker(start, CTreeWalker::kExpandCollapsed | CTreeWalker::kReportBoth);
    // The nodes on the path, and whether each had no children when the walk entered it.
    std::vector<std::pair<CTreeListNode*, bool>> path;
    bool in = false;
    while (CTreeListNode* node = walker.Next(&in)) {
        if (cancel::Check()) {
            result.cancelled = true;
            // The outermost node the walk expanded holds all the others it expanded.
            for (const auto& [n, wasCollapsed] : path) {
                if (wasCollapsed && n->HasChildren()) {
                    n->CollapseChildren();
                    break;
                }
            }
            break;
        }
        if (!in) {
            if (!path.empty())
                path.pop_back();
            continue;
        }
        path.emplace_back(node, !node->HasChildren());
        const CTypedNode* typed = node->AsTyped();
        std::vector<std::uint8_t> bytes;
        if (!typed || !typed->GetBytes(bytes))
            continue;
        const std::filesystem::path file =
            std::filesystem::path(folder) / UniqueFileName(node->GetLabel(), taken);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            result.error = file.string() + ": cannot be written";
            break;
        }
        ++result.files;
    }
    return result;
}

} // namespace extract
