// The .vlt database file: an SQLite database in this schema. Files are only ever read by the
// engine (opened read-only and immutable) and written whole by the builder.
//
// Times are stored as the 64-bit value of a store time stamp (store/api/Time.h), 0 for none.
//
// | table       | column           | meaning                                                   |
// |-------------|------------------|-----------------------------------------------------------|
// | meta        | key, value       | "format" = kFormatName, "schema" = kSchemaVersion         |
// | database    | id               | database identifier (time stamp); exactly one row         |
// |             | class            | database class (u16)                                      |
// |             | replica_id       | replica ID (time stamp)                                   |
// |             | replica_flags    | u16: bits 0..13 flags, bits 14..15 priority               |
// |             | cutoff_interval  | u16, days                                                 |
// |             | cutoff_date      | time stamp                                                |
// |             | data_modified    | time stamp                                                |
// |             | nondata_modified | time stamp                                                |
// |             | options          | u32, NULL when the database has no options                |
// |             | info             | the "$Info" text: fields separated by '\n'                |
// |             | build_version    | u16 release number, NULL when not recorded                |
// | notes       | id               | note ID, 1..0x7FFFFFFF (bit 31 marks stubs in ID tables)  |
// |             | class            | note class (u16; bit 15 = default design element)         |
// |             | unid_file, unid_note, sequence, sequence_time | the originator ID        |
// |             | created, modified, accessed, added | time stamps                             |
// |             | flags, privileges| u16 note flags and pre-v3 privileges mask                 |
// |             | parent           | note ID of the parent of a response, 0 for none           |
// |             | deleted          | 1 for a deletion stub (which has no items)                |
// | items       | note, seq        | the note and the item's place in its stored order         |
// |             | name, flags      | item name (at most kMaxItemName bytes), u16 item flags    |
// |             | value            | the raw value: u16 type word (little-endian), then data   |
// | objects     | id               | object identifier ("rrv"), u32                            |
// |             | note, class, privileges, data | owning note, u16, u16, the bytes             |
// | acl         | flags, admin_server | one row when the database has a list, none otherwise   |
// | acl_entries | seq, name, level, roles, flags | roles: 10 bytes, bit n = byte n/8 bit n%8    |
// | acl_roles   | idx, name        | role or privilege name by index 0..79                     |
// | acl_history | seq, text        | history lines in order                                    |
#pragma once

namespace vlt::schema {

constexpr const char* kFormatName = "delvex-vlt";
constexpr int kSchemaVersion = 1;
constexpr unsigned kMaxItemName = 129;
constexpr unsigned kMaxRoleName = 17;

// Every table the engine reads; a file lacking one is damaged.
constexpr const char* kTables[] = {"meta", "database",    "notes",     "items",      "objects",
                                   "acl",  "acl_entries", "acl_roles", "acl_history"};

// Creates the schema in an empty database.
constexpr const char* kCreateSql = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE database(id INTEGER NOT NULL, class INTEGER NOT NULL, replica_id INTEGER NOT NULL,
  replica_flags INTEGER NOT NULL, cutoff_interval INTEGER NOT NULL, cutoff_date INTEGER NOT NULL,
  data_modified INTEGER NOT NULL, nondata_modified INTEGER NOT NULL, options INTEGER,
  info TEXT NOT NULL, build_version INTEGER);
CREATE TABLE notes(id INTEGER PRIMARY KEY, class INTEGER NOT NULL, unid_file INTEGER NOT NULL,
  unid_note INTEGER NOT NULL, sequence INTEGER NOT NULL, sequence_time INTEGER NOT NULL,
  created INTEGER NOT NULL, modified INTEGER NOT NULL, accessed INTEGER NOT NULL,
  added INTEGER NOT NULL, flags INTEGER NOT NULL, privileges INTEGER NOT NULL,
  parent INTEGER NOT NULL, deleted INTEGER NOT NULL);
CREATE INDEX notes_parent ON notes(parent);
CREATE TABLE items(note INTEGER NOT NULL, seq INTEGER NOT NULL, name TEXT NOT NULL,
  flags INTEGER NOT NULL, value BLOB NOT NULL, PRIMARY KEY(note, seq)) WITHOUT ROWID;
CREATE TABLE objects(id INTEGER PRIMARY KEY, note INTEGER NOT NULL, class INTEGER NOT NULL,
  privileges INTEGER NOT NULL, data BLOB NOT NULL);
CREATE TABLE acl(flags INTEGER NOT NULL, admin_server TEXT NOT NULL);
CREATE TABLE acl_entries(seq INTEGER PRIMARY KEY, name TEXT NOT NULL, level INTEGER NOT NULL,
  roles BLOB NOT NULL, flags INTEGER NOT NULL);
CREATE TABLE acl_roles(idx INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE acl_history(seq INTEGER PRIMARY KEY, text TEXT NOT NULL);
)sql";

} // namespace vlt::schema
