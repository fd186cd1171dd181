// The eight display switches that decide what every field writer shows and how.
//
// A document owns one; its info pane and its dumps borrow it, so both show the same thing.
#pragma once

#include <cstdint>

class CSettings;

class CInfoPaneOptions {
public:
    // Settings section of the switches; each switch is one integer key named like the member.
    static constexpr const char* kSection = "Info Pane";

    std::int32_t ShowEmptyStrings = 1;     // 0: empty text and formula fields are left out whole
    std::int32_t ShowComments = 1;         // 0: comments are discarded
    std::int32_t ShowSpareBytes = 0;       // 1: reserved bytes are hex dumped (needs the next)
    std::int32_t ShowUninterpreted = 1;    // 0: no hex dump field at all
    std::int32_t ShowSymbols = 1;          // 0: enumerations and flags print as numbers
    std::int32_t ShowConvertFromKMBCS = 0; // 1: texts are translated from the store's charset
    std::int32_t ShowDisplayHighBit = 0;   // 1: non-ASCII bytes are not escaped (control bytes are)
    std::int32_t ShowDateOption = 0;       // 0 zone when not local, 1 zone always, 2 GMT

    // Reads every switch; a missing key keeps the built-in default.
    void Load(const CSettings& settings);
    // Writes all eight keys in order; the first failed write stops and gives false.
    bool Save(CSettings& settings) const;

    // The spare bytes switch can only be changed while uninterpretable data is shown.
    static bool SpareBytesEditable(std::int32_t showUninterpreted) {
        return showUninterpreted != 0;
    }

    friend bool operator==(const CInfoPaneOptions&, const CInfoPaneOptions&) = default;
};
