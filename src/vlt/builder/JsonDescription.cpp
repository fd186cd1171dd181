#include "vlt/builder/JsonDescription.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "common/Ascii.h"
#include "common/PlainFile.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "vlt/ByteWriter.h"
#include "vlt/builder/JsonLocator.h"
#include "vlt/builder/Values.h"

namespace vlt::builder {
namespace {

using nlohmann::json;

// A description is a hand-written or generated text; one this large is a mistake.
constexpr std::size_t kMaxDescriptionBytes = std::size_t(256) * 1024 * 1024;

struct Name {
    const char* name;
    std::uint32_t value;
};

constexpr Name kNoteClasses[] = {
    {"document", 0x0001},  {"helpabout", 0x0002}, {"form", 0x0004},  {"view", 0x0008},
    {"icon", 0x0010},      {"design", 0x0020},    {"acl", 0x0040},   {"helpindex", 0x0080},
    {"helpusing", 0x0100}, {"filter", 0x0200},    {"field", 0x0400}, {"replformula", 0x0800},
    {"private", 0x1000}};
constexpr Name kItemFlags[] = {{"sign", 0x1},         {"seal", 0x2},      {"summary", 0x4},
                               {"readwriters", 0x20}, {"names", 0x40},    {"placeholder", 0x100},
                               {"protected", 0x200},  {"readers", 0x400}, {"unchanged", 0x1000}};
constexpr Name kAccessLevels[] = {{"noaccess", 0}, {"depositor", 1}, {"reader", 2}, {"author", 3},
                                  {"editor", 4},   {"designer", 5},  {"manager", 6}};
constexpr Name kEntryFlags[] = {
    {"authornocreate", 0x1}, {"server", 0x2},          {"nodelete", 0x4},
    {"createpragent", 0x8},  {"createprfolder", 0x10}, {"person", 0x20},
    {"group", 0x40},         {"createfolder", 0x80},   {"createscript", 0x100},
    {"publicreader", 0x200}, {"publicwriter", 0x400},  {"adminreaderauthor", 0x4000},
    {"adminserver", 0x8000}};

// Items that search summaries always carry.
constexpr const char* kSummaryNames[] = {"Form", "$TITLE", "$Flags"};

store::TimeDate AddMinutes(const store::TimeDate& t, std::int64_t minutes) {
    return store::TimeDate::FromValue(t.Value() + (std::uint64_t(minutes * 6000) << 16));
}

// The path of a value in the JSON text, from a place named in a message: the item names
// shown in parentheses are dropped, and the root's own keys are named after "database.".
std::string PathOf(std::string where) {
    for (std::size_t open; (open = where.find(" (\"")) != std::string::npos;) {
        const std::size_t close = where.find("\")", open + 3);
        if (close == std::string::npos)
            break;
        where.erase(open, close + 2 - open);
    }
    if (where.rfind("database", 0) == 0)
        where.erase(0, where.size() > 8 && where[8] == '.' ? 9 : 8);
    return where;
}

class Reader {
public:
    // With `reread`, text may be released after the first pass: a message reads the file again.
    Reader(std::string file, const std::string& text, bool reread)
        : file_(std::move(file)), text_(text), reread_(reread) {}

    bool fail(const std::string& where, const std::string& what) {
        if (error_.empty()) {
            // The places of the values are looked up only for a message: a map of them all
            // takes several times the text's memory.
            std::string again;
            if (reread_ && text_.empty())
                ReadPlainFile(file_, &again, kMaxDescriptionBytes);
            const std::size_t line =
                JsonLocator(again.empty() ? std::string_view(text_) : again).LineOf(PathOf(where));
            error_ = file_ + (line ? ":" + std::to_string(line) : std::string()) + ": " +
                     (where.empty() ? "" : where + ": ") + what;
        }
        return false;
    }
    const std::string& error() const { return error_; }

    // A number given as a JSON number or a text "0x..." / decimal, within [0, max].
    bool Number(const json& j, const std::string& where, std::uint64_t max, std::uint64_t* out) {
        std::uint64_t v = 0;
        if (j.is_number_unsigned()) {
            v = j.get<std::uint64_t>();
        } else if (j.is_number_integer()) {
            return fail(where, "must not be negative");
        } else if (j.is_string()) {
            const std::string s = j.get<std::string>();
            std::size_t used = 0;
            try {
                v = std::stoull(s, &used, 0);
            } catch (...) {
                used = 0;
            }
            if (used == 0 || used != s.size())
                return fail(where, "\"" + s + "\" is not a number");
        } else {
            return fail(where, "a number is expected");
        }
        if (v > max)
            return fail(where,
                        std::to_string(v) + " is too large (at most " + std::to_string(max) + ")");
        *out = v;
        return true;
    }
    template <class T>
    bool Get(const json& obj, const char* key, const std::string& where, T* out) {
        if (!obj.contains(key))
            return true;
        std::uint64_t v;
        if (!Number(obj[key], where + "." + key, std::numeric_limits<T>::max(), &v))
            return false;
        *out = static_cast<T>(v);
        return true;
    }
    bool Text(const json& j, const std::string& where, std::string* out) {
        if (!j.is_string())
            return fail(where, "a text is expected");
        *out = j.get<std::string>();
        return true;
    }
    bool GetText(const json& obj, const char* key, const std::string& where, std::string* out) {
        return !obj.contains(key) || Text(obj[key], where + "." + key, out);
    }
    bool Time(const json& j, const std::string& where, store::TimeDate* out) {
        std::string s;
        if (!Text(j, where, &s))
            return false;
        if (!ParseTime(s, out))
            return fail(where,
                        "\"" + s + "\" is not a time (write e.g. 1995-12-25T12:02:43.17+01:00)");
        return true;
    }
    bool GetTime(const json& obj, const char* key, const std::string& where, store::TimeDate* out) {
        return !obj.contains(key) || Time(obj[key], where + "." + key, out);
    }
    // A number, a name of the table, or a list of names and numbers OR-ed together.
    template <std::size_t N>
    bool Named(const json& j, const std::string& where, const Name (&table)[N], std::uint32_t max,
               std::uint32_t* out) {
        if (j.is_array()) {
            std::uint32_t all = 0;
            for (std::size_t i = 0; i < j.size(); ++i) {
                std::uint32_t one;
                if (!Named(j[i], where + "[" + std::to_string(i) + "]", table, max, &one))
                    return false;
                all |= one;
            }
            *out = all;
            return true;
        }
        if (j.is_string()) {
            std::string s = j.get<std::string>();
            std::transform(s.begin(), s.end(), s.begin(),
                           [](unsigned char c) { return std::tolower(c); });
            for (const Name& n : table)
                if (s == n.name) {
                    *out = n.value;
                    return true;
                }
            if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0]))))
                return fail(where, "unknown name \"" + j.get<std::string>() + "\"");
        }
        std::uint64_t v;
        if (!Number(j, where, max, &v))
            return false;
        *out = static_cast<std::uint32_t>(v);
        return true;
    }

private:
    std::string file_;
    const std::string& text_;
    bool reread_;
    std::string error_;
};

struct Pending {
    std::size_t note, item;
    json desc;
    std::string where;
};

// What a note reference or an attachment needs of a note once the note itself is gone.
struct NoteInfo {
    store::NoteId id;
    store::TimeDate file, note, created, modified;
};

// The length of the value a pending note reference or attachment gets, so that a stand-in of
// it takes the same room; any length when the value will be refused.
std::size_t ResolvedSize(const json& j) {
    if (j.contains("noterefs")) {
        const json& refs = j["noterefs"];
        return refs.is_array() ? 4 + 16 * refs.size() : 2;
    }
    const json& a = j["attachment"];
    if (a.is_object() && a.contains("file") && a["file"].is_string())
        return 38 + a["file"].get_ref<const std::string&>().size();
    return 2;
}

Bytes StandIn(const json& j) {
    Bytes value = RawValue(0, {});
    value.resize(std::max<std::size_t>(value.size(), ResolvedSize(j)));
    return value;
}

class DescriptionReader {
public:
    DescriptionReader(Reader& r, DatabaseDesc& desc, RecordStreamEncoder records,
                      const NoteSink* sink)
        : r_(r), desc_(desc), records_(records), sink_(sink) {}

    // root is the description without the elements of its "notes" list, which `notes` reads
    // one at a time through Note.
    template <class NoteSource> bool Read(json& root, NoteSource notes) {
        if (!root.is_object())
            return r_.fail("", "the description must be a JSON object");
        desc_.id = store::TimeDate::FromValue(0);
        store::TimeDate base;
        ParseTime("2020-01-01T00:00:00Z", &base);
        desc_.id = base;
        if (!r_.GetTime(root, "id", "database", &desc_.id) ||
            !r_.Get(root, "class", "database", &desc_.dbClass))
            return false;
        desc_.replicaId = desc_.id;
        desc_.dataModified = desc_.nonDataModified = desc_.id;
        std::string info[4];
        const char* infoKeys[4] = {"title", "categories", "template", "inherits"};
        for (int i = 0; i < 4; ++i) {
            if (!r_.GetText(root, infoKeys[i], "database", &info[i]))
                return false;
            // Line breaks separate the fields of "$Info": one inside a field would shift the rest.
            if (info[i].find('\n') != std::string::npos)
                return r_.fail(std::string("database.") + infoKeys[i],
                               "must not contain a line break");
        }
        desc_.info = info[0] + "\n" + info[1] + "\n" + info[2] + "\n" + info[3];
        if (root.contains("replica")) {
            const json& rep = root["replica"];
            if (!rep.is_object())
                return r_.fail("replica", "an object is expected");
            if (!r_.GetTime(rep, "id", "replica", &desc_.replicaId) ||
                !r_.Get(rep, "flags", "replica", &desc_.replicaFlags) ||
                !r_.Get(rep, "cutoff-interval", "replica", &desc_.cutoffInterval) ||
                !r_.GetTime(rep, "cutoff-date", "replica", &desc_.cutoffDate))
                return false;
        }
        if (!r_.GetTime(root, "data-modified", "database", &desc_.dataModified) ||
            !r_.GetTime(root, "nondata-modified", "database", &desc_.nonDataModified))
            return false;
        if (root.contains("options")) {
            std::uint32_t o = 0;
            if (!r_.Get(root, "options", "database", &o))
                return false;
            desc_.options = o;
        }
        if (root.contains("build-version")) {
            std::uint16_t v = 0;
            if (!r_.Get(root, "build-version", "database", &v))
                return false;
            desc_.buildVersion = v;
        }
        if (root.contains("notes") && !root["notes"].is_array())
            return r_.fail("notes", "a list is expected");
        return (!root.contains("notes") || notes()) && Objects(root) && Acl(root) && Resolve();
    }

    // The note at index i of the list; false on the first that is wrong.
    bool Note(const json& j, std::size_t i) {
        store::NoteId& next = next_;
        {
            const std::string where = "notes[" + std::to_string(i) + "]";
            if (!j.is_object())
                return r_.fail(where, "an object is expected");
            NoteDesc n;
            n.id = next;
            if (!r_.Get(j, "id", where, &n.id))
                return false;
            next = std::max<store::NoteId>(next, (n.id & ~3u) + 4);
            std::uint32_t cls = 1;
            if (j.contains("class") &&
                !r_.Named(j["class"], where + ".class", kNoteClasses, 0xFFFF, &cls))
                return false;
            n.noteClass = static_cast<std::uint16_t>(cls);
            if (j.value("default", false))
                n.noteClass |= 0x8000;
            n.deleted = j.value("deleted", false);
            n.created = AddMinutes(desc_.id, n.id);
            if (!r_.GetTime(j, "created", where, &n.created))
                return false;
            n.modified = n.created;
            if (!r_.GetTime(j, "modified", where, &n.modified))
                return false;
            n.accessed = n.modified;
            n.added = n.created;
            n.originator.file = desc_.replicaId;
            n.originator.note = n.created;
            n.originator.sequence = 1;
            if (!r_.GetTime(j, "accessed", where, &n.accessed) ||
                !r_.GetTime(j, "added", where, &n.added) || !r_.Get(j, "flags", where, &n.flags) ||
                !r_.Get(j, "privileges", where, &n.privileges) ||
                !r_.Get(j, "sequence", where, &n.originator.sequence) ||
                !r_.Get(j, "parent", where, &n.parent))
                return false;
            n.originator.sequenceTime = n.modified;
            if (j.contains("items")) {
                const json& items = j["items"];
                if (!items.is_array())
                    return r_.fail(where + ".items", "a list is expected");
                for (std::size_t k = 0; k < items.size(); ++k)
                    if (!Item(items[k], where + ".items[" + std::to_string(k) + "]", n))
                        return false;
            }
            if (n.parent != 0) {
                json ref{{"noterefs", json::array({n.parent})}};
                Bytes standIn = StandIn(ref);
                pending_.push_back(
                    {infos_.size(), n.items.size(), std::move(ref), where + ".parent"});
                n.items.push_back({"$REF", 0, std::move(standIn)});
            }
            infoOf_.emplace(n.id, infos_.size());
            infos_.push_back({n.id, n.originator.file, n.originator.note, n.created, n.modified});
            if (sink_) {
                sink_->note(std::move(n));
            } else {
                n.items.shrink_to_fit(); // held until the database is written: no room to spare
                desc_.notes.push_back(std::move(n));
            }
        }
        return true;
    }

private:
    bool Item(const json& j, const std::string& where, NoteDesc& n) {
        if (!j.is_object())
            return r_.fail(where, "an object is expected");
        ItemDesc item;
        if (!j.contains("name") || !r_.Text(j["name"], where + ".name", &item.name))
            return r_.fail(where, "an item needs a \"name\"");
        const std::string at = where + " (\"" + item.name + "\")";
        std::uint32_t flags = 0;
        if (j.contains("flags") && !r_.Named(j["flags"], at + ".flags", kItemFlags, 0xFFFF, &flags))
            return false;
        item.flags = static_cast<std::uint16_t>(flags);
        for (const char* s : kSummaryNames)
            if (item.name == s)
                item.flags |= store::kItemSummary;
        if (!Value(j, at, &item.value, n))
            return false;
        n.items.push_back(std::move(item));
        return true;
    }

    template <class T, class F>
    bool List(const json& j, const std::string& where, std::vector<T>* out, F one) {
        if (!j.is_array())
            return r_.fail(where, "a list is expected");
        for (std::size_t i = 0; i < j.size(); ++i) {
            T v{};
            if (!one(j[i], where + "[" + std::to_string(i) + "]", &v))
                return false;
            out->push_back(v);
        }
        return true;
    }

    bool Value(const json& j, const std::string& at, Bytes* value, const NoteDesc& n) {
        static const char* kinds[] = {
            "text",       "textlist", "number",   "numbers",    "numberranges", "time",   "times",
            "timeranges", "formula",  "noterefs", "attachment", "raw",          "records"};
        int found = 0;
        for (const char* k : kinds)
            found += j.contains(k) ? 1 : 0;
        if (j.contains("numbers") && j.contains("numberranges"))
            --found;
        if (j.contains("times") && j.contains("timeranges"))
            --found;
        if (found != 1)
            return r_.fail(at, "give exactly one value: text, textlist, number, numbers/"
                               "numberranges, time, times/timeranges, formula, noterefs, "
                               "attachment, raw with type or records with type");
        auto number = [&](const json& v, const std::string& w, double* d) {
            if (!v.is_number())
                return r_.fail(w, "a number is expected");
            *d = v.get<double>();
            return true;
        };
        auto time = [&](const json& v, const std::string& w, store::TimeDate* t) {
            return r_.Time(v, w, t);
        };
        auto text = [&](const json& v, const std::string& w, std::string* s) {
            return r_.Text(v, w, s);
        };
        auto pairs = [&](const json& v, const std::string& w, auto each, auto* out) {
            using P = typename std::remove_pointer_t<decltype(out)>::value_type;
            return List<P>(v, w, out, [&](const json& p, const std::string& pw, P* pr) {
                if (!p.is_array() || p.size() != 2)
                    return r_.fail(pw, "a pair [start, end] is expected");
                return each(p[0], pw + "[0]", &pr->first) && each(p[1], pw + "[1]", &pr->second);
            });
        };
        if (j.contains("text")) {
            std::string s;
            if (!text(j["text"], at + ".text", &s))
                return false;
            *value = TextValue(s);
        } else if (j.contains("textlist")) {
            std::vector<std::string> l;
            if (!List<std::string>(j["textlist"], at + ".textlist", &l, text))
                return false;
            *value = TextListValue(l);
            if (value->empty())
                return r_.fail(at, "the text list is too long");
        } else if (j.contains("number")) {
            double d = 0;
            if (!number(j["number"], at + ".number", &d))
                return false;
            *value = NumberValue(d);
        } else if (j.contains("numbers") || j.contains("numberranges")) {
            std::vector<double> l;
            std::vector<std::pair<double, double>> ranges;
            if (j.contains("numbers") && !List<double>(j["numbers"], at + ".numbers", &l, number))
                return false;
            if (j.contains("numberranges") &&
                !pairs(j["numberranges"], at + ".numberranges", number, &ranges))
                return false;
            *value = NumberRangeValue(l, ranges);
        } else if (j.contains("time")) {
            store::TimeDate t;
            if (!time(j["time"], at + ".time", &t))
                return false;
            *value = TimeValue(t);
        } else if (j.contains("times") || j.contains("timeranges")) {
            std::vector<store::TimeDate> l;
            std::vector<std::pair<store::TimeDate, store::TimeDate>> ranges;
            if (j.contains("times") && !List<store::TimeDate>(j["times"], at + ".times", &l, time))
                return false;
            if (j.contains("timeranges") &&
                !pairs(j["timeranges"], at + ".timeranges", time, &ranges))
                return false;
            *value = TimeRangeValue(l, ranges);
        } else if (j.contains("formula")) {
            std::string source;
            if (!text(j["formula"], at + ".formula", &source))
                return false;
            return Formula(source, at, value);
        } else if (j.contains("raw")) {
            std::string hex;
            std::uint16_t type = 0;
            Bytes data;
            if (!j.contains("type"))
                return r_.fail(at, "\"raw\" needs a \"type\"");
            if (!text(j["raw"], at + ".raw", &hex) || !r_.Get(j, "type", at, &type))
                return false;
            if (!ParseHex(hex, &data))
                return r_.fail(at + ".raw", "not an even number of hex digits");
            *value = RawValue(type, data);
        } else if (j.contains("records")) {
            return Records(j, at, value);
        } else {
            // Note references and attachments name other notes and objects: filled in at the end.
            pending_.push_back({infos_.size(), n.items.size(), j, at});
            *value = StandIn(j);
        }
        return true;
    }

    // A record stream as a list of records, encoded by the program's record tables.
    bool Records(const json& j, const std::string& at, Bytes* value) {
        std::uint16_t type = 0;
        if (!j.contains("type"))
            return r_.fail(at, "\"records\" needs a \"type\"");
        if (!r_.Get(j, "type", at, &type))
            return false;
        if (!records_)
            return r_.fail(at + ".records", "this program cannot encode record lists (give the "
                                            "stream as \"raw\" hex with its type)");
        if (!j["records"].is_array())
            return r_.fail(at + ".records", "a list is expected");
        ValueTree list;
        if (!ToTree(j["records"], at + ".records", &list))
            return false;
        Bytes data;
        std::string where, what;
        if (!records_(type, list, &data, &where, &what))
            return r_.fail(at + ".records" + where, what);
        *value = RawValue(type, data);
        return true;
    }

    bool ToTree(const json& j, const std::string& at, ValueTree* out) {
        if (j.is_boolean()) {
            out->type = ValueTree::Type::Bool;
            out->number = j.get<bool>() ? 1 : 0;
        } else if (j.is_number()) {
            out->type = ValueTree::Type::Number;
            out->number = j.get<double>();
        } else if (j.is_string()) {
            out->type = ValueTree::Type::Text;
            out->text = j.get<std::string>();
        } else if (j.is_array()) {
            out->type = ValueTree::Type::List;
            out->list.resize(j.size());
            for (std::size_t i = 0; i < j.size(); ++i)
                if (!ToTree(j[i], at + "[" + std::to_string(i) + "]", &out->list[i]))
                    return false;
        } else if (j.is_object()) {
            out->type = ValueTree::Type::Members;
            for (auto it = j.begin(); it != j.end(); ++it) {
                out->members.push_back({it.key(), ValueTree()});
                if (!ToTree(it.value(), at + "." + it.key(), &out->members.back().value))
                    return false;
            }
        } else {
            return r_.fail(at, "a number, text, list or object is expected");
        }
        return true;
    }

    bool Formula(const std::string& source, const std::string& at, Bytes* value) {
        store::MemHandle h = 0;
        std::size_t length = 0;
        store::FormulaError err;
        const store::Status s =
            store::FormulaCompile(source.data(), source.size(), &h, &length, &err);
        if (s == store::kFormulaSyntax)
            return r_.fail(at + ".formula", "syntax error at offset " + std::to_string(err.offset) +
                                                ": " + err.message);
        if (s != store::kNoError) {
            char text[200];
            store::MessageText(s, text, sizeof text);
            return r_.fail(at + ".formula", "the formula cannot be compiled (status " +
                                                std::to_string(s) +
                                                (*text ? std::string(": ") + text : "") + ")");
        }
        store::OwnedMem owned(h);
        store::LockedMem mem(h);
        const std::size_t n = std::min(length, mem.size());
        *value = RawValue(store::kTypeFormula, Bytes(mem.bytes(), mem.bytes() + n));
        return true;
    }

    bool Objects(const json& root) {
        if (!root.contains("objects"))
            return true;
        const json& objects = root["objects"];
        if (!objects.is_array())
            return r_.fail("objects", "a list is expected");
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const std::string where = "objects[" + std::to_string(i) + "]";
            const json& j = objects[i];
            if (!j.is_object())
                return r_.fail(where, "an object is expected");
            ObjectDesc o;
            if (!j.contains("id") || !j.contains("note"))
                return r_.fail(where, "an object needs an \"id\" and a \"note\"");
            if (!r_.Get(j, "id", where, &o.id) || !r_.Get(j, "note", where, &o.note) ||
                !r_.Get(j, "class", where, &o.objectClass) ||
                !r_.Get(j, "privileges", where, &o.privileges))
                return false;
            std::string s;
            if (j.contains("text")) {
                if (!r_.Text(j["text"], where + ".text", &s))
                    return false;
                o.data.assign(s.begin(), s.end());
            } else if (j.contains("hex")) {
                if (!r_.Text(j["hex"], where + ".hex", &s))
                    return false;
                if (!ParseHex(s, &o.data))
                    return r_.fail(where + ".hex", "not an even number of hex digits");
            }
            desc_.objects.push_back(std::move(o));
        }
        return true;
    }

    bool Acl(const json& root) {
        if (!root.contains("acl"))
            return true;
        const json& j = root["acl"];
        if (!j.is_object())
            return r_.fail("acl", "an object is expected");
        AclDesc acl;
        if (!r_.Get(j, "flags", "acl", &acl.flags) ||
            !r_.GetText(j, "admin-server", "acl", &acl.adminServer))
            return false;
        auto text = [&](const json& v, const std::string& w, std::string* s) {
            return r_.Text(v, w, s);
        };
        if (j.contains("history") &&
            !List<std::string>(j["history"], "acl.history", &acl.history, text))
            return false;
        std::map<std::string, unsigned> roleIndex;
        if (j.contains("roles")) {
            const json& roles = j["roles"];
            if (!roles.is_array())
                return r_.fail("acl.roles", "a list is expected");
            for (std::size_t i = 0; i < roles.size(); ++i) {
                const std::string where = "acl.roles[" + std::to_string(i) + "]";
                AclRoleDesc role;
                if (!roles[i].is_object() || !roles[i].contains("index") ||
                    !roles[i].contains("name"))
                    return r_.fail(where, "a role needs an \"index\" and a \"name\"");
                if (!r_.Get(roles[i], "index", where, &role.index) ||
                    !r_.Text(roles[i]["name"], where + ".name", &role.name))
                    return false;
                roleIndex[role.name] = role.index;
                acl.roles.push_back(role);
            }
        }
        if (j.contains("entries")) {
            const json& entries = j["entries"];
            if (!entries.is_array())
                return r_.fail("acl.entries", "a list is expected");
            for (std::size_t i = 0; i < entries.size(); ++i) {
                const std::string where = "acl.entries[" + std::to_string(i) + "]";
                const json& e = entries[i];
                AclEntryDesc entry;
                if (!e.is_object() || !e.contains("name"))
                    return r_.fail(where, "an entry needs a \"name\"");
                std::uint32_t level = 0, flags = 0;
                if (!r_.Text(e["name"], where + ".name", &entry.name) ||
                    (e.contains("level") &&
                     !r_.Named(e["level"], where + ".level", kAccessLevels, 6, &level)) ||
                    (e.contains("flags") &&
                     !r_.Named(e["flags"], where + ".flags", kEntryFlags, 0xFFFF, &flags)))
                    return false;
                entry.level = static_cast<std::uint16_t>(level);
                entry.flags = static_cast<std::uint16_t>(flags);
                if (e.contains("roles")) {
                    if (!e["roles"].is_array())
                        return r_.fail(where + ".roles", "a list is expected");
                    for (std::size_t k = 0; k < e["roles"].size(); ++k) {
                        const json& role = e["roles"][k];
                        const std::string rw = where + ".roles[" + std::to_string(k) + "]";
                        std::uint64_t bit = 0;
                        if (role.is_string() && roleIndex.count(role.get<std::string>())) {
                            bit = roleIndex[role.get<std::string>()];
                            // The role's own index is checked only before writing; the bit is
                            // set now.
                            if (bit >= store::kAclRoleCount)
                                return r_.fail(rw, "role \"" + role.get<std::string>() +
                                                       "\" has index " + std::to_string(bit) +
                                                       ", which must lie in 0..79");
                        } else if (role.is_string() && !role.get<std::string>().empty() &&
                                   !std::isdigit(
                                       static_cast<unsigned char>(role.get<std::string>()[0]))) {
                            return r_.fail(rw, "no role named \"" + role.get<std::string>() + "\"");
                        } else if (!r_.Number(role, rw, store::kAclRoleCount - 1, &bit)) {
                            return false;
                        }
                        entry.roles.bits[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
                    }
                }
                acl.entries.push_back(std::move(entry));
            }
        }
        desc_.acl = std::move(acl);
        return true;
    }

    // The first note of an ID (a second one is refused by the check anyway).
    const NoteInfo* FindNote(store::NoteId id) const {
        const auto found = infoOf_.find(id);
        return found == infoOf_.end() ? nullptr : &infos_[found->second];
    }

    void Resolved(const Pending& p, Bytes&& value) {
        if (sink_)
            sink_->resolved(infos_[p.note].id, p.item, value);
        else
            desc_.notes[p.note].items[p.item].value = std::move(value);
    }

    // Note references and attachments, now that every note and object is known.
    bool Resolve() {
        for (const Pending& p : pending_) {
            Bytes value;
            const NoteInfo& owner = infos_[p.note];
            if (p.desc.contains("noterefs")) {
                const json& refs = p.desc["noterefs"];
                if (!refs.is_array() || refs.size() > 0xFFFF)
                    return r_.fail(p.where, "a list of note IDs is expected");
                value.clear();
                PutU16(value, store::kTypeNoteRefList);
                PutU16(value, static_cast<std::uint16_t>(refs.size()));
                for (std::size_t i = 0; i < refs.size(); ++i) {
                    std::uint64_t id;
                    if (!r_.Number(refs[i], p.where + "[" + std::to_string(i) + "]", 0x7FFFFFFF,
                                   &id))
                        return false;
                    const NoteInfo* target = FindNote(static_cast<store::NoteId>(id));
                    if (!target)
                        return r_.fail(p.where, "note " + std::to_string(id) + " does not exist");
                    for (const store::TimeDate& t : {target->file, target->note}) {
                        PutU32(value, t.w[0]);
                        PutU32(value, t.w[1]);
                    }
                }
                Resolved(p, std::move(value));
                continue;
            }
            const json& a = p.desc["attachment"];
            std::uint32_t objectId = 0;
            std::string file;
            if (!a.is_object() || !a.contains("object") || !a.contains("file"))
                return r_.fail(p.where, "an attachment needs an \"object\" and a \"file\"");
            if (!r_.Get(a, "object", p.where + ".attachment", &objectId) ||
                !r_.Text(a["file"], p.where + ".attachment.file", &file))
                return false;
            const ObjectDesc* object = nullptr;
            for (const ObjectDesc& o : desc_.objects)
                if (o.id == objectId)
                    object = &o;
            if (!object)
                return r_.fail(p.where, "object " + std::to_string(objectId) + " does not exist");
            if (file.size() > 0xFFFF)
                return r_.fail(p.where, "the file name is too long");
            // The object descriptor of a file: type 0, identifier, name length, host, compression,
            // attributes, file flags, size, created, modified, name.
            value.clear();
            PutU16(value, 3);
            PutU16(value, 0);
            PutU32(value, objectId);
            PutU16(value, static_cast<std::uint16_t>(file.size()));
            PutU16(value, 0);
            PutU16(value, 0);
            PutU16(value, 0);
            PutU16(value, 0);
            PutU32(value, static_cast<std::uint32_t>(object->data.size()));
            for (const store::TimeDate& t : {owner.created, owner.modified}) {
                PutU32(value, t.w[0]);
                PutU32(value, t.w[1]);
            }
            PutBytes(value, file);
            Resolved(p, std::move(value));
        }
        return true;
    }

    Reader& r_;
    DatabaseDesc& desc_;
    RecordStreamEncoder records_;
    const NoteSink* sink_;
    std::vector<Pending> pending_;
    std::vector<NoteInfo> infos_;
    std::unordered_map<store::NoteId, std::size_t> infoOf_; // note ID to its first entry
    store::NoteId next_ = 4;                                // the ID of a note that gives none
};

// Arrays and objects nested deeper than this are refused before parsing: the parser, the
// locator and the values themselves recurse once per level. Descriptions need fewer than ten.
constexpr std::size_t kMaxNesting = 64;

// The 1-based line of the first bracket that opens a level past kMaxNesting, or 0. Brackets
// inside texts do not count.
std::size_t LineTooDeep(std::string_view text) {
    std::size_t depth = 0, line = 1;
    bool inText = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (inText) {
            if (c == '\\')
                ++i; // an escaped character, never a quote that ends the text
            else if (c == '"')
                inText = false;
        } else if (c == '"') {
            inText = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxNesting)
                return line;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return 0;
}

} // namespace

namespace {

// With `release` (the string that holds text, read from the file named fileName) the text is
// released after the first pass and the second reads the file again, so that the text and the
// built description are never held together.
bool Parse(const std::string& text, const std::string& fileName, DatabaseDesc* desc,
           std::string* error, RecordStreamEncoder records, std::string* release,
           const NoteSink* sink) {
    const bool fromFile = release != nullptr;
    if (const std::size_t line = LineTooDeep(text); line != 0) {
        *error = fileName + ":" + std::to_string(line) + ": values nested deeper than " +
                 std::to_string(kMaxNesting) + " levels";
        return false;
    }
    // The first pass checks the whole text and keeps everything but the elements of the
    // "notes" list (of the last one, as a repeated key's last value counts); the second reads
    // those elements one at a time, so that no more than one note's JSON values exist at once.
    using Event = json::parse_event_t;
    std::size_t notesKeys = 0, noteCount = 0;
    bool inNotes = false;
    json root;
    try {
        root = json::parse(text, [&](int depth, Event event, json& parsed) {
            if (event == Event::key && depth == 1) {
                inNotes = parsed == "notes";
                if (inNotes) {
                    ++notesKeys;
                    noteCount = 0;
                }
                return true;
            }
            if (inNotes && depth == 2 &&
                (event == Event::object_start || event == Event::array_start ||
                 event == Event::value))
                ++noteCount;
            return !(inNotes && depth >= 2);
        });
    } catch (const json::parse_error& e) {
        // Turn the byte position into a line for the message.
        std::size_t line = 1;
        for (std::size_t i = 0; i < e.byte && i < text.size(); ++i)
            line += text[i] == '\n';
        std::string what = e.what();
        const std::size_t colon = what.find(": ", what.find("parse error"));
        *error = fileName + ":" + std::to_string(line) + ": invalid JSON" +
                 (colon == std::string::npos ? std::string() : what.substr(colon));
        return false;
    } catch (const json::exception& e) {
        // The reader's other refusals (a number beyond the range of a double) give no place.
        const std::string what = e.what();
        const std::size_t close = what.find("] ");
        *error = fileName +
                 ": invalid JSON: " + (close == std::string::npos ? what : what.substr(close + 2));
        return false;
    }
    FILE* file = nullptr;
    if (fromFile) {
        std::string().swap(*release);
        int err = 0;
        const int fd = OpenPlainFile(fileName, &err);
        file = fd < 0 ? nullptr : fdopen(fd, "rb");
        if (!file) {
            if (fd >= 0)
                close(fd);
            *error = fileName + ": cannot be read (" + PlainFileError(fd < 0 ? err : errno) + ")";
            return false;
        }
    }
    struct Closer {
        FILE* f;
        ~Closer() {
            if (f)
                std::fclose(f);
        }
    } closer{file};
    Reader reader(fileName, text, fromFile);
    *desc = DatabaseDesc();
    if (!sink)
        desc->notes.reserve(noteCount);
    DescriptionReader r(reader, *desc, records, sink);
    auto notes = [&] {
        std::size_t key = 0, index = 0;
        bool ok = true, mine = false;
        inNotes = false;
        const json::parser_callback_t each = [&](int depth, Event event, json& parsed) {
            if (depth == 1 && event == Event::key) {
                mine = parsed == "notes" && ++key == notesKeys;
                return mine; // the rest was read in the first pass
            }
            if (!mine || depth < 2) {
                return true;
            }
            if (depth == 2 && (event == Event::value || event == Event::object_end ||
                               event == Event::array_end)) {
                ok = ok && r.Note(parsed, index++);
                return false; // read: its values are no longer needed
            }
            return ok; // after a wrong note nothing more is kept
        };
        const json kept = file ? json::parse(file, each) : json::parse(text, each);
        (void)kept; // the root with an empty list
        return ok;
    };
    bool ok;
    try {
        ok = r.Read(root, notes);
    } catch (const json::exception& e) {
        // A value of the wrong JSON type where a plain one was expected (e.g. "default": "yes").
        ok = reader.fail("", std::string("unexpected value: ") + e.what());
    }
    if (!ok) {
        *error = reader.error();
        return false;
    }
    return true;
}

} // namespace

bool ParseDescription(const std::string& text, const std::string& fileName, DatabaseDesc* desc,
                      std::string* error, RecordStreamEncoder records) {
    return Parse(text, fileName, desc, error, records, nullptr, nullptr);
}

namespace {

bool Load(const std::string& path, DatabaseDesc* desc, std::string* error,
          RecordStreamEncoder records, const NoteSink* sink) {
    std::string text;
    if (const int err = ReadPlainFile(path, &text, kMaxDescriptionBytes); err != 0) {
        *error = path + ": cannot be read (" + PlainFileError(err) + ")";
        return false;
    }
    return Parse(text, path, desc, error, records, &text, sink);
}

} // namespace

bool LoadDescription(const std::string& path, DatabaseDesc* desc, std::string* error,
                     RecordStreamEncoder records) {
    return Load(path, desc, error, records, nullptr);
}

bool LoadDescription(const std::string& path, DatabaseDesc* desc, std::string* error,
                     RecordStreamEncoder records, const NoteSink& sink) {
    return Load(path, desc, error, records, &sink);
}

} // namespace vlt::builder
