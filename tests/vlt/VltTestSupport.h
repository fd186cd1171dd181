// Shared code of the engine tests: scratch directories and small databases built on the fly.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "store/api/Database.h"
#include "vlt/builder/JsonDescription.h"
#include "vlt/builder/Values.h"
#include "vlt/builder/Writer.h"

namespace vlttest {

namespace fs = std::filesystem;

// A fresh directory removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        static int n = 0;
        path_ = fs::temp_directory_path() /
                ("delvex-vlt-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Builds the JSON description into `dir/name` and returns the file's path.
inline std::string BuildJson(const ScratchDir& dir, const std::string& name,
                             const std::string& json) {
    vlt::builder::DatabaseDesc desc;
    std::string error;
    EXPECT_TRUE(vlt::builder::ParseDescription(json, name + ".json", &desc, &error)) << error;
    const std::string path = dir.file(name);
    EXPECT_TRUE(vlt::builder::WriteDatabase(desc, path, &error)) << error;
    return path;
}

// An open database closed at the end of the scope.
class OpenDb {
public:
    explicit OpenDb(const std::string& path) { status_ = store::OpenDatabase(path.c_str(), &db_); }
    ~OpenDb() {
        if (db_)
            store::CloseDatabase(db_);
    }
    store::DbHandle get() const { return db_; }
    store::Status status() const { return status_; }

private:
    store::DbHandle db_ = 0;
    store::Status status_;
};

} // namespace vlttest
