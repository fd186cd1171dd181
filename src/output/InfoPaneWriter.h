// A field writer that lays a description out for the info pane: labels at the current indent,
// values from the value column, comments from the comment column in the comment colour, hex
// dumps in the fixed-pitch font. The result is a list of lines of runs and the extent drawn.
#pragma once

#include <vector>

#include "output/FieldWriter.h"
#include "output/InfoPaneModel.h"

class CInfoPaneWriter : public CFieldWriter {
public:
    CInfoPaneWriter(const CTextMeasure& measure, const InfoPaneMetrics& metrics,
                    CInfoPaneOptions* options = nullptr);

    const std::vector<InfoPaneLine>& Lines() const { return lines_; }
    // Every field in the order begun, with its lines and byte range.
    const std::vector<InfoPaneField>& Fields() const { return fields_; }
    // The area to scroll over: widest x + 5 by lowest y + one line + 3, so that the last line
    // can always be scrolled into view.
    InfoPaneExtent Extent() const;

    bool IsDisplay() const override { return true; }

protected:
    void WriteText(std::string_view text) override;
    void NewLine() override;
    void OnBeginField() override;
    void OnEndField() override;
    void OnFieldRange(std::size_t offset, std::size_t length) override;
    void OnEndLabel() override;
    void OnNextValueLine() override;
    void OnBeginComment() override;
    void OnEndComment() override;
    void OnBeginHexDump() override { fixedPitch_ = true; }
    void OnEndHexDump() override { fixedPitch_ = false; }
    void OnBeginError() override { error_ = true; }
    void OnEndError() override { error_ = false; }

private:
    const CTextMeasure& measure_;
    InfoPaneMetrics metrics_;
    std::vector<InfoPaneLine> lines_;
    std::vector<InfoPaneField> fields_;
    std::vector<int> open_; // the fields begun and not yet ended, outermost first
    int x_ = 5;
    int y_ = 3;
    int indent_ = 5;
    int maxX_ = 1;
    int maxY_ = 1;
    bool lineEmpty_ = true;
    bool inLabel_ = false;
    bool commentColour_ = false;
    bool fixedPitch_ = false;
    bool error_ = false;
};
