// Composing the bytes of one record from its field values, by the same rows its decoder reads:
// what a description calls "font-id" goes where the dump finds "font-id".
//
// Values are given by the names and in the forms the dump shows: numbers (or "0x..." texts),
// symbol names (one, several in a text or a list, or a number), colour names, font texts
// ("Swiss 12 pt Bold Black"), texts, formula sources, and hex for stored structures. Rows the
// values leave out keep zeros.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/ValueTree.h"
#include "records/RecordFields.h"

class RecordComposer {
public:
    // `headerSize` bytes are kept for the header; the fixed part is zeros up to `fixedSize`.
    RecordComposer(const ValueTree& values, std::size_t headerSize, std::size_t fixedSize);

    // Encodes every row whose label `values` (the record's own when null) names; offsets count
    // from `base`. Cursor rows append their part at the cursor and store its length.
    bool Rows(std::span<const FixedField> rows, std::size_t base = 0,
              const ValueTree* values = nullptr, const std::string& path = "");

    // The member of that name, marked as used; null when not given.
    const ValueTree* Take(std::string_view name, const ValueTree* values = nullptr);
    // Members of an object that no row or composer used are an error: a name misspelt.
    bool AllTaken(const ValueTree& values, const std::string& path);

    bool Number(const ValueTree& v, const std::string& where, double* out);
    bool Unsigned(const ValueTree& v, const std::string& where, std::uint64_t max,
                  std::uint32_t* out);
    bool Symbol(const ValueTree& v, const std::string& where, const SymbolEntry* table,
                std::uint32_t* out);
    bool Text(const ValueTree& v, const std::string& where, std::string* out);
    bool Hex(const ValueTree& v, const std::string& where, std::vector<std::uint8_t>* out);
    bool Formula(const ValueTree& v, const std::string& where, std::vector<std::uint8_t>* out);

    // Stores a little-endian number of width 1, 2 or 4 at `at`, growing the record to hold it.
    void Put(std::size_t at, std::size_t width, std::uint32_t value);
    // Stores the value under the row's mask and shift, beside what other rows stored there.
    bool PutMasked(const FixedField& row, std::size_t at, std::uint32_t value,
                   const std::string& where);
    // Writes bytes at the cursor and moves it past them.
    void Append(const std::vector<std::uint8_t>& bytes);
    void Append(std::string_view bytes);
    std::size_t Cursor() const { return cursor_; }
    void SetCursor(std::size_t at) { cursor_ = at; }
    std::uint32_t Stored(std::size_t at, std::size_t width) const;

    // The signature of the record being composed, for composers shared by several kinds.
    void SetSignature(std::uint16_t signature) { signature_ = signature; }
    std::uint16_t Signature() const { return signature_; }
    // A list member (or none): false, with the failure said, when the member is no list.
    bool TakeList(std::string_view name, const std::string& path, const ValueTree** list);

    const ValueTree& Values() const { return values_; }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

    // Records the first failure; returns false.
    bool Fail(const std::string& where, const std::string& what);
    const std::string& Where() const { return where_; }
    const std::string& What() const { return what_; }

private:
    bool Row(const FixedField& row, std::size_t base, const ValueTree& values,
             const std::string& path);
    bool CursorRow(const FixedField& row, const ValueTree& v, const std::string& where);
    bool Parts(const FixedField& row, std::size_t at, const ValueTree& v, const std::string& where);
    bool Font(const ValueTree& v, const std::string& where, std::uint32_t* out);
    bool Color(const ValueTree& v, const std::string& where, std::uint32_t* out);

    const ValueTree& values_;
    std::vector<std::uint8_t> bytes_;
    std::size_t cursor_;
    std::set<const ValueTree*> taken_;
    std::uint16_t signature_ = 0;
    std::string where_, what_;
};
