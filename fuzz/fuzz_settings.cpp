// Fuzzes the settings file reader: the input is the text of a settings file. It is read as a
// document (every listed key must read back, and the text must survive writing out and reading
// again), through the settings file class from a real file, by the named servers of the store,
// and by every part of the program that loads its settings at start-up; what those read must
// survive being saved and loaded again.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/DelvexDoc.h"
#include "app/FontText.h"
#include "common/IniDocument.h"
#include "common/IniSettings.h"
#include "common/MemorySettings.h"
#include "output/InfoPaneOptions.h"
#include "store/NoteSelectorMru.h"
#include "store/RecentPeeked.h"
#include "tree/ExpansionSettings.h"
#include "vlt/ServerRegistry.h"

namespace {

std::string gDirectory;

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

void ReadDocument(std::string_view text) {
    CIniDocument doc;
    doc.Parse(text);
    for (const std::string& section : doc.Sections())
        for (const std::string& key : doc.Keys(section))
            Check(doc.Get(section, key).has_value());
    (void)doc.Problems();

    // What is written out reads back the same. (Text with a carriage return is compared after
    // parsing only: each line keeps its own CR LF or LF, but a CR that ends no line is trimmed
    // from the value it ends.)
    const std::string written = doc.Serialize();
    if (text.find('\r') == std::string_view::npos)
        Check(written == text);
    CIniDocument again;
    again.Parse(written);
    Check(again.Sections() == doc.Sections());
    for (const std::string& section : doc.Sections()) {
        Check(again.Keys(section) == doc.Keys(section));
        for (const std::string& key : doc.Keys(section))
            Check(again.Get(section, key) == doc.Get(section, key));
    }
}

void ReadProgramSettings(std::string_view text) {
    CMemorySettings settings;
    settings.SetText(text);

    CDelvexDoc doc(&settings);
    CMemorySettings saved;
    Check(doc.SaveOptions(saved));
    CDelvexDoc reloaded(&saved);
    Check(reloaded.InfoOptions() == doc.InfoOptions());

    const FontDesc font = LoadTreeFont(settings);
    const auto parsed = ParseFontText(FormatFontText(font));
    Check(parsed && *parsed == font);

    expansion::LoadSettings(settings);

    NoteSelectorMru mru;
    mru.Load(settings);

    recent::CDatabaseList databases;
    databases.Load(settings);
    recent::CServerList servers;
    servers.Load(settings);
    CMemorySettings lists;
    Check(databases.Save(lists) && servers.Save(lists));
    recent::CDatabaseList databasesAgain;
    databasesAgain.Load(lists);
    recent::CServerList serversAgain;
    serversAgain.Load(lists);
    Check(databasesAgain.Count() == databases.Count() && serversAgain.Count() == servers.Count());

    for (const std::string& key : settings.Keys(recent::CNoteList::kSection)) {
        recent::CNoteList notes;
        notes.Load(settings, key);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz_settings.XXXXXX";
    if (!mkdtemp(pattern))
        std::abort();
    gDirectory = pattern;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(gDirectory, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadDocument(text);
    ReadProgramSettings(text);

    CIniDocument doc;
    doc.Parse(text);
    vlt::ServerRegistry servers;
    servers.Load(doc, gDirectory);
    for (const auto& s : servers.servers())
        Check(servers.Find(s->Name()) != nullptr);

    // The settings file class reads the same from a file.
    const std::string path = gDirectory + "/dvxtool.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
    CIniSettings file(path);
    for (const std::string& section : doc.Sections())
        for (const std::string& key : doc.Keys(section))
            Check(file.Read(section, key) == doc.Get(section, key));
    return 0;
}
