#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Hooks.h"
#include "common/MemorySettings.h"
#include "common/ProgramSettings.h"

namespace {

std::vector<std::string> g_log;
void Log(void* argument) {
    g_log.push_back(static_cast<const char*>(argument));
}

// Registered at static initialisation, like the program's own hooks: the later one runs first.
const hooks::CRegistration g_first(Log, const_cast<char*>("first"), hooks::kStartup);
const hooks::CRegistration g_second(Log, const_cast<char*>("second"), hooks::kStartup);
const hooks::CRegistration g_down(Log, const_cast<char*>("down"), hooks::kShutdown);

TEST(Hooks, EachPhaseRunsItsOwnHooksNewestFirst) {
    CMemorySettings settings; // the program's own start-up hooks read these, not the user's file
    OverrideProgramSettings(&settings);
    g_log.clear();
    hooks::Run(hooks::kStartup);
    EXPECT_EQ(g_log, (std::vector<std::string>{"second", "first"}));
    g_log.clear();
    hooks::Run(hooks::kShutdown);
    EXPECT_EQ(g_log, (std::vector<std::string>{"down"}));
    g_log.clear();
    hooks::Run(7);
    EXPECT_TRUE(g_log.empty());
    OverrideProgramSettings(nullptr);
}

} // namespace
