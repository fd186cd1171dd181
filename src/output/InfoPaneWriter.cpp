#include "output/InfoPaneWriter.h"

#include <algorithm>

namespace {

constexpr int kMargin = 5;
constexpr int kTop = 3;
// Scroll ranges are ints; every line drawn must stay reachable, so the only bound is the one
// that keeps the sums below from overflowing.
constexpr int kMaxExtent = 1 << 30;

} // namespace

CInfoPaneWriter::CInfoPaneWriter(const CTextMeasure& measure, const InfoPaneMetrics& metrics,
                                 CInfoPaneOptions* options)
    : CFieldWriter(options), measure_(measure), metrics_(metrics), x_(kMargin), y_(kTop),
      indent_(kMargin) {}

void CInfoPaneWriter::WriteText(std::string_view text) {
    if (text.empty())
        return;
    RunKind kind = RunKind::Value;
    if (inLabel_)
        kind = RunKind::Label;
    else if (commentColour_)
        kind = RunKind::Comment;
    else if (error_)
        kind = RunKind::Error;
    else if (fixedPitch_)
        kind = RunKind::HexDump;
    if (lines_.empty() || lines_.back().y != y_)
        lines_.push_back(InfoPaneLine{y_, {}});
    const int width = measure_.TextWidth(text, fixedPitch_);
    lines_.back().runs.push_back(InfoPaneRun{x_, width, kind, fixedPitch_, std::string(text),
                                             open_.empty() ? -1 : open_.back()});
    if (!open_.empty())
        fields_[std::size_t(open_.back())].bottom = y_ + metrics_.lineHeight;
    x_ += width;
    maxX_ = std::max(maxX_, x_);
    maxY_ = std::max(maxY_, y_);
    lineEmpty_ = false;
}

// A field always starts on a fresh line, and no empty line is ever made by it.
void CInfoPaneWriter::NewLine() {
    if (!lineEmpty_) {
        y_ += metrics_.lineHeight;
        lineEmpty_ = true;
    }
    x_ = indent_;
}

void CInfoPaneWriter::OnBeginField() {
    NewLine();
    inLabel_ = true;
    InfoPaneField field;
    field.top = y_;
    field.bottom = y_ + metrics_.lineHeight;
    field.depth = int(open_.size());
    field.parent = open_.empty() ? -1 : open_.back();
    fields_.push_back(field);
    open_.push_back(int(fields_.size() - 1));
}

void CInfoPaneWriter::OnEndField() {
    indent_ -= metrics_.indentStep;
    if (!open_.empty()) {
        const InfoPaneField& ended = fields_[std::size_t(open_.back())];
        open_.pop_back();
        // A field's lines are its parent's too.
        if (!open_.empty()) {
            InfoPaneField& parent = fields_[std::size_t(open_.back())];
            parent.bottom = std::max(parent.bottom, ended.bottom);
        }
    }
}

void CInfoPaneWriter::OnFieldRange(std::size_t offset, std::size_t length) {
    if (open_.empty())
        return;
    InfoPaneField& field = fields_[std::size_t(open_.back())];
    field.hasRange = true;
    field.offset = offset;
    field.length = length;
}

// Labels longer than the value column push their value one gap further right.
void CInfoPaneWriter::OnEndLabel() {
    inLabel_ = false;
    x_ = std::max(x_ + metrics_.gap, metrics_.valueColumn);
    lineEmpty_ = false;
    indent_ += metrics_.indentStep;
}

// Continuation lines of a list line up under its first entry.
void CInfoPaneWriter::OnNextValueLine() {
    x_ = metrics_.valueColumn;
    y_ += metrics_.lineHeight;
}

void CInfoPaneWriter::OnBeginComment() {
    if (!lineEmpty_)
        x_ = std::max(x_ + metrics_.gap, metrics_.commentColumn);
    commentColour_ = true;
    WriteText("; ");
}

void CInfoPaneWriter::OnEndComment() {
    commentColour_ = false;
}

InfoPaneExtent CInfoPaneWriter::Extent() const {
    return InfoPaneExtent{maxX_ + kMargin,
                          std::min(maxY_ + metrics_.lineHeight + kTop, kMaxExtent)};
}
