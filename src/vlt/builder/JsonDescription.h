// Reading a database description written in JSON. Shape (every key optional unless noted):
//
// { "id": TIME, "class": NUM, "title": S, "categories": S, "template": S, "inherits": S,
//   "replica": { "id": TIME, "flags": NUM, "cutoff-interval": NUM, "cutoff-date": TIME },
//   "data-modified": TIME, "nondata-modified": TIME, "options": NUM, "build-version": NUM,
//   "notes": [ { "id": NUM, "class": NUM or NAME, "default": BOOL, "deleted": BOOL,
//                "created"/"modified"/"accessed"/"added": TIME, "flags": NUM,
//                "privileges": NUM, "sequence": NUM, "parent": NOTE-ID,
//                "items": [ { "name": S (required), "flags": NUM or [FLAG NAMES],
//                             exactly one of: "text": S | "textlist": [S] | "number": N |
//                             "numbers": [N] and/or "numberranges": [[N,N]] | "time": TIME |
//                             "times": [TIME] and/or "timeranges": [[TIME,TIME]] |
//                             "formula": SOURCE | "noterefs": [NOTE-ID] |
//                             "attachment": { "object": ID, "file": S } |
//                             "raw": HEX with "type": NUM |
//                             "records": [RECORD] with "type": NUM } ] } ],
//   "objects": [ { "id": NUM, "note": NOTE-ID, "class": NUM, "privileges": NUM,
//                  "text": S or "hex": HEX } ],
//   "acl": { "flags": NUM, "admin-server": S, "history": [S],
//            "roles": [ { "index": 0..79, "name": S } ],
//            "entries": [ { "name": S, "level": 0..6 or NAME, "flags": NUM or [NAMES],
//                           "roles": [index or role name] } ] } }
//
// NUM may be a JSON number or a text "0x..."; TIME is "1995-12-25T12:02:43.17+01:00". Note IDs
// left out are given in steps of 4 after the highest one so far. A "parent" adds a "$REF"
// item naming the parent; "Form", "$TITLE" and "$Flags" always carry the Summary flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vlt/builder/Description.h"
#include "vlt/builder/RecordStreams.h"

namespace vlt::builder {

// On failure *error names the file, the line when known (syntax errors) or the place in the
// description, and the problem. `records` encodes "records" lists (RECORD: an object of a
// record's field values by the names its dump shows; vlt-build's encoder, and the form in
// full, are in records/RecordStreamComposer.h); without it they are refused.
bool ParseDescription(const std::string& json, const std::string& fileName, DatabaseDesc* desc,
                      std::string* error, RecordStreamEncoder records = nullptr);
bool LoadDescription(const std::string& path, DatabaseDesc* desc, std::string* error,
                     RecordStreamEncoder records = nullptr);

// Where notes go as they are read instead of into desc->notes. A note reference or attachment
// value is known only once every note and object is: the note carries a stand-in of the same
// length, and `resolved` gives the value (the note's ID, the item's index) after the last note.
struct NoteSink {
    std::function<void(NoteDesc&&)> note;
    std::function<void(store::NoteId, std::size_t, const std::vector<std::uint8_t>&)> resolved;
};
bool LoadDescription(const std::string& path, DatabaseDesc* desc, std::string* error,
                     RecordStreamEncoder records, const NoteSink& sink);

} // namespace vlt::builder
