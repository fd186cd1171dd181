#include "output/InfoPaneModel.h"

#include <algorithm>
#include <utility>

#include "output/OutputStrings.h"

InfoPaneMetrics InfoPaneMetrics::Measure(const CTextMeasure& measure) {
    InfoPaneMetrics m;
    m.lineHeight = measure.LineHeight();
    m.gap = measure.TextWidth(OutputString(outstr::kGapSample), false);
    m.indentStep = measure.TextWidth(OutputString(outstr::kIndentSample), false);
    m.valueColumn = m.gap + measure.TextWidth(OutputString(outstr::kValueColumnSample), false);
    m.commentColumn = m.valueColumn + m.gap +
                      measure.TextWidth(OutputString(outstr::kCommentColumnSample), false);
    return m;
}

int FieldAtY(const std::vector<InfoPaneField>& fields, int y) {
    int best = -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const InfoPaneField& f = fields[i];
        if (y < f.top || y >= f.bottom)
            continue;
        // Fields start on lines of their own, so the deepest holding y is the innermost.
        if (best < 0 || f.depth > fields[std::size_t(best)].depth)
            best = int(i);
    }
    return best;
}

int FieldAtByte(const std::vector<InfoPaneField>& fields, std::size_t at) {
    int best = -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const InfoPaneField& f = fields[i];
        if (!f.Covers(at))
            continue;
        const InfoPaneField* b = best < 0 ? nullptr : &fields[std::size_t(best)];
        if (!b || f.depth > b->depth || (f.depth == b->depth && f.length < b->length))
            best = int(i);
    }
    return best;
}

std::vector<bool> ExplainedBytes(const std::vector<InfoPaneField>& fields, std::size_t size) {
    std::vector<bool> explained(size, false);
    for (const InfoPaneField& f : fields) {
        if (!f.hasRange || f.offset >= size)
            continue;
        const std::size_t end = f.offset + std::min(f.length, size - f.offset);
        for (std::size_t i = f.offset; i < end; ++i)
            explained[i] = true;
    }
    return explained;
}

namespace {

bool HasLabel(const InfoPaneLine& line) {
    for (const InfoPaneRun& run : line.runs)
        if (run.kind == RunKind::Label)
            return true;
    return false;
}

// The first and one past the last line of the field of the line at index.
std::pair<std::size_t, std::size_t> FieldLines(const std::vector<InfoPaneLine>& lines,
                                               std::size_t index) {
    std::size_t first = index;
    while (first > 0 && !HasLabel(lines[first]))
        --first;
    std::size_t end = first + 1;
    while (end < lines.size() && !HasLabel(lines[end]))
        ++end;
    return {first, end};
}

std::string JoinRuns(const InfoPaneLine& line, bool valuesOnly) {
    std::string text;
    for (const InfoPaneRun& run : line.runs) {
        if (valuesOnly && (run.kind == RunKind::Label || run.kind == RunKind::Comment))
            continue;
        if (run.text.empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += run.text;
    }
    return text;
}

std::string FieldText(const std::vector<InfoPaneLine>& lines, int index, bool valuesOnly) {
    if (index < 0 || std::size_t(index) >= lines.size())
        return {};
    const auto [first, end] = FieldLines(lines, std::size_t(index));
    std::string text;
    for (std::size_t i = first; i < end; ++i) {
        const std::string part = JoinRuns(lines[i], valuesOnly);
        if (part.empty())
            continue;
        if (!text.empty())
            text += '\n';
        text += part;
    }
    return text;
}

} // namespace

int InfoPaneLineAt(const std::vector<InfoPaneLine>& lines, int y, int lineHeight) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (y >= lines[i].y && y < lines[i].y + lineHeight)
            return int(i);
    return -1;
}

std::string InfoPaneFieldText(const std::vector<InfoPaneLine>& lines, int index) {
    return FieldText(lines, index, false);
}

std::string InfoPaneValueText(const std::vector<InfoPaneLine>& lines, int index) {
    return FieldText(lines, index, true);
}

std::string InfoPaneDescriptionText(const std::vector<InfoPaneLine>& lines,
                                    const InfoPaneMetrics& metrics) {
    std::string text;
    const int step = metrics.indentStep > 0 ? metrics.indentStep : 1;
    for (const InfoPaneLine& line : lines) {
        const int left = line.runs.empty() ? 0 : line.runs.front().x;
        const int level = left > 5 ? (left - 5) / step : 0;
        // A continuation line (no label) starts at the value column, not a deeper level.
        const int indent = HasLabel(line) ? level : 0;
        text += std::string(std::size_t(std::min(indent, 64)) * 2, ' ');
        text += JoinRuns(line, false);
        text += '\n';
    }
    return text;
}
