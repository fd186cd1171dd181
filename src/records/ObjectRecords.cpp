// Rich-text object records: DDE and OLE objects, layout regions and their elements, storage
// links, form actions and the action bar, automatic launch.
//
// DDE Begin (word):      4 server (32)   36 topic (100)   136 item (64)   200 flags (u32)
//                        204 embedded document name (80)   284 document count   286 format
// DDE End, OLE End:      4 flags (u32)
// OLE Begin (word):      4 version   6 flags (u32)   10 format   12/14/16 text lengths
//                        18 attachment, class, template names
// OLE Obj Info (word):   4/6/8/10 text lengths   12 class id (16)   28 storage format
//                        30 display format   32 flags (u32)   36 format version
//                        38 reserved (10)   48 texts
// Layout (byte):         2 left   4 width   6 height   8 flags (u32)   12 grid   14 reserved
// Layout elements:       2 element header (20): left, top, width, height, font id (u32),
//                        back colour (u8), spare (7)   22 flags (u32)   26 own part to 42
// Layout End (byte):     2 reserved (16)
// Storage Link (word):   4 storage type   6 load type   8 flags   10 data length
//                        12 reserved (12)   24 object name or address
// Action (word):         4 (not shown)   6 type   8 icon   10 flags (u32)   14 title length
//                        16 formula length   18 spare (4)   22 title, then the formula on an
//                        even offset
// Action Bar (byte):     2 back colour   4 line colour   6 line style   8 border style
//                        10 border width   12 flags (u32)   16 spare (12)
// Doc Auto Launch (word): 4 object type   8/12/16/20 flags (u32)   24 spare (8)
//                        32 field name length   34 class id (16)   50 field name
// A class id: data1 (u32), data2, data3 (u16), data4 (8 bytes).
#include <string>
#include <vector>

#include "output/FieldReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "records/CdRecord.h"
#include "records/ObjectTables.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr RecordScope kRich = RecordScope::RichText;
constexpr unsigned kTwips = outstr::kUnitTwips;
constexpr std::size_t kClassIdSize = 16;

constexpr FixedField kDdeBegin[] = {
    Of("server-name", 4, 32, FieldKind::ZText),
    Of("topic-name", 36, 100, FieldKind::ZText),
    Of("item-name", 136, 64, FieldKind::ZText),
    Sym("flags", 200, 4, kDdeFlags),
    Of("paste-embed-doc-name", 204, 80, FieldKind::ZText),
    Num("embedded-doc-count", 284, 2),
    Sym("clip-format", 286, 2, kClipFormats),
};
constexpr FixedField kObjectEnd[] = {Sym("flags", 4, 4, nullptr)};
constexpr FixedField kOleBegin[] = {
    Num("version", 4, 2),  Sym("flags", 6, 4, kOleFlags), Sym("clip-format", 10, 2, kClipFormats),
    Text("attach", 12, 2), Text("class", 14, 2),          Text("template", 16, 2),
};
constexpr std::size_t kOleClassAt = 12;
constexpr FixedField kOleObjInfo[] = {
    Sym("storage-format", 28, 2, kStorageFormats),
    Sym("display-format", 30, 2, kClipFormats),
    Sym("flags", 32, 4, kOleObjectFlags),
    Of("storage-format-appeared-in", 36, 2, FieldKind::Hex4),
    Spare("reserved1", 38, 2),
    Spare("reserved2", 40, 2),
    Spare("reserved3", 42, 2),
    Spare("reserved4", 44, 4),
    Text("file-obj", 4, 2),
    Text("description", 6, 2),
    Text("field", 8, 2),
    Text("text-index-obj", 10, 2),
};

constexpr FixedField kLayout[] = {
    Measure("left", 2, 2, kTwips),   Measure("width", 4, 2, kTwips),
    Measure("height", 6, 2, kTwips), Sym("flags", 8, 4, kLayoutFlags),
    Num("grid-size", 12, 2),         Spare("reserved", 14, 14),
};
constexpr FixedField kElementHeaderRows[] = {
    Measure("left", 0, 2, kTwips),
    Measure("top", 2, 2, kTwips),
    Measure("width", 4, 2, kTwips),
    Measure("height", 6, 2, kTwips),
    Of("font-id", 8, 4, FieldKind::Font),
    Of("back-color", 12, 1, FieldKind::Color),
    Spare("spare", 13, 7),
};
constexpr FixedField kLayoutText[] = {
    Group("element-header", 2, kElementHeaderRows),
    Sym("flags", 22, 4, kLayoutTextFlags),
    Spare("reserved", 26, 16),
    Text("text"),
};
constexpr FixedField kLayoutField[] = {
    Group("element-header", 2, kElementHeaderRows),
    Sym("flags", 22, 4, kLayoutFieldFlags),
    Sym("field-type", 26, 1, nullptr),
    Spare("reserved", 27, 15),
};
constexpr FixedField kLayoutGraphic[] = {
    Group("element-header", 2, kElementHeaderRows),
    Sym("flags", 22, 4, kLayoutGraphicFlags),
    Spare("reserved", 26, 16),
};
constexpr FixedField kLayoutButton[] = {
    Group("element-header", 2, kElementHeaderRows),
    Sym("flags", 22, 4, kUnnamed),
    Spare("reserved", 26, 16),
};
constexpr FixedField kLayoutEnd[] = {Spare("reserved", 2, 16)};

constexpr std::uint16_t kStorageObject = 1;
constexpr std::uint16_t kStorageUrlConverted = 3;
constexpr std::uint16_t kStorageUrlMime = 4;
constexpr FixedField kStorageLink[] = {
    Sym("storage-type", 4, 2, kStorageTypes),
    Sym("load-type", 6, 2, kLoadTypes),
    Sym("flags", 8, 2, nullptr),
    Num("data-length", 10, 2),
    Spare("reserved", 12, 12),
};
constexpr FixedField kStorageObjectName[] = {Text("object-name")};
constexpr FixedField kStorageUrl[] = {Text("url")};

constexpr std::size_t kActionTitleLength = 14;
constexpr std::size_t kActionFormulaLength = 16;
constexpr std::size_t kActionTitle = 22;
constexpr FixedField kAction[] = {
    Sym("type", 6, 2, kUnnamed),   Num("icon-index", 8, 2),
    Sym("flags", 10, 4, kUnnamed), Num("formula-len", kActionFormulaLength, 2),
    Spare("spare2", 18, 4),        Text("title", kActionTitleLength, 2),
};
constexpr FixedField kActionFormula[] = {Formula("hide-when", kActionFormulaLength, 2)};

constexpr FixedField kActionBar[] = {
    Of("back-color", 2, 2, FieldKind::Color),
    Of("line-color", 4, 2, FieldKind::Color),
    Sym("line-style", 6, 2, kUnnamed),
    Sym("border-style", 8, 2, kUnnamed),
    Num("border-width", 10, 2),
    Sym("flags", 12, 4, kUnnamed),
    Spare("spare2", 16, 4),
    Spare("spare3", 20, 4),
    Spare("spare4", 24, 4),
};

constexpr std::size_t kLaunchClassAt = 34;
constexpr FixedField kDocAutoLaunch[] = {
    Sym("object-type", 4, 4, kLaunchObjects),
    Sym("hide-when-flags", 8, 4, kHideWhenFlags),
    Sym("launch-when-flags", 12, 4, kLaunchWhenFlags),
    Sym("ole-flags", 16, 4, kOleLaunchFlags),
    Sym("copy-to-field-flags", 20, 4, kCopyToFieldFlags),
    Spare("spare1", 24, 4),
    Spare("spare2", 28, 4),
};
constexpr FixedField kLaunchFieldName[] = {Text("field-name", 32, 2)};

// The class identifier at `at`; false (stopped at `unexplained`, where the bytes no field has
// shown begin) when the record ends inside it.
bool WriteClassId(TNCdRecord& r, CFieldWriter& writer, const char* label, std::size_t at,
                  std::size_t unexplained) {
    if (!r.Has(at, kClassIdSize))
        return r.StopAt(unexplained);
    FieldReader in = FieldReader(writer, r.At(at)).Sub(kClassIdSize);
    writer.BeginField(label);
    writer.Hex8Field("data1", in.u32le());
    writer.Hex4Field("data2", in.u16le());
    writer.Hex4Field("data3", in.u16le());
    FieldReader data4 = in.Sub(8);
    writer.BeginField("data4");
    for (int i = 0; i < 8; ++i) {
        writer.Hex2(data4.Plain().u8());
        writer.Space();
    }
    writer.EndField();
    writer.EndField();
    return true;
}

// A class identifier given as its 16 bytes in hex.
bool ComposeClassId(RecordComposer& c, const char* label, std::size_t at, const std::string& path) {
    const ValueTree* v = c.Take(label);
    if (!v)
        return true;
    std::vector<std::uint8_t> bytes;
    const std::string where = path + "." + label;
    if (!c.Hex(*v, where, &bytes))
        return false;
    if (bytes.size() != kClassIdSize)
        return c.Fail(where, "16 bytes in hex are expected");
    for (std::size_t i = 0; i < kClassIdSize; ++i)
        c.Put(at + i, 1, bytes[i]);
    return true;
}

std::uint32_t OleObjInfoBody(TNCdRecord& r, CFieldWriter& writer) {
    // The text lengths at 4 are shown only with their texts.
    if (!WriteClassId(r, writer, "ole-obj-class", kOleClassAt, 4))
        return 0;
    if (!r.WriteFixed(writer, kOleObjInfo))
        return 0;
    return std::uint32_t(r.Cursor());
}

bool ComposeOleObjInfo(RecordComposer& c, const std::string& path) {
    return ComposeClassId(c, "ole-obj-class", kOleClassAt, path) &&
           c.Rows(kOleObjInfo, 0, nullptr, path);
}

std::uint32_t StorageLinkBody(TNCdRecord& r, CFieldWriter& writer) {
    const std::uint16_t type = r.At(4).u16le();
    if (type == kStorageObject)
        r.WriteFixed(writer, kStorageObjectName);
    else if (type == kStorageUrlConverted || type == kStorageUrlMime)
        r.WriteFixed(writer, kStorageUrl);
    return std::uint32_t(r.Cursor());
}

bool ComposeStorageLink(RecordComposer& c, const std::string& path) {
    const bool name = c.Values().Find("object-name") != nullptr;
    const bool url = c.Values().Find("url") != nullptr;
    if (name && url)
        return c.Fail(path, "a storage link holds an \"object-name\" or a \"url\", not both");
    return c.Rows(name ? kStorageObjectName : kStorageUrl, 0, nullptr, path);
}

// The title as stored, as far as the record holds it.
void ActionLabel(TNCdRecord& r) {
    const std::size_t at = std::min(kActionTitle, r.Size());
    const std::size_t n = std::min<std::size_t>(r.At(kActionTitleLength).u16le(), r.Size() - at);
    r.SetLabelText(r.At(at).text(n).data(), int(n));
}

std::uint32_t ActionBody(TNCdRecord& r, CFieldWriter& writer) {
    // The u16 at 4 is not shown: a record that ends before `type` leaves it unexplained.
    if (!r.Has(6, 2))
        return r.StopAt(4);
    if (!r.WriteFixed(writer, kAction))
        return 0;
    // The formula starts on an even offset. A pad byte the record does not hold is not
    // skipped: the formula (if any) then says that it is short.
    if ((r.Cursor() & 1) && r.Cursor() < r.Size())
        r.SetCursor(r.Cursor() + 1);
    if (r.At(kActionFormulaLength).u16le() != 0)
        r.WriteFixed(writer, kActionFormula);
    return std::uint32_t(r.Cursor());
}

bool ComposeAction(RecordComposer& c, const std::string& path) {
    if (!c.Rows(kAction, 0, nullptr, path))
        return false;
    if (!c.Values().Find("hide-when"))
        return true;
    if (c.Cursor() & 1) // the pad byte before the formula
        c.Append(std::vector<std::uint8_t>{0});
    return c.Rows(kActionFormula, 0, nullptr, path);
}

std::uint32_t DocAutoLaunchBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!WriteClassId(r, writer, "ole-obj-class", kLaunchClassAt, 32))
        return 0;
    if (!r.WriteFixed(writer, kLaunchFieldName))
        return 0;
    return std::uint32_t(r.Cursor());
}

bool ComposeDocAutoLaunch(RecordComposer& c, const std::string& path) {
    return ComposeClassId(c, "ole-obj-class", kLaunchClassAt, path) &&
           c.Rows(kLaunchFieldName, 0, nullptr, path);
}

constexpr RecordKind kKinds[] = {
    kind::Fixed(kBase, 0xFFA1, "DDE Begin", 24, 288, kDdeBegin),
    kind::Fixed(kBase, 0xFFA2, "DDE End", 25, 8, kObjectEnd),
    kind::Fixed(kBase, 0xFFA7, "OLE Begin", 24, 18, kOleBegin),
    kind::Fixed(kBase, 0xFFA8, "OLE End", 25, 8, kObjectEnd),
    kind::ComposedBy(kind::Fixed(kRich, 0xFFC1, "OLE Obj Info", 47, 48, {}, OleObjInfoBody),
                     ComposeOleObjInfo),
    kind::Fixed(kRich, 0xB7, "Layout", 39, 28, kLayout),
    kind::Fixed(kRich, 0xB8, "Layout Text", 52, 42, kLayoutText),
    kind::Fixed(kRich, 0xBA, "Layout Field", 44, 42, kLayoutField),
    kind::Fixed(kRich, 0xC0, "Layout Graphic", 45, 42, kLayoutGraphic),
    kind::Fixed(kRich, 0xC2, "Layout Button", 51, 42, kLayoutButton),
    kind::Fixed(kRich, 0xB9, "Layout End", 40, 18, kLayoutEnd),
    kind::ComposedBy(
        kind::Fixed(kBase, 0xFFC4, "Storage Link", 42, 24, kStorageLink, StorageLinkBody),
        ComposeStorageLink),
    kind::ComposedBy(kind::Custom(kRich, 0xFFBE, ActionLabel, 50, 22, {}, ActionBody),
                     ComposeAction),
    kind::Fixed(kRich, 0xBD, "Action Bar", 49, 28, kActionBar),
    kind::ComposedBy(
        kind::Fixed(kRich, 0xFFBF, "Doc Auto Launch", 46, 50, kDocAutoLaunch, DocAutoLaunchBody),
        ComposeDocAutoLaunch),
};
} // namespace

std::span<const RecordKind> ObjectRecordKinds() {
    return kKinds;
}
