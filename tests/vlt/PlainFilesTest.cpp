// Files from outside the program: a named pipe in a file's place never blocks, and a symbolic
// link never leads out of a server's folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "DataDirFixture.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Search.h"
#include "store/api/Session.h"
#include "support/BoundedChild.h"
#include "vlt/builder/JsonDescription.h"
#include "vlt/builder/Writer.h"

using namespace store;
namespace fs = std::filesystem;

namespace {

class PlainFiles : public DataDirFixture {
protected:
    void Database(const std::string& relative, const std::string& title) {
        vlt::builder::DatabaseDesc desc;
        std::string error;
        ASSERT_TRUE(vlt::builder::ParseDescription(R"({"title": ")" + title +
                                                       R"(", "notes": [ { "id": 4, "items": [ )" +
                                                       R"({ "name": "Form", "text": "A" } ] } ] })",
                                                   "d.json", &desc, &error))
            << error;
        ASSERT_TRUE(vlt::builder::WriteDatabase(desc, dir() + "/" + relative, &error)) << error;
    }
    void Pipe(const std::string& relative) {
        ASSERT_EQ(::mkfifo((dir() + "/" + relative).c_str(), 0600), 0) << relative;
    }
    void Link(const std::string& target, const std::string& relative) {
        fs::create_symlink(target, dir() + "/" + relative);
    }
};

std::string Detail() {
    char buffer[512] = "";
    LastErrorDetail(buffer, sizeof buffer);
    return buffer;
}

// The entries of a directory listing: name -> the title of its "$Info", or "-" without one.
std::map<std::string, std::string> Listing(const std::string& path, Status* status) {
    std::map<std::string, std::string> out;
    DbHandle dir = 0;
    *status = OpenDatabase(path.c_str(), &dir);
    if (*status != kNoError)
        return out;
    auto collect = [](void* ctx, const SEARCH_MATCH*, const ITEM_TABLE* summary) -> Status {
        char name[128] = "", info[256] = "";
        SummaryValueText(summary, "$TITLE", name, sizeof name, nullptr);
        const bool hasInfo =
            SummaryValueText(summary, "$Info", info, sizeof info, nullptr) == kNoError;
        (*static_cast<std::map<std::string, std::string>*>(ctx))[name] =
            hasInfo ? std::string(info).substr(0, std::string(info).find('\n')) : "-";
        return kNoError;
    };
    *status = Search(dir, nullptr, 0, 6, 0xC004, nullptr, collect, &out);
    CloseDatabase(dir);
    return out;
}

std::string Text(const std::map<std::string, std::string>& listing) {
    std::string out;
    for (const auto& [name, info] : listing)
        out += name + "=" + info + ";";
    return out;
}

} // namespace

TEST_F(PlainFiles, PipesInFilesPlacesAreRefusedWithoutBlocking) {
    Database("good.vlt", "Good");
    Pipe("pipe.vlt");
    const std::string listed = testsupport::InBoundedChild(10, [&] {
        SessionStart();
        Status s = kNoError;
        const std::string text = Text(Listing(dir(), &s));
        return "status " + std::to_string(s) + ": " + text;
    });
    // The pipe is listed like any database that does not open, and never read.
    EXPECT_EQ(listed, "status 0: good.vlt=Good;pipe.vlt=-;");

    const std::string opened = testsupport::InBoundedChild(10, [&] {
        SessionStart();
        DbHandle db = 0;
        const Status s = OpenDatabase("pipe.vlt", &db);
        return std::to_string(s) + " " + Detail();
    });
    EXPECT_EQ(opened.rfind(std::to_string(kNotADatabase) + " ", 0), 0u) << opened;

    // The named servers and the store's own settings are read at the start of a session.
    Pipe("servers.ini");
    Pipe("store.ini");
    setenv("DELVEX_STORE_SETTINGS", (dir() + "/store.ini").c_str(), 1);
    const std::string notes = testsupport::InBoundedChild(10, [&] {
        SessionStart();
        char text[2048] = "";
        GetSessionNotes(text, sizeof text, nullptr);
        return std::string("started\n") + text;
    });
    EXPECT_EQ(notes.rfind("started\n", 0), 0u) << notes;
    EXPECT_NE(notes.find(dir() + "/servers.ini: not a plain file"), std::string::npos) << notes;
    EXPECT_NE(notes.find(dir() + "/store.ini: not a plain file"), std::string::npos) << notes;

    // The description a database is built from.
    const std::string built = testsupport::InBoundedChild(10, [&] {
        vlt::builder::DatabaseDesc desc;
        std::string error;
        return vlt::builder::LoadDescription(dir() + "/pipe.vlt", &desc, &error) ? "loaded" : error;
    });
    EXPECT_EQ(built, dir() + "/pipe.vlt: cannot be read (not a plain file)");
}

TEST_F(PlainFiles, SymbolicLinksNeverLeadOutOfAServersFolder) {
    MakeDir("srv/sub");
    Write("servers.ini", "[Hub]\nDirectory=srv\n");
    Database("outside.vlt", "Outside");
    Database("srv/inside.vlt", "Inside");
    Link("../outside.vlt", "srv/out.vlt");
    Link(dir() + "/outside.vlt", "srv/abs.vlt");
    Link(dir(), "srv/outdir");
    Link("inside.vlt", "srv/in-link.vlt");
    Link("../inside.vlt", "srv/sub/up.vlt");
    Link("loop.vlt", "srv/loop.vlt");
    ASSERT_EQ(SessionStart(), kNoError);

    const struct {
        const char* path;
        Status status;
    } cases[] = {
        {"Hub!!out.vlt", kBadPath},         {"Hub!!abs.vlt", kBadPath},
        {"Hub!!outdir", kBadPath},          {"Hub!!outdir\\outside.vlt", kBadPath},
        {"Hub!!in-link.vlt", kNoError},     {"Hub!!sub\\up.vlt", kNoError},
        {"Hub!!inside.vlt", kNoError},      {"Hub!!missing.vlt", kNoError},
        {"Hub!!outdir\\missing", kBadPath}, {"srv/out.vlt", kNoError},
    };
    for (const auto& c : cases) {
        char file[512];
        const std::string path = c.path;
        EXPECT_EQ(ResolveStorePath(path.data(), path.size(), file, sizeof file), c.status)
            << c.path << " -> " << file;
    }
    // Out through a link and back in: the file given is the one inside, reached without the
    // link, so that what is opened is what was checked.
    {
        Link("..", "srv/up");
        char file[512];
        const std::string path = "Hub!!up\\srv\\inside.vlt";
        ASSERT_EQ(ResolveStorePath(path.data(), path.size(), file, sizeof file), kNoError);
        EXPECT_EQ(file, fs::canonical(dir() + "/srv/inside.vlt").string());
        fs::remove(dir() + "/srv/up");
    }

    DbHandle db = 0;
    EXPECT_EQ(OpenDatabase("Hub!!out.vlt", &db), kBadPath);
    EXPECT_NE(Detail().find("outside the folder of server Hub"), std::string::npos) << Detail();
    EXPECT_EQ(OpenDatabase("Hub!!outdir", &db), kBadPath);
    // The user's own data directory may link where it likes.
    ASSERT_EQ(OpenDatabase("srv/out.vlt", &db), kNoError);
    CloseDatabase(db);

    // The listing shows the links but opens only what lies inside.
    Status s = kNoError;
    EXPECT_EQ(Text(Listing("Hub!!", &s)), "abs.vlt=-;in-link.vlt=Inside;inside.vlt=Inside;"
                                          "loop.vlt=-;out.vlt=-;outdir=-;sub=-;");
    EXPECT_EQ(s, kNoError);
}
