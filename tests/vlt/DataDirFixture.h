// A fresh data directory for one test: files are written into it, the session is started on it,
// and everything is put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "store/api/Session.h"

class DataDirFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/delvex-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        if (const char* old = std::getenv("DELVEX_DATA_DIR"))
            oldDir_ = old;
        setenv("DELVEX_DATA_DIR", dir_.c_str(), 1);
        setenv("DELVEX_STORE_SETTINGS", (dir_ + "/no-such-settings.ini").c_str(), 1);
    }
    void TearDown() override {
        store::SessionEnd();
        if (oldDir_)
            setenv("DELVEX_DATA_DIR", oldDir_->c_str(), 1);
        else
            unsetenv("DELVEX_DATA_DIR");
        unsetenv("DELVEX_STORE_SETTINGS");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    void Write(const std::string& relative, const std::string& text) {
        const std::filesystem::path p = std::filesystem::path(dir_) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
    void MakeDir(const std::string& relative) {
        std::filesystem::create_directories(std::filesystem::path(dir_) / relative);
    }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    std::optional<std::string> oldDir_;
};
