#include "app/DumpCommand.h"
#include "app/ExtractBytes.h"
#include "app/NodeSearch.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "app/CommandLinePath.h"
#include "app/DelvexApp.h"
#include "app/DelvexDoc.h"
#include "app/HeadlessPlatform.h"
#include "app/StandardHooks.h"
#include "common/CommandLine.h"
#include "common/Hooks.h"
#include "common/IniSettings.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "output/DumpWriter.h"
#include "output/JsonWriter.h"
#include "output/StatusMessage.h"
#include "store/RecentPeeked.h"
#include "store/TNServer.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Session.h"
#include "tree/Cancel.h"
#include "tree/CancelProbe.h"
#include "tree/DumpToFile.h"
#include "treelist/TreeListCore.h"

namespace dumpcommand {
namespace {

struct Options {
    std::string output;
    std::string settings;
    std::string hide;
    std::string show;
    bool includeCollapsed = false;
    bool progress = false;
    bool list = false;
    bool find = false;
    std::string itemName;
    std::string itemType;
    std::string text;
    std::string recordKind;
    std::string extract;
    std::string format = "text";
    std::string path;
    std::string nodePath;
};

commandline::Program DumpProgram() {
    return {
        "delvex-dump",
        "[options] [PATH [NODE-PATH]]",
        "Writes the dump of a database, a server (NAME!!) or a directory, as Dump to File does.",
        {{kOk, "written"},
         {kFailed, "a failure (named on standard error)"},
         {kUsage, "a usage error"},
         {kCancelled, "interrupted (the output ends in \"*** Cancelled ***\")"}},
        "PATH is a database file, a server path NAME!! or a directory (its machine is dumped);\n"
        "a relative PATH names a file of the current folder first, else one of the data\n"
        "directory. Without PATH the sample data directory is dumped. NODE-PATH is the labels\n"
        "from the root down, separated by '/' (--list shows them).\n",
    };
}

void DeclareOptions(CLI::App& app, Options& o) {
    app.add_option("-o,--output", o.output, "write to FILE instead of standard output")
        ->type_name("FILE");
    app.add_flag("--include-collapsed", o.includeCollapsed,
                 "expand what is collapsed (as the dump dialog's check box)");
    app.add_option("--format", o.format,
                   "text (the default), json (one document) or jsonl (one note a line); "
                   "docs/json.md describes the JSON")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"text", "json", "jsonl"}));
    app.add_flag("--list", o.list, "print the labels of the node's children instead of its dump");
    app.add_flag("--find", o.find,
                 "print the node paths of the items (or records) found below the node");
    app.add_option("--item-name", o.itemName, "find items of this name (* and ? match any)")
        ->type_name("PATTERN");
    app.add_option("--item-type", o.itemType, "find items of this type (name or number)")
        ->type_name("TYPE");
    app.add_option("--text", o.text, "find values holding this text (letter case ignored)")
        ->type_name("TEXT");
    app.add_option("--record-kind", o.recordKind,
                   "find records of this kind (as record-type shows it, or a number)")
        ->type_name("KIND");
    app.add_option("--extract", o.extract,
                   "write the bytes of every node below the node that has them into files of DIR")
        ->type_name("DIR");
    app.add_option("--settings", o.settings,
                   "read the options from FILE (default: built-in defaults)")
        ->type_name("FILE");
    app.add_option("--hide", o.hide, "hide the node types of these type letters")
        ->type_name("TYPES");
    app.add_option("--show", o.show, "show them again")->type_name("TYPES");
    app.add_flag("--progress", o.progress, "report the nodes written on standard error");
    app.add_option("PATH", o.path, "a database, a server path or a directory");
    app.add_option("NODE-PATH", o.nodePath, "labels from the root down, separated by '/'");
}

// Type letters must name types: an unknown letter would silently stand for type 0.
bool ValidLetters(const std::string& letters) {
    for (char c : letters) {
        if (c == '*' || kTypeLetters.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

CTreeListNode* FindChild(CTreeListNode& parent, const std::string& label) {
    CTreeListNode* folded = nullptr;
    for (CTreeListNode* c = parent.GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->GetLabel() == label) {
            return c;
        }
        if (!folded && CompareNoCase(c->GetLabel(), label) == 0) {
            folded = c;
        }
    }
    return folded;
}

// Follows the labels from node, expanding on the way. A label may itself hold slashes (server
// names do): the longest run of parts that names a child wins.
CTreeListNode* FindNode(CTreeListCore& control, CTreeListNode* node,
                        const std::vector<std::string>& parts, std::string* missing) {
    std::size_t i = 0;
    while (node && i < parts.size()) {
        if (!node->HasChildren() && node->IsExpandable()) {
            control.Expand(node);
        }
        CTreeListNode* found = nullptr;
        std::size_t used = 0;
        for (std::size_t k = parts.size() - i; k >= 1 && !found; --k) {
            std::string label = parts[i];
            for (std::size_t j = 1; j < k; ++j) {
                label += '/' + parts[i + j];
            }
            found = FindChild(*node, label);
            used = k;
        }
        if (!found) {
            *missing = parts[i];
            return nullptr;
        }
        node = found;
        i += used;
    }
    return node;
}

std::string StatusText(store::Status status, const char* what) {
    char text[512];
    FormatStatusMessage(text, sizeof text, status, "%s", what);
    return text;
}

// Checks that a database path can be opened, so that a missing or damaged file is an error of
// the tool and not only an error node in its output. Messages name the path as the user typed
// it, not the one it was resolved to.
std::optional<std::string> CheckDatabase(const std::string& path, const std::string& typed) {
    store::DbHandle db{};
    const store::Status st = store::OpenDatabase(path.c_str(), &db);
    if (st == store::kNoError) {
        store::CloseDatabase(db);
        return std::nullopt;
    }
    char detail[512] = "";
    if (store::LastErrorDetail(detail, sizeof detail) == store::kNoError && detail[0]) {
        std::string text = detail;
        if (text.rfind(path + ":", 0) == 0) {
            text.replace(0, path.size(), typed);
        }
        return text;
    }
    return typed + ": " + StatusText(st, "Couldn't open database");
}

// Where --list and --find write: the named file (emptied), else out; null, with the message
// on err, when the file cannot be written.
std::ostream* OpenListOutput(const std::string& output, std::ostream& out, std::ostream& err,
                             std::ofstream& file) {
    if (output.empty())
        return &out;
    file.open(output, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "delvex-dump: " << output << ": cannot be written\n";
        return nullptr;
    }
    return &file;
}

// --list: the labels of the node's children, expanding it first when it is collapsed.
int ListChildren(CTreeListCore& control, CTreeListNode* node, const std::string& output,
                 std::ostream& out, std::ostream& err) {
    if (!node->HasChildren() && node->IsExpandable()) {
        control.Expand(node);
    }
    std::ofstream file;
    std::ostream* toPtr = OpenListOutput(output, out, err, file);
    if (!toPtr)
        return kFailed;
    std::ostream& to = *toPtr;
    for (CTreeListNode* c = node->GetFirstChild(); c; c = c->GetNextSibling()) {
        to << c->GetLabel() << "\n";
    }
    to.flush();
    if (!to) {
        err << "delvex-dump: the list could not be written\n";
        return kFailed;
    }
    return kOk;
}

// --find: one node path a line, each as the node path this tool takes.
int FindNodes(const nodesearch::Criteria& criteria, CTreeListNode& start, const std::string& output,
              std::ostream& out, std::ostream& err) {
    std::ofstream file;
    std::ostream* toPtr = OpenListOutput(output, out, err, file);
    if (!toPtr)
        return kFailed;
    std::ostream& to = *toPtr;
    nodesearch::CNodeSearch search(criteria);
    search.onMatch = [&](const nodesearch::Match& m) { to << m.Path() << "\n"; };
    nodesearch::Result result;
    {
        cancel::Operation operation;
        result = search.Run(start);
    }
    if (result.cancelled) {
        to << "*** Cancelled ***\n";
    }
    to.flush();
    if (!to) {
        err << "delvex-dump: the matches could not be written\n";
        return kFailed;
    }
    if (result.cancelled) {
        err << "delvex-dump: interrupted\n";
        return kCancelled;
    }
    return kOk;
}

class StoreSession {
public:
    store::Status Start() {
        const store::Status st = store::SessionStart();
        started_ = st == store::kNoError;
        return st;
    }
    ~StoreSession() {
        if (started_) {
            store::SetBreakHook(nullptr, nullptr);
            hooks::Run(hooks::kShutdown);
            store::SessionEnd();
        }
    }

private:
    bool started_ = false;
};

class SettingsOverride {
public:
    explicit SettingsOverride(CSettings* s) : previous_(OverrideProgramSettings(s)) {}
    ~SettingsOverride() { OverrideProgramSettings(previous_); }

private:
    CSettings* previous_;
};

// Walks the subtree into the writer (a text or a JSON writer) and reports how it went.
template <class Writer>
int WriteDump(CTreeListNode& start, Writer& writer, const DumpOptions& options, bool progress,
              std::ostream& err) {
    if (writer.Failed()) {
        err << "delvex-dump: " << writer.ErrorText() << "\n";
        return kFailed;
    }
    const DumpResult result = WriteSubtree(start, writer, options);
    const bool closed = writer.Close();
    if (progress) {
        err << "\r" << result.nodes << " nodes written\n";
    }
    if (!closed) {
        err << "delvex-dump: "
            << (writer.ErrorText().empty() ? "the output could not be written" : writer.ErrorText())
            << "\n";
        return kFailed;
    }
    if (!result.written) {
        err << "delvex-dump: " << result.error << "\n";
        return kFailed;
    }
    if (result.cancelled) {
        err << "delvex-dump: interrupted\n";
        return kCancelled;
    }
    return kOk;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& defaultDirectory) {
    Options o;
    commandline::CCommandLine line(DumpProgram());
    DeclareOptions(line.App(), o);
    if (const std::optional<int> end = line.Parse(args, out, err)) {
        return *end;
    }
    for (const std::string* letters : {&o.hide, &o.show}) {
        if (!ValidLetters(*letters)) {
            return line.UsageError("unknown type letter in \"" + *letters + "\"", err);
        }
    }

    nodesearch::Criteria criteria;
    if (o.find) {
        criteria.itemName = o.itemName;
        criteria.text = o.text;
        if (!o.itemType.empty()) {
            std::uint16_t type = 0;
            if (!nodesearch::ParseItemType(o.itemType, &type)) {
                return line.UsageError("unknown item type \"" + o.itemType + "\"", err);
            }
            criteria.itemType = type;
        }
        if (!o.recordKind.empty()) {
            nodesearch::SetRecordKind(criteria, o.recordKind);
        }
        if (criteria.Empty()) {
            return line.UsageError("--find needs --item-name, --item-type, --text or --record-kind",
                                   err);
        }
    } else if (!o.itemName.empty() || !o.itemType.empty() || !o.text.empty() ||
               !o.recordKind.empty()) {
        return line.UsageError("the search options go with --find", err);
    }
    if (!o.extract.empty() && (o.find || o.list)) {
        return line.UsageError("--extract cannot be combined with --find or --list", err);
    }
    if (o.find && o.list) {
        return line.UsageError("--find and --list cannot be combined", err);
    }

    std::unique_ptr<CSettings> settings;
    if (!o.settings.empty()) {
        if (!std::filesystem::is_regular_file(o.settings)) {
            err << "delvex-dump: " << o.settings << ": no such settings file\n";
            return kFailed;
        }
        settings = std::make_unique<CIniSettings>(o.settings);
    } else {
        settings = std::make_unique<CMemorySettings>();
    }
    SettingsOverride override(settings.get());
    // The notes opened by a dump are not the user's browsing: nothing is remembered in the file.
    struct NotesNotSaved {
        bool previous = recent::SetSaveNotesRecords(false);
        ~NotesNotSaved() { recent::SetSaveNotesRecords(previous); }
    } notesNotSaved;

    std::string path = o.path;
    std::string typed = o.path; // the path in messages: as typed, or the default directory
    bool machine = false;       // the root is the local machine of a data directory
    if (path.empty()) {
        path = defaultDirectory;
        typed = path;
        machine = true;
        if (path.empty() || !std::filesystem::is_directory(path)) {
            err << "delvex-dump: no PATH given and no sample data directory \"" << path << "\"\n";
            return kUsage;
        }
    }

    StoreSession session;
    if (const store::Status st = session.Start(); st != store::kNoError) {
        err << "delvex-dump: " << StatusText(st, "Couldn't initialize Corvane") << "\n";
        return kFailed;
    }
    if (!machine) {
        const CommandLinePath resolved = ResolveCommandLinePath(path);
        if (!resolved.problem.empty()) {
            err << "delvex-dump: " << resolved.problem << "\n";
            return kFailed;
        }
        path = resolved.path;
        // A folder named by an absolute path or in the current folder is browsed as the data
        // directory of the machine.
        std::error_code ec;
        machine = path.find(store::kServerSeparator) == std::string::npos &&
                  std::filesystem::path(path).is_absolute() &&
                  std::filesystem::is_directory(path, ec);
    }
    if (machine) {
        const std::string dir = std::filesystem::absolute(path).string();
        if (store::SetEnvironmentValue("Directory", dir.c_str()) != store::kNoError) {
            err << "delvex-dump: " << typed << ": cannot be used as the data directory\n";
            return kFailed;
        }
    }
    hooks::LinkStandardHooks();
    hooks::Run(hooks::kStartup);
    cancel::Clear();
    CScopedCancelProbe probe(CDelvexApp::CancelProbe, nullptr);
    // Long store operations (a directory search) ask this between steps.
    store::SetBreakHook(CDelvexApp::BreakHook, nullptr);

    CDelvexDoc doc(settings.get());
    CTypeSet shown = doc.OwnShownSet();
    shown.RemoveAll(CTypeSet::FromLetters(o.hide));
    shown.AddAll(CTypeSet::FromLetters(o.show));
    doc.SetShownSet(shown);
    if (machine) {
        doc.AddRoot(new TNLocalMachine());
    } else {
        if (path.find(store::kServerSeparator) == std::string::npos) {
            if (auto problem = CheckDatabase(path, typed)) {
                err << "delvex-dump: " << *problem << "\n";
                return kFailed;
            }
        }
        doc.OpenDocument(path);
    }

    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    CDocNode* root = doc.TakeRootsInto(control);
    if (!root) {
        err << "delvex-dump: " << typed << ": names neither a database nor a server\n";
        return kFailed;
    }
    std::string missing;
    CTreeListNode* start = FindNode(control, root, SplitPath(o.nodePath), &missing);
    if (!start) {
        err << "delvex-dump: " << typed << ": no node \"" << missing << "\" on the path \""
            << o.nodePath << "\"\n";
        return kFailed;
    }

    if (o.list) {
        return ListChildren(control, start, o.output, out, err);
    }
    if (!o.extract.empty()) {
        extract::Result result;
        {
            cancel::Operation operation;
            result = extract::ExtractSubtree(*start, o.extract);
        }
        if (!result.error.empty()) {
            err << "delvex-dump: " << result.error << "\n";
            return kFailed;
        }
        if (result.cancelled) {
            err << "delvex-dump: interrupted\n";
            return kCancelled;
        }
        return kOk;
    }
    if (o.find) {
        return FindNodes(criteria, *start, o.output, out, err);
    }

    DumpOptions options;
    options.includeCollapsed = o.includeCollapsed;
    auto last = std::chrono::steady_clock::now();
    if (o.progress) {
        options.progress = [&](unsigned long nodes) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last >= std::chrono::milliseconds(200)) {
                last = now;
                err << "\r" << nodes << " nodes written" << std::flush;
            }
        };
    }
    if (o.format == "text") {
        std::unique_ptr<CDumpWriter> writer =
            o.output.empty() ? std::make_unique<CDumpWriter>(out, &doc.InfoOptions())
                             : std::make_unique<CDumpWriter>(o.output, &doc.InfoOptions());
        return WriteDump(*start, *writer, options, o.progress, err);
    }
    const auto layout =
        o.format == "json" ? CJsonWriter::Layout::Document : CJsonWriter::Layout::Lines;
    std::unique_ptr<CJsonWriter> writer =
        o.output.empty() ? std::make_unique<CJsonWriter>(out, &doc.InfoOptions(), layout)
                         : std::make_unique<CJsonWriter>(o.output, &doc.InfoOptions(), layout);
    return WriteDump(*start, *writer, options, o.progress, err);
}

} // namespace dumpcommand
