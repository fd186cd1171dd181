// The databases the sample directory is built from ("name.vlt.json" becomes "name.vlt"),
// named relative to it, in order.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> SampleNames() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const fs::path data = fs::path(DELVEX_SAMPLES_SOURCE_DIR) / "data";
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(data)) {
        const std::string rel = fs::relative(e.path(), data).generic_string();
        if (e.is_regular_file() && rel.size() > 5 && rel.ends_with(".json"))
            names.push_back(rel.substr(0, rel.size() - 5));
    }
    std::sort(names.begin(), names.end());
    return names;
}
