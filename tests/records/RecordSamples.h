// Rich-text streams holding every paragraph, text, field and document record at least once:
// the same bytes as the items of samples/data/richtext.vlt.json.
#pragma once

#include <string>
#include <vector>

#include "support/RecordEncoder.h"

struct SampleStream {
    std::string item; // the item's name in the sample database
    RecordEncoder records;
};

std::vector<SampleStream> SampleStreams();
