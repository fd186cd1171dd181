#include "output/JsonWriter.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t kIndentStep = 2;
// The characters that stand for single bytes: U+F700 + byte.
constexpr unsigned kByteCharBase = 0xF700;

// The length of the valid UTF-8 sequence at p (at most n bytes there), or 0 when the byte at p
// does not start one. Overlong forms, surrogates and code points past U+10FFFF are not valid.
std::size_t Utf8Length(const unsigned char* p, std::size_t n) {
    const unsigned char b = p[0];
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0)
            lo = 0xA0;
        else if (b == 0xED)
            hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (n < len || p[1] < lo || p[1] > hi)
        return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    }
    // U+F700..U+F7FF stand for bytes: one that is really there is written byte by byte.
    if (len == 3 && b == 0xEF && p[1] >= 0x9C && p[1] <= 0x9F)
        return 0;
    return len;
}

void AppendUnicodeEscape(std::string& out, unsigned code) {
    static const char kHex[] = "0123456789abcdef";
    const char e[6] = {'\\',
                       'u',
                       kHex[(code >> 12) & 15],
                       kHex[(code >> 8) & 15],
                       kHex[(code >> 4) & 15],
                       kHex[code & 15]};
    out.append(e, 6);
}

bool NeedsCare(unsigned char c) {
    return c < 0x20 || c == '"' || c == '\\' || c >= 0x7F;
}

void AppendNumber(std::string& out, double value) {
    char text[40];
    int n = 0;
    if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
        n = std::snprintf(text, sizeof text, "%.0f", value == 0 ? 0.0 : value);
    else
        n = std::snprintf(text, sizeof text, "%.17g", value);
    if (n > 0)
        out.append(text, std::size_t(n) < sizeof text ? std::size_t(n) : sizeof text - 1);
}

} // namespace

void CJsonWriter::AppendJsonText(std::string& out, std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = i;
        while (run < n && !NeedsCare(p[run]))
            ++run;
        out.append(text.data() + i, run - i);
        i = run;
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            switch (c) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\r':
                out.append("\\r");
                break;
            case '\t':
                out.append("\\t");
                break;
            case '\b':
                out.append("\\b");
                break;
            case '\f':
                out.append("\\f");
                break;
            default:
                AppendUnicodeEscape(out, c);
                break;
            }
            ++i;
            continue;
        }
        const std::size_t len = Utf8Length(p + i, n - i);
        if (len == 0) {
            AppendUnicodeEscape(out, kByteCharBase + c);
            ++i;
        } else {
            out.append(text.data() + i, len);
            i += len;
        }
    }
}

CJsonWriter::CJsonWriter(const std::string& fileName, CInfoPaneOptions* options, Layout layout)
    : CFieldWriter(options), layout_(layout), out_(fileName) {}

CJsonWriter::CJsonWriter(std::ostream& stream, CInfoPaneOptions* options, Layout layout)
    : CFieldWriter(options), layout_(layout), out_(stream) {}

CJsonWriter::~CJsonWriter() {
    Close();
}

void CJsonWriter::Out(std::string_view text) {
    out_.Append(text);
}

void CJsonWriter::OutText(std::string_view text) {
    if (out_.Failed())
        return;
    AppendJsonText(out_.Buffer(), text);
    out_.Appended();
}

void CJsonWriter::Indent(std::size_t depth) {
    if (Lines() || out_.Failed())
        return;
    out_.Buffer().push_back('\n');
    out_.Buffer().append(depth * kIndentStep, ' ');
}

bool CJsonWriter::Dropping() const {
    return !stack_.empty() && stack_.back().lineDone;
}

bool CJsonWriter::InTopValue() const {
    return !stack_.empty() && !stack_.back().lineDone;
}

// ---- Objects

void CJsonWriter::EndValue(Frame& f) {
    if (f.part == Part::Value) {
        Out("\"");
        f.part = Part::Head;
        f.valueDone = true; // text from now on is an entry of its own
        f.lineBreak = false;
    }
}

void CJsonWriter::BeginEntry(bool asChild) {
    Frame& f = stack_.back();
    const Part want = asChild || f.part == Part::Children ? Part::Children : Part::Fields;
    if (f.part == want) {
        Out(",");
    } else {
        EndValue(f);
        if (f.part == Part::Fields)
            Out("]");
        Out(want == Part::Fields ? ",\"fields\":[" : ",\"children\":[");
        f.part = want;
    }
    Indent(stack_.size());
}

void CJsonWriter::WriteRange(const Frame& f) {
    if (!f.hasRange || out_.Failed())
        return;
    Out(",\"range\":{\"offset\":");
    Out(std::to_string(f.rangeOffset));
    Out(",\"length\":");
    Out(std::to_string(f.rangeLength));
    Out("}");
}

void CJsonWriter::WriteTail(Frame& f) {
    EndValue(f);
    if (f.part == Part::Fields || f.part == Part::Children)
        Out("]");
    if (f.rawCount == 1 && std::isfinite(f.raw)) {
        Out(",\"raw\":");
        if (!out_.Failed())
            AppendNumber(out_.Buffer(), f.raw);
    }
    if (!f.comment.empty()) {
        Out(",\"comment\":\"");
        OutText(f.comment);
        Out("\"");
    }
    if (!f.node)
        WriteRange(f);
    Out("}");
}

void CJsonWriter::CloseFrame() {
    Frame& f = stack_.back();
    WriteTail(f);
    stack_.pop_back();
    if (Lines() && !InTopValue() && !out_.Failed())
        out_.Buffer().push_back('\n');
}

void CJsonWriter::Settle() {
    if (!stack_.empty() && stack_.back().closed)
        CloseFrame();
}

// Starts a value at the top level (outside every open line): the start node, a line of the
// lines layout, or what is written outside every node.
void CJsonWriter::BeginTopValue() {
    if (!Lines() && topValues_ > 0 && !out_.Failed())
        out_.Buffer().push_back('\n');
    ++topValues_;
    Out("{");
}

// ---- Nodes

void CJsonWriter::OnBeginNode(const NodeHeading& heading) {
    Settle();
    bool whole = !Lines() || heading.note;
    int level = 0;
    for (const Frame& f : stack_)
        level += f.node ? 1 : 0;
    if (InTopValue()) {
        // The nearest node holds its subtree, or its line ends here and the child gets its own.
        std::size_t n = stack_.size();
        while (n > 0 && !stack_[n - 1].node)
            --n;
        if (n > 0 && !stack_[n - 1].wholeLine) {
            while (stack_.size() > n)
                CloseFrame();
            Frame& parent = stack_.back();
            WriteTail(parent);
            if (!out_.Failed())
                out_.Buffer().push_back('\n');
            parent.lineDone = true;
        } else {
            whole = true;
        }
    }
    if (InTopValue()) {
        BeginEntry(true);
        Out("{");
    } else {
        BeginTopValue();
        if (Lines()) {
            Out("\"level\":");
            AppendNumber(out_.Buffer(), level);
            Out(",");
        }
    }
    Out("\"label\":\"");
    OutText(heading.label);
    Out("\",\"type\":");
    if (heading.typeName) {
        Out("\"");
        OutText(heading.typeName);
        Out("\"");
    } else {
        Out("null");
    }
    Out(",\"type-id\":");
    if (heading.typeId >= 0)
        AppendNumber(out_.Buffer(), heading.typeId);
    else
        Out("null");
    Frame f;
    f.node = true;
    f.wholeLine = whole;
    stack_.push_back(std::move(f));
    awaitElement_ = true;
}

void CJsonWriter::OnBeginNodeFields() {
    awaitElement_ = false;
}

void CJsonWriter::OnEndNode() {
    Settle();
    awaitElement_ = false;
    // Fields a node left open are closed with it.
    while (!stack_.empty() && !stack_.back().node)
        CloseFrame();
    if (stack_.empty())
        return;
    if (stack_.back().lineDone)
        stack_.pop_back();
    else
        CloseFrame();
}

// ---- Fields, text and comments

void CJsonWriter::OnBeginOutput() {
    stack_.clear();
    expectLabel_ = false;
    elementLabel_ = false;
    awaitElement_ = false;
    topValues_ = 0;
}

void CJsonWriter::OnEndOutput() {
    Settle();
    while (!stack_.empty()) {
        if (stack_.back().lineDone)
            stack_.pop_back();
        else
            CloseFrame();
    }
    if (!Lines() && topValues_ > 0)
        Out("\n");
}

void CJsonWriter::OnBeginField() {
    Settle();
    expectLabel_ = true;
    elementLabel_ = false;
    if (InTopValue()) {
        Frame& top = stack_.back();
        if (top.node && awaitElement_ && !top.element && top.part == Part::Head && !top.valueDone) {
            // The node's own element: its label and value are the node object's.
            top.element = true;
            top.elementOpen = true;
            elementLabel_ = true;
            return;
        }
        BeginEntry(false);
        Out("{");
    } else {
        BeginTopValue();
    }
    stack_.emplace_back();
}

// Comes right after OnBeginField; a node's own element keeps no range (its object is the
// node's).
void CJsonWriter::OnFieldRange(std::size_t offset, std::size_t length) {
    if (stack_.empty() || elementLabel_)
        return;
    Frame& top = stack_.back();
    if (top.node)
        return;
    top.hasRange = true;
    top.rangeOffset = offset;
    top.rangeLength = length;
}

void CJsonWriter::OnEndField() {
    Settle();
    if (stack_.empty())
        return;
    Frame& top = stack_.back();
    if (top.node) {
        top.elementOpen = false; // a node's element ends (an extra EndField is ignored)
        return;
    }
    top.closed = true;
}

void CJsonWriter::WriteText(std::string_view text) {
    if (expectLabel_) {
        expectLabel_ = false;
        Out(elementLabel_ ? ",\"element\":\"" : "\"label\":\"");
        OutText(text);
        Out("\"");
        elementLabel_ = false;
        return;
    }
    Settle();
    if (text.empty())
        return;
    if (!InTopValue()) {
        BeginTopValue();
        Out("\"value\":\"");
        OutText(text);
        Out("\"}");
        if (Lines() && !out_.Failed())
            out_.Buffer().push_back('\n');
        return;
    }
    Frame& f = stack_.back();
    if (f.part == Part::Head && !f.valueDone) {
        Out(",\"value\":\"");
        f.part = Part::Value;
    } else if (f.part == Part::Value) {
        if (f.lineBreak)
            Out("\\n");
    } else {
        // Text after the fields: an entry of its own, so that its place is kept.
        BeginEntry(false);
        Out("{\"value\":\"");
        OutText(text);
        Out("\"}");
        return;
    }
    f.lineBreak = false;
    OutText(text);
}

void CJsonWriter::NewLine() {
    Settle();
    if (!InTopValue())
        return;
    Frame& f = stack_.back();
    f.lineBreak = f.part == Part::Value;
    f.commentBreak = !f.comment.empty();
}

void CJsonWriter::OnBreakLine() {
    NewLine();
}

void CJsonWriter::OnNextValueLine() {
    NewLine();
}

void CJsonWriter::OnComment(std::string_view text) {
    if (!InTopValue()) {
        BeginTopValue();
        Out("\"comment\":\"");
        OutText(text);
        Out("\"}");
        if (Lines() && !out_.Failed())
            out_.Buffer().push_back('\n');
        return;
    }
    // The top frame is the field that has just ended, if one has, or the one still open.
    Frame& f = stack_.back();
    if (!f.comment.empty())
        f.comment.push_back(f.commentBreak ? '\n' : ' ');
    f.commentBreak = false;
    f.comment.append(text);
}

void CJsonWriter::OnRawNumber(double value) {
    Settle();
    if (!InTopValue())
        return;
    Frame& f = stack_.back();
    ++f.rawCount;
    f.raw = value;
}
