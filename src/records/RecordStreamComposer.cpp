#include "records/RecordStreamComposer.h"

#include <algorithm>

#include "output/SymbolLookup.h"
#include "records/RecordComposer.h"
#include "records/RecordFactory.h"

namespace {

// The header a signature's record has: the walk reads it from the signature word's high byte.
struct Header {
    std::size_t size;
    std::uint32_t maxLength;
};

Header HeaderOf(std::uint16_t signature, const RecordKind* kind) {
    if ((signature >> 8) == 0xFF)
        return {4, 0xFFFF};
    if ((signature >> 8) == 0 && kind && kind->longHeader)
        return {6, 0xFFFFFFFFu};
    // The one-byte form keeps the length in the high byte, where 0 and 0xFF mean other forms.
    return {2, 0xFE};
}

class StreamComposer {
public:
    StreamComposer(std::uint16_t streamKind, std::string* where, std::string* what)
        : records_(RecordsOfStream(streamKind)), where_(where), what_(what) {}

    bool Compose(const ValueTree& list, std::vector<std::uint8_t>* stream) {
        if (records_.scopes.empty())
            return Fail("", "this item type holds no records");
        if (!list.Is(ValueTree::Type::List))
            return Fail("", "a list of records is expected");
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < list.list.size(); ++i) {
            std::vector<std::uint8_t> record;
            if (!Record(list.list[i], "[" + std::to_string(i) + "]", &record))
                return false;
            // Appended through resize and copy: GCC 12 warns (-Wrestrict) on insert here.
            const std::size_t at = out.size();
            out.resize(at + record.size());
            std::copy(record.begin(), record.end(), out.begin() + std::ptrdiff_t(at));
            // Records start at even offsets (the walk rounds up after each); the last is
            // padded too, as stored streams are.
            if (out.size() % 2 != 0)
                out.push_back(0);
        }
        *stream = std::move(out);
        return true;
    }

private:
    bool Fail(const std::string& where, const std::string& what) {
        *where_ = where;
        *what_ = what;
        return false;
    }

    bool Signature(const ValueTree& v, const std::string& where, std::uint16_t* signature) {
        std::uint32_t value = 0;
        if (v.Is(ValueTree::Type::Text)) {
            bool found = false;
            for (RecordScope scope : records_.scopes)
                if (SymbolValueOf(FamilyOfScope(scope).signatures, v.text, &value)) {
                    found = true;
                    break;
                }
            if (!found && !SymbolValueOf(records_.generic->signatures, v.text, &value))
                return Fail(where, "\"" + v.text + "\" is not a record type of this stream");
        } else if (v.Is(ValueTree::Type::Number) && v.number >= 0 && v.number <= 0xFFFF &&
                   v.number == double(std::uint32_t(v.number))) {
            value = std::uint32_t(v.number);
        } else {
            return Fail(where, "a record type name or a number up to 65535 is expected");
        }
        if (value > 0xFFFF || (value >= 0x100 && (value >> 8) != 0xFF))
            return Fail(where, "the record type has no header of its own (give the record as "
                               "\"hex\")");
        *signature = std::uint16_t(value);
        return true;
    }

    const RecordKind* KindOf(std::uint16_t signature) const {
        for (RecordScope scope : records_.scopes)
            if (const RecordKind* kind = FindRecordKind(scope, signature))
                return kind;
        return nullptr;
    }

    bool Record(const ValueTree& v, const std::string& path, std::vector<std::uint8_t>* out) {
        if (!v.Is(ValueTree::Type::Members))
            return Fail(path, "a record (an object) is expected");
        if (const ValueTree* hex = v.Find("hex")) {
            if (v.members.size() != 1)
                return Fail(path, "a record given as \"hex\" has no other members");
            RecordComposer raw(v, 0, 0);
            if (!raw.Hex(*hex, ".hex", out))
                return Fail(path + raw.Where(), raw.What());
            return true;
        }
        const ValueTree* type = v.Find("record-type");
        if (!type)
            return Fail(path, "\"record-type\" or \"hex\" is expected");
        std::uint16_t signature = 0;
        if (!Signature(*type, path + ".record-type", &signature))
            return false;
        const RecordKind* kind = KindOf(signature);
        const Header header = HeaderOf(signature, kind);
        RecordComposer c(v, header.size, kind ? kind->fixedSize : header.size);
        c.SetSignature(signature);
        c.Take("record-type");
        const ValueTree* length = c.Take("length");
        const ValueTree* rest = c.Take("remaining-data");
        if (kind &&
            !(c.Rows(kind->fields, 0, nullptr, path) && (!kind->compose || kind->compose(c, path))))
            return Fail(c.Where(), c.What());
        if (rest) {
            std::vector<std::uint8_t> bytes;
            if (!c.Hex(*rest, path + ".remaining-data", &bytes))
                return Fail(c.Where(), c.What());
            c.SetCursor(c.Bytes().size());
            c.Append(bytes);
        }
        if (!c.AllTaken(v, path))
            return Fail(c.Where(), c.What());

        std::vector<std::uint8_t>& bytes = c.Bytes();
        std::uint32_t stored = std::uint32_t(bytes.size());
        if (bytes.size() > header.maxLength)
            return Fail(path, "the record is " + std::to_string(bytes.size()) +
                                  " bytes, more than its header can say (" +
                                  std::to_string(header.maxLength) + ")");
        if (length && !c.Unsigned(*length, path + ".length", header.maxLength, &stored))
            return Fail(c.Where(), c.What());
        if (header.size == 2) {
            bytes[0] = std::uint8_t(signature);
            bytes[1] = std::uint8_t(stored);
        } else {
            c.Put(0, 2, signature);
            c.Put(2, header.size == 6 ? 4 : 2, stored);
        }
        *out = std::move(bytes);
        return true;
    }

    StreamRecords records_;
    std::string* where_;
    std::string* what_;
};

} // namespace

bool ComposeRecordStream(std::uint16_t streamKind, const ValueTree& records,
                         std::vector<std::uint8_t>* stream, std::string* where, std::string* what) {
    return StreamComposer(streamKind, where, what).Compose(records, stream);
}
