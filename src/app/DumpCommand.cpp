#include "app/DumpCommand.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/CommandLinePath.h"
#include "app/DelvexApp.h"
#include "app/DelvexDoc.h"
#include "app/HeadlessPlatform.h"
#include "app/StandardHooks.h"
#include "common/Hooks.h"
#include "common/IniSettings.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"
#include "output/DumpWriter.h"
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
    bool help = false;
    std::string path;
    std::string nodePath;
};

// Parses the arguments; a usage error is returned as its message.
std::optional<std::string> Parse(const std::vector<std::string>& args, Options& o) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) -> bool {
            if (i + 1 >= args.size()) {
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "-o" || a == "--output") {
            if (!value(o.output))
                return "option " + a + " needs a file name";
        } else if (a == "--settings") {
            if (!value(o.settings))
                return "option --settings needs a file name";
        } else if (a == "--hide") {
            if (!value(o.hide))
                return "option --hide needs type letters";
        } else if (a == "--show") {
            if (!value(o.show))
                return "option --show needs type letters";
        } else if (a == "--include-collapsed") {
            o.includeCollapsed = true;
        } else if (a == "--progress") {
            o.progress = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--") {
            positional.insert(positional.end(), args.begin() + i + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() > 2) {
        return "too many arguments";
    }
    if (!positional.empty())
        o.path = positional[0];
    if (positional.size() > 1)
        o.nodePath = positional[1];
    return std::nullopt;
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
// the tool and not only an error node in its output.
std::optional<std::string> CheckDatabase(const std::string& path) {
    store::DbHandle db{};
    const store::Status st = store::OpenDatabase(path.c_str(), &db);
    if (st == store::kNoError) {
        store::CloseDatabase(db);
        return std::nullopt;
    }
    char detail[512] = "";
    if (store::LastErrorDetail(detail, sizeof detail) == store::kNoError && detail[0]) {
        return std::string(detail);
    }
    return path + ": " + StatusText(st, "Couldn't open database");
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

} // namespace

std::string Usage() {
    return "Usage: delvex-dump [options] [PATH [NODE-PATH]]\n"
           "Writes the dump of a database, a server (NAME!!) or a directory.\n"
           "PATH       a database file, a server path NAME!! or a directory (its machine);\n"
           "           without PATH the sample data directory\n"
           "NODE-PATH  labels from the root down, separated by '/'; without it the root\n"
           "Options:\n"
           "  -o FILE               write to FILE instead of standard output\n"
           "  --include-collapsed   expand what is collapsed (as the dump dialog's check box)\n"
           "  --settings FILE       read the options from FILE (default: built-in defaults)\n"
           "  --hide TYPES          hide the node types of these type letters\n"
           "  --show TYPES          show them again\n"
           "  --progress            report the nodes written on standard error\n"
           "  --help                this text\n"
           "Exit status: 0 written, 1 failure, 2 usage error, 130 interrupted.\n";
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& defaultDirectory) {
    Options o;
    if (auto problem = Parse(args, o)) {
        err << "delvex-dump: " << *problem << "\n" << Usage();
        return kUsage;
    }
    if (o.help) {
        out << Usage();
        return kOk;
    }
    for (const std::string* letters : {&o.hide, &o.show}) {
        if (!ValidLetters(*letters)) {
            err << "delvex-dump: unknown type letter in \"" << *letters << "\"\n";
            return kUsage;
        }
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
    bool machine = false; // the root is the local machine of a data directory
    if (path.empty()) {
        path = defaultDirectory;
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
            err << "delvex-dump: " << path << ": cannot be used as the data directory\n";
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
            if (auto problem = CheckDatabase(path)) {
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
        err << "delvex-dump: " << path << ": names neither a database nor a server\n";
        return kFailed;
    }
    std::string missing;
    CTreeListNode* start = FindNode(control, root, SplitPath(o.nodePath), &missing);
    if (!start) {
        err << "delvex-dump: " << path << ": no node \"" << missing << "\" on the path \""
            << o.nodePath << "\"\n";
        return kFailed;
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
    std::unique_ptr<CDumpWriter> writer =
        o.output.empty() ? std::make_unique<CDumpWriter>(out, &doc.InfoOptions())
                         : std::make_unique<CDumpWriter>(o.output, &doc.InfoOptions());
    if (writer->Failed()) {
        err << "delvex-dump: " << writer->ErrorText() << "\n";
        return kFailed;
    }
    const DumpResult result = WriteSubtree(*start, *writer, options);
    const bool closed = writer->Close();
    if (o.progress) {
        err << "\r" << result.nodes << " nodes written\n";
    }
    if (!closed) {
        err << "delvex-dump: "
            << (writer->ErrorText().empty() ? "the output could not be written"
                                            : writer->ErrorText())
            << "\n";
        return kFailed;
    }
    if (result.cancelled) {
        err << "delvex-dump: interrupted\n";
        return kCancelled;
    }
    return kOk;
}

} // namespace dumpcommand
