#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/IniSettings.h"
#include "common/MemorySettings.h"
#include "common/SettingsLocation.h"

namespace fs = std::filesystem;

namespace {

class IniSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/delvex-settings-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::permissions(dir_, fs::perms(0755)); // reachable by the unprivileged child below
    }
    void TearDown() override {
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(dir_, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    static void Put(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    static std::string Get(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Files in the directory other than `keep`: what a failed write must not leave behind.
    std::vector<std::string> Others(const fs::path& d, const std::string& keep) const {
        std::vector<std::string> out;
        for (auto& e : fs::directory_iterator(d))
            if (e.path().filename() != keep)
                out.push_back(e.path().filename().string());
        return out;
    }
    fs::path dir_;
};

// Runs `write` in a child process, as an unprivileged user when we are the superuser (who may
// write anywhere), and returns its failure text, or "ok".
template <class F> std::string InChild(F write, bool dropPrivileges) {
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        if (dropPrivileges && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const std::string result = write();
        (void)!::write(pipeFd[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeFd[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFd[0], buf, sizeof buf)) > 0;)
        out.append(buf, std::size_t(n));
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

} // namespace

TEST_F(IniSettingsTest, CreatesTheDirectoryAndKeepsWhatOthersWrote) {
    const fs::path file = dir_ / "a" / "b" / "dvxtool.ini";
    CIniSettings s(file.string());
    EXPECT_EQ(s.GetInt("Delvex", "Placeholders", 1), 1);
    EXPECT_EQ(s.LastError(), ""); // a missing file is no failure
    ASSERT_TRUE(s.WriteInt("Delvex", "Placeholders", 0)) << s.LastError();
    EXPECT_EQ(Get(file), "[Delvex]\nPlaceholders=0\n");

    // Someone edits the file between our writes: the edit is seen and survives.
    Put(file, "; mine\n[Delvex]\nPlaceholders=0\n[Other]\nbroken line\n");
    EXPECT_EQ(s.Keys("Other"), std::vector<std::string>{});
    ASSERT_TRUE(s.WriteString("DELVEX", "HiddenTypes", "q"));
    EXPECT_EQ(Get(file), "; mine\n[Delvex]\nPlaceholders=0\nHiddenTypes=q\n[Other]\nbroken line\n");
    EXPECT_EQ(CIniSettings(file.string()).GetString("delvex", "hiddentypes"), "q");
    EXPECT_EQ(Others(file.parent_path(), "dvxtool.ini"), std::vector<std::string>{});
}

TEST_F(IniSettingsTest, ADirectoryThatCannotBeMadeIsReportedAndDefaultsApply) {
    Put(dir_ / "plain", "x");
    const std::string file = (dir_ / "plain" / "delvex" / "dvxtool.ini").string();
    CIniSettings s(file);
    EXPECT_EQ(s.GetString("Delvex", "HiddenTypes", "none"), "none");
    EXPECT_FALSE(s.WriteString("Delvex", "HiddenTypes", "q"));
    EXPECT_NE(s.LastError().find(file), std::string::npos) << s.LastError();
    EXPECT_NE(s.LastError().find("directory"), std::string::npos) << s.LastError();
}

TEST_F(IniSettingsTest, AReadOnlyDirectoryRefusesWritesAndKeepsTheFile) {
    const fs::path ro = dir_ / "ro";
    fs::create_directory(ro);
    Put(ro / "dvxtool.ini", "[Delvex]\nPlaceholders=0\n");
    fs::permissions(ro, fs::perms(0555));
    const std::string result = InChild(
        [&] {
            CIniSettings s((ro / "dvxtool.ini").string());
            if (s.GetInt("Delvex", "Placeholders", 1) != 0)
                return std::string("unreadable");
            return s.WriteInt("Delvex", "Placeholders", 1) ? std::string("ok") : s.LastError();
        },
        true);
    EXPECT_NE(result.find((ro / "dvxtool.ini").string()), std::string::npos) << result;
    EXPECT_NE(result.find("Permission denied"), std::string::npos) << result;
    EXPECT_EQ(Get(ro / "dvxtool.ini"), "[Delvex]\nPlaceholders=0\n");
    EXPECT_EQ(Others(ro, "dvxtool.ini"), std::vector<std::string>{});
}

TEST_F(IniSettingsTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    // Unreadable even for the superuser: a directory, and a pipe that must not hang the reader.
    const fs::path folder = dir_ / "folder.ini", pipe = dir_ / "pipe.ini";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const auto& [path, reason] :
         {std::pair{folder, "Is a directory"}, std::pair{pipe, "not a regular file"}}) {
        CIniSettings s(path.string());
        EXPECT_EQ(s.GetInt("Delvex", "Placeholders", 7), 7);
        EXPECT_NE(s.LastError().find(reason), std::string::npos) << s.LastError();
        EXPECT_FALSE(s.WriteInt("Delvex", "Placeholders", 1));
        EXPECT_NE(s.LastError().find("left unchanged"), std::string::npos) << s.LastError();
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(IniSettingsTest, AnInterruptedWriteLeavesTheOldFileWhole) {
    const fs::path file = dir_ / "dvxtool.ini";
    const std::string old = "[Keep]\nthis=that\n";
    Put(file, old);
    // The child may write only a few bytes to any file, so the new content is cut short.
    const std::string result = InChild(
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{8, 8};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            CIniSettings s(file.string());
            return s.WriteString("Delvex", "Big", std::string(4096, 'x')) ? std::string("ok")
                                                                          : s.LastError();
        },
        false);
    EXPECT_NE(result.find("could not be written"), std::string::npos) << result;
    EXPECT_EQ(Get(file), old);
    EXPECT_EQ(Others(dir_, "dvxtool.ini"), std::vector<std::string>{});
}

TEST_F(IniSettingsTest, KeepsPermissionsAndSymbolicLinks) {
    fs::create_directory(dir_ / "real");
    Put(dir_ / "real" / "dvxtool.ini", "[A]\n");
    fs::permissions(dir_ / "real" / "dvxtool.ini", fs::perms(0640));
    fs::create_symlink(dir_ / "real" / "dvxtool.ini", dir_ / "link.ini");
    CIniSettings s((dir_ / "link.ini").string());
    ASSERT_TRUE(s.WriteString("A", "k", "v")) << s.LastError();
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
    EXPECT_EQ(Get(dir_ / "real" / "dvxtool.ini"), "[A]\nk=v\n");
    EXPECT_EQ(fs::status(dir_ / "real" / "dvxtool.ini").permissions(), fs::perms(0640));
}

TEST_F(IniSettingsTest, AReadOnlyFileIsLeftAloneWithAMessage) {
    const fs::path file = dir_ / "dvxtool.ini";
    Put(file, "[Delvex]\nPlaceholders=0\n");
    fs::permissions(file, fs::perms(0444));
    CIniSettings s(file.string());
    EXPECT_EQ(s.GetInt("Delvex", "Placeholders", 1), 0);
    EXPECT_FALSE(s.WriteInt("Delvex", "Placeholders", 1));
    EXPECT_EQ(s.LastError(), "Couldn't write settings file " + file.string() +
                                 ": it is read-only, so it is left unchanged");
    EXPECT_EQ(Get(file), "[Delvex]\nPlaceholders=0\n");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0444));
    EXPECT_EQ(Others(dir_, "dvxtool.ini"), std::vector<std::string>{});
}

TEST_F(IniSettingsTest, WritesGoThroughLinksToAFileNotYetThere) {
    fs::create_directory(dir_ / "real");
    fs::create_symlink("real/dvxtool.ini", dir_ / "first.ini"); // relative, and dangling
    fs::create_symlink(dir_ / "first.ini", dir_ / "second.ini");
    CIniSettings s((dir_ / "second.ini").string());
    ASSERT_TRUE(s.WriteString("A", "k", "v")) << s.LastError();
    EXPECT_TRUE(fs::is_symlink(dir_ / "second.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "first.ini"));
    EXPECT_EQ(Get(dir_ / "real" / "dvxtool.ini"), "[A]\nk=v\n");

    fs::create_symlink("loop.ini", dir_ / "loop.ini");
    CIniSettings loop((dir_ / "loop.ini").string());
    EXPECT_FALSE(loop.WriteString("A", "k", "v"));
    EXPECT_NE(loop.LastError().find("symbolic links"), std::string::npos) << loop.LastError();
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop.ini"));
}

TEST_F(IniSettingsTest, CrLfLineEndsStayCrLf) {
    const fs::path file = dir_ / "dvxtool.ini";
    Put(file, "; edited elsewhere\r\n[Delvex]\r\nPlaceholders=0\r\n");
    CIniSettings s(file.string());
    ASSERT_TRUE(s.WriteInt("Delvex", "Placeholders", 1)) << s.LastError();
    ASSERT_TRUE(s.WriteString("Delvex", "HiddenTypes", "q")) << s.LastError();
    ASSERT_TRUE(s.WriteString("Tree Pane", "Font", "f")) << s.LastError();
    EXPECT_EQ(Get(file), "; edited elsewhere\r\n[Delvex]\r\nPlaceholders=1\r\nHiddenTypes=q\r\n"
                         "\r\n[Tree Pane]\r\nFont=f\r\n");
}

TEST(SettingsLocation, EnvironmentDecidesWhereTheFileIs) {
    struct Case {
        const char *own, *xdg, *home, *want;
    } cases[] = {
        {"/x/my.ini", "/cfg", "/home/u", "/x/my.ini"},
        {"", "/cfg", "/home/u", "/cfg/delvex/dvxtool.ini"},
        {nullptr, "relative", "/home/u", "/home/u/.config/delvex/dvxtool.ini"},
        {nullptr, nullptr, "/home/u", "/home/u/.config/delvex/dvxtool.ini"},
        {nullptr, "", "", ""},
    };
    for (const Case& c : cases) {
        const SettingsLocation where = LocateSettingsFile(c.own, c.xdg, c.home);
        EXPECT_EQ(where.path, c.want);
        EXPECT_EQ(where.error.empty(), *c.want != '\0');
    }
    CIniSettings nowhere("", LocateSettingsFile(nullptr, nullptr, nullptr).error);
    EXPECT_FALSE(nowhere.WriteInt("Delvex", "Placeholders", 1));
    EXPECT_NE(nowhere.LastError().find("HOME"), std::string::npos);
}

TEST(Settings, IntegersReadLikeTheFileSaysAndFallBackOtherwise) {
    CMemorySettings s;
    const std::pair<const char*, long> cases[] = {
        {"12", 12},    {" -7", -7}, {"+3", 3}, {"0x1F", 31},
        {"12abc", 12}, {"abc", 99}, {"", 99},  {"99999999999999999999", 99},
        {"-", 99}};
    for (const auto& [text, want] : cases) {
        ASSERT_TRUE(s.WriteString("Delvex", "N", text));
        EXPECT_EQ(s.GetInt("Delvex", "N", 99), want) << text;
    }
    EXPECT_EQ(s.GetInt("Delvex", "Missing", -1), -1);
    ASSERT_TRUE(s.WriteInt("Delvex", "N", -42));
    EXPECT_EQ(s.GetString("delvex", "n"), "-42");
    EXPECT_EQ(s.GetString("Delvex", "Missing", "dflt"), "dflt");
}
