#include "output/InfoPaneModel.h"

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
