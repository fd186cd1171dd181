#include "output/InfoPaneModel.h"

#include <algorithm>

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
