#include "common/CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#ifndef DELVEX_VERSION
#define DELVEX_VERSION "unknown"
#endif

namespace commandline {
namespace {

constexpr std::size_t kColumn = 28; // where descriptions start in --help

// "-o, --output FILE" or "    --version": short names first, values named by their type.
std::string Names(const CLI::Option& op) {
    std::string names;
    for (const std::string& s : op.get_snames()) {
        names += (names.empty() ? "-" : ", -") + s;
    }
    if (names.empty()) {
        names = "  ";
    }
    for (const std::string& l : op.get_lnames()) {
        names += (names == "  " ? "  --" : ", --") + l;
    }
    if (op.get_type_size_max() > 0) {
        names += " " + op.get_type_name();
    }
    return names;
}

void Row(std::ostream& o, const std::string& left, const std::string& text) {
    o << "  " << left;
    if (left.size() + 2 >= kColumn) {
        o << "\n" << std::string(kColumn, ' ');
    } else {
        o << std::string(kColumn - 2 - left.size(), ' ');
    }
    o << text << "\n";
}

// What a value is called in "option -o needs a file name".
std::string ValueNoun(const std::string& typeName) {
    if (typeName == "FILE") {
        return "a file name";
    }
    return "a value (" + typeName + ")";
}

} // namespace

std::string SampleDataDirectory() {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef DELVEX_INSTALLED_SAMPLE_DATA
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed =
            (program.parent_path() / DELVEX_INSTALLED_SAMPLE_DATA).lexically_normal();
        if (fs::is_directory(installed, ec)) {
            return installed.string();
        }
    }
#endif
#ifdef DELVEX_SAMPLE_DATA_DIR
    if (fs::is_directory(DELVEX_SAMPLE_DATA_DIR, ec)) {
        return DELVEX_SAMPLE_DATA_DIR;
    }
#endif
    return {};
}

std::string VersionLine(const std::string& name) {
    return name + " (Delvex) " DELVEX_VERSION;
}

CCommandLine::CCommandLine(Program program) : program_(std::move(program)), app_() {
    app_.name(program_.name);
    app_.description(program_.summary);
    // Unknown options and surplus arguments are reported here in the programs' own words.
    app_.allow_extras();
    // An option given twice takes its last value, as is usual.
    app_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app_.set_help_flag("-h,--help", "show this help and exit");
    app_.set_version_flag("--version", VersionLine(program_.name), "show the version and exit");
}

std::string CCommandLine::UsageLine() const {
    return "Usage: " + program_.name + (program_.usage.empty() ? "" : " " + program_.usage);
}

std::string CCommandLine::Help() const {
    std::ostringstream o;
    o << UsageLine() << "\n" << program_.summary << "\n";
    const CLI::Option* help = app_.get_help_ptr();
    std::vector<const CLI::Option*> positionals, options, last;
    for (const CLI::Option* op : app_.get_options()) {
        if (op->get_group().empty()) {
            continue; // hidden
        }
        if (op->get_positional() && op->get_snames().empty() && op->get_lnames().empty()) {
            positionals.push_back(op);
        } else if (op == help || op->get_lnames() == std::vector<std::string>{"version"}) {
            last.push_back(op);
        } else {
            options.push_back(op);
        }
    }
    if (!positionals.empty()) {
        o << "\nArguments:\n";
        for (const CLI::Option* op : positionals) {
            Row(o, op->get_name(true), op->get_description());
        }
    }
    o << "\nOptions:\n";
    options.insert(options.end(), last.begin(), last.end());
    for (const CLI::Option* op : options) {
        Row(o, Names(*op), op->get_description());
    }
    if (!program_.notes.empty()) {
        o << "\n" << program_.notes;
        if (program_.notes.back() != '\n') {
            o << "\n";
        }
    }
    o << "\nExit status:\n";
    for (const ExitStatus& e : program_.exits) {
        const std::string code = std::to_string(e.code);
        o << "  " << code << std::string(code.size() < 5 ? 5 - code.size() : 1, ' ') << e.meaning
          << "\n";
    }
    return o.str();
}

int CCommandLine::UsageError(const std::string& message, std::ostream& err) const {
    err << program_.name << ": " << message << "\n"
        << UsageLine() << "\n"
        << "Try '" << program_.name << " --help' for more information.\n";
    return kUsage;
}

std::optional<int> CCommandLine::Parse(const std::vector<std::string>& args, std::ostream& out,
                                       std::ostream& err) {
    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes them last first
    try {
        app_.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << Help();
        return kOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kOk;
    } catch (const CLI::ArgumentMismatch& e) {
        // "--output: 1 required FILE missing": a value is missing after the option named first.
        const std::string what = e.what();
        const std::string name = what.substr(0, what.find(':'));
        for (const CLI::Option* op : app_.get_options()) {
            if (what.ends_with(" missing") && !op->get_positional() && op->get_name() == name) {
                return UsageError("option " + name + " needs " + ValueNoun(op->get_type_name()),
                                  err);
            }
        }
        return UsageError(what, err);
    } catch (const CLI::ParseError& e) {
        return UsageError(e.what(), err);
    }
    // Allowing extras keeps the "--" that ends the options among them; after it nothing is an
    // option.
    std::vector<std::string> extra;
    bool options = true;
    for (const std::string& e : app_.remaining()) {
        if (options && e == "--") {
            options = false;
        } else if (options && e.size() > 1 && e[0] == '-') {
            return UsageError("unknown option " + e, err);
        } else {
            extra.push_back(e);
        }
    }
    if (!extra.empty()) {
        return UsageError("too many arguments (from \"" + extra.front() + "\" on)", err);
    }
    return std::nullopt;
}

} // namespace commandline
