// Table-driven checks of single records: each row is one record in a stream of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExpectInOrder.h"
#include "RecordTestSupport.h"

struct RecordCase {
    std::uint16_t signature;
    RecordBody body;
    std::string label;              // empty: not checked
    std::vector<std::string> parts; // in the order the dump shows them
    std::string absent = {};        // a text the dump must not hold
};

// Each record shows its label and its parts in order; unless a part names the remaining data,
// the fields account for every byte of the record.
inline void ExpectRecords(std::uint16_t kind, const std::vector<RecordCase>& cases,
                          CInfoPaneOptions* options = nullptr) {
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.label + " " + (c.parts.empty() ? "" : c.parts.front()));
        const OneShown shown = ShowOne(kind, c.signature, c.body, options);
        if (!c.label.empty()) {
            EXPECT_EQ(shown.label, c.label);
        }
        ExpectInOrder(shown.dump, c.parts);
        bool remaining = false;
        for (const std::string& part : c.parts)
            remaining = remaining || Has(part, "remaining-data");
        EXPECT_TRUE(remaining || !Has(shown.dump, "remaining-data")) << shown.dump;
        EXPECT_TRUE(c.absent.empty() || !Has(shown.dump, c.absent)) << shown.dump;
    }
}
