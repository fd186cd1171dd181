// Rich-text streams holding every paragraph, text, field and document record at least once,
// made by hand field by field: what the readable items of samples/data/richtext.vlt.json must
// be made into.
#pragma once

#include <string>
#include <vector>

#include "support/RecordEncoder.h"

struct SampleStream {
    std::string item; // the item's name in the sample database
    RecordEncoder records;
};

std::vector<SampleStream> SampleStreams();
