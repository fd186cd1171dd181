// The structure of a description: pending text, comment buffering, fields and lines.
#include "output/FieldWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "output/OutputStrings.h"

CFieldWriter::CFieldWriter(CInfoPaneOptions* options)
    : ownOptions_(options ? nullptr : std::make_unique<CInfoPaneOptions>()),
      options_(options ? options : ownOptions_.get()) {}

CFieldWriter::~CFieldWriter() = default;

namespace {

bool IsControl(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 32 || b == 127;
}

} // namespace

int CFieldWriter::AppendEscape(std::string& out, unsigned char c) {
    switch (c) {
    case '\t':
        out.append("\\t");
        return 2;
    case '\n':
        out.append("\\n");
        return 2;
    case '\r':
        out.append("\\r");
        return 2;
    case 0:
        out.append("\\0");
        return 2;
    default: {
        static const char kHex[] = "0123456789abcdef";
        const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
        out.append(escaped, 4);
        return 4;
    }
    }
}

void CFieldWriter::AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (IsControl(c))
            AppendEscape(out, static_cast<unsigned char>(c));
        else
            out.push_back(c);
    }
}

void CFieldWriter::WriteEscaped(std::string_view text) {
    if (std::none_of(text.begin(), text.end(), IsControl)) {
        WriteText(text);
        return;
    }
    std::string escaped;
    escaped.reserve(text.size() + 8);
    AppendEscaped(escaped, text);
    WriteText(escaped);
}

void CFieldWriter::RawNumber(double value) {
    if (rawHeld_ == 0 && !InComment())
        OnRawNumber(value);
}

void CFieldWriter::FlushText() {
    if (!pending_.empty()) {
        WriteEscaped(pending_);
        pending_.clear();
    }
}

void CFieldWriter::FlushComments() {
    if (!comments_.empty() && options_->ShowComments == 1) {
        OnBeginComment();
        WriteEscaped(comments_);
        OnEndComment();
    }
    comments_.clear();
}

void CFieldWriter::Begin() {
    pending_.clear();
    comments_.clear();
    commentDepth_ = 0;
    hasRange_ = false;
    rawHeld_ = 0;
    OnBeginOutput();
}

void CFieldWriter::End() {
    FlushText();
    FlushComments();
    OnEndOutput();
}

void CFieldWriter::BeginField(std::string_view label) {
    FlushText();
    FlushComments();
    OnBeginField();
    if (hasRange_) {
        hasRange_ = false;
        OnFieldRange(rangeOffset_, rangeLength_);
    }
    WriteText(label);
    OnEndLabel();
}

void CFieldWriter::EndField() {
    FlushText();
    hasRange_ = false;
    OnEndField();
}

void CFieldWriter::NextRange(std::size_t offset, std::size_t length) {
    hasRange_ = true;
    rangeOffset_ = offset;
    rangeLength_ = length;
}

// Text pending before a node boundary is the node's before it (a node's label after its
// element's); the text writers would write it before the next field all the same.
void CFieldWriter::BeginNode(const NodeHeading& heading) {
    FlushText();
    OnBeginNode(heading);
}

void CFieldWriter::BeginNodeFields() {
    FlushText();
    OnBeginNodeFields();
}

void CFieldWriter::EndNode() {
    FlushText();
    OnEndNode();
}

void CFieldWriter::Space() {
    pending_.push_back(' ');
}

void CFieldWriter::EndLine() {
    hasRange_ = false;
    FlushText();
    FlushComments();
    NewLine();
}

void CFieldWriter::BreakLine() {
    FlushText();
    OnBreakLine();
}

void CFieldWriter::NextValueLine() {
    FlushText();
    FlushComments();
    OnNextValueLine();
}

void CFieldWriter::BeginComment() {
    if (commentDepth_ <= 0)
        FlushText();
    else if (!pending_.empty() && pending_.back() != ' ')
        Space(); // a comment inside an open one continues it, but not glued to its last word
    ++commentDepth_;
    if (!comments_.empty())
        Space();
}

void CFieldWriter::EndComment() {
    --commentDepth_;
    if (commentDepth_ > 0)
        return;
    if (TakesComments()) {
        if (options_->ShowComments == 1 && !pending_.empty()) {
            if (std::none_of(pending_.begin(), pending_.end(), IsControl)) {
                OnComment(pending_);
            } else {
                std::string escaped;
                AppendEscaped(escaped, pending_);
                OnComment(escaped);
            }
        }
        pending_.clear();
        return;
    }
    comments_.append(pending_);
    pending_.clear();
}

void CFieldWriter::VPrintf(const char* format, std::va_list args) {
    if (!format)
        return;
    // Most comments are fixed texts: printf would copy them as they are.
    if (!std::strchr(format, '%')) {
        pending_.append(format);
        return;
    }
    char small[256];
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (std::size_t(n) < sizeof small) {
        pending_.append(small, std::size_t(n));
    } else {
        const std::size_t at = pending_.size();
        pending_.resize(at + std::size_t(n) + 1);
        std::vsnprintf(pending_.data() + at, std::size_t(n) + 1, format, again);
        pending_.resize(at + std::size_t(n));
    }
    va_end(again);
}

void CFieldWriter::Printf(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    VPrintf(format, args);
    va_end(args);
}

void CFieldWriter::Comment(const char* format, ...) {
    BeginComment();
    std::va_list args;
    va_start(args, format);
    VPrintf(format, args);
    va_end(args);
    EndComment();
}

void CFieldWriter::CommentId(unsigned stringId, ...) {
    const char* format = OutputString(stringId);
    BeginComment();
    if (format) {
        std::va_list args;
        va_start(args, stringId);
        VPrintf(format, args);
        va_end(args);
    } else {
        Printf("string %u", stringId);
    }
    EndComment();
}

void CFieldWriter::ShortComment() {
    Comment("*** Length is too short");
}
