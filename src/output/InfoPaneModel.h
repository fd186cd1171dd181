// What the info pane draws: lines of positioned runs of text, each of one kind, with the
// metrics that place them. No toolkit here; the view measures text and draws the runs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Measures text in the info pane's fonts (device units).
class CTextMeasure {
public:
    virtual ~CTextMeasure() = default;
    virtual int TextWidth(std::string_view text, bool fixedPitch) const = 0;
    // Character height plus external leading of the normal font.
    virtual int LineHeight() const = 0;
};

// Every character of the same width: for tests and for text-only renderings.
class CCellMeasure : public CTextMeasure {
public:
    CCellMeasure(int cellWidth, int lineHeight) : cell_(cellWidth), lineHeight_(lineHeight) {}
    int TextWidth(std::string_view text, bool) const override { return int(text.size()) * cell_; }
    int LineHeight() const override { return lineHeight_; }

private:
    int cell_;
    int lineHeight_;
};

struct InfoPaneMetrics {
    int lineHeight = 16;
    int gap = 8;             // width of "W"
    int indentStep = 18;     // width of "xxx"
    int valueColumn = 120;   // gap + width of "xxxxxxsequence-time"
    int commentColumn = 280; // value column + gap + width of "<12/25/95 12:02:43 PM>xxx"

    static InfoPaneMetrics Measure(const CTextMeasure& measure);
};

enum class RunKind { Label, Value, Comment, Error, HexDump };

struct InfoPaneRun {
    int x = 0;
    int width = 0;
    RunKind kind = RunKind::Value;
    bool fixedPitch = false; // drawn in the fixed-pitch font (hex dumps and their comments)
    std::string text;
    int field = -1; // the innermost field open when it was written (InfoPaneField index)
};

struct InfoPaneLine {
    int y = 0; // top of the line
    std::vector<InfoPaneRun> runs;
};

struct InfoPaneExtent {
    int width = 0;
    int height = 0;
};

// A field as laid out: from the top of its label's line to the bottom of its last line, and
// the bytes of its node it was decoded from, when it says.
struct InfoPaneField {
    int top = 0;
    int bottom = 0;
    int depth = 0;   // 0 for the outermost fields
    int parent = -1; // index of the enclosing field
    bool hasRange = false;
    std::size_t offset = 0;
    std::size_t length = 0;

    bool Covers(std::size_t at) const { return hasRange && at >= offset && at - offset < length; }
};

// The innermost field whose lines hold y (so the field whose label is on that line, when one
// is); -1 when none.
int FieldAtY(const std::vector<InfoPaneField>& fields, int y);
// The innermost field (deepest, then narrowest) whose range holds the byte at `at`; -1 when none.
int FieldAtByte(const std::vector<InfoPaneField>& fields, std::size_t at);
// For each of `size` bytes, whether a field's range holds it.
std::vector<bool> ExplainedBytes(const std::vector<InfoPaneField>& fields, std::size_t size);
// What the info pane's popup copies. A field is the line that holds its label with the lines
// after it that hold none (the rest of a hex dump); a line without a label belongs to the field
// above it.

// The index of the line whose band holds y, or -1 below the last line and above the first.
int InfoPaneLineAt(const std::vector<InfoPaneLine>& lines, int y, int lineHeight);
// The field of the line at index: its runs, each line's joined by one blank, lines by '\n'.
std::string InfoPaneFieldText(const std::vector<InfoPaneLine>& lines, int index);
// The same without the label and the comments: what the value column shows.
std::string InfoPaneValueText(const std::vector<InfoPaneLine>& lines, int index);
// Every line's runs, each line's joined by one blank and indented two blanks a level.
std::string InfoPaneDescriptionText(const std::vector<InfoPaneLine>& lines,
                                    const InfoPaneMetrics& metrics);
