#include "app/CommandLinePath.h"

#include <filesystem>

#include "store/api/Paths.h"
#include "store/api/Session.h"

namespace {

namespace fs = std::filesystem;

// Whether anything is there, a broken or looping link included: opening it reports the rest.
bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

std::string DataDirectory() {
    char buffer[4096] = "";
    store::GetEnvironmentValue("Directory", buffer, sizeof buffer);
    return buffer;
}

} // namespace

CommandLinePath ResolveCommandLinePath(const std::string& typed) {
    CommandLinePath result{typed, {}};
    if (typed.empty() || typed.find(store::kServerSeparator) != std::string::npos)
        return result;
    if (fs::path(typed).is_absolute()) {
        if (!Exists(typed))
            result.problem = typed + ": no such file";
        return result;
    }
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (!ec && Exists(here / typed)) {
        result.path = (here / typed).lexically_normal().string();
        return result;
    }
    char file[4096] = "";
    if (store::ResolveStorePath(typed.data(), typed.size(), file, sizeof file) == store::kNoError &&
        Exists(file))
        return result;
    result.problem = typed + ": no such file (looked in the current folder " +
                     (ec ? std::string("(unknown)") : here.string()) +
                     " and in the data directory " + DataDirectory() + ")";
    return result;
}
