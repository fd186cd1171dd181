// The info pane: at every repaint the document's current node writes its fields into a new
// info pane writer, and the lines and runs it laid out are drawn; nothing is kept between
// repaints but the fonts and the metrics measured from them.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <vector>

#include "output/InfoPaneModel.h"
#include "ui/FontText.h"

class CNodeDocument;
class CInfoPaneWriter;

class InfoPaneView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit InfoPaneView(CNodeDocument& document, QWidget* parent = nullptr);
    ~InfoPaneView() override;

    // Replaces both fonts and measures the columns again.
    void SetFontDescription(const FontDesc& desc);
    const FontDesc& FontDescription() const { return fontDesc_; }
    const InfoPaneMetrics& Metrics() const { return metrics_; }
    // Repaints when the hint names the display options or the symbols switch, or the current node.
    void OnUpdate(std::uint32_t hint);
    // What the pane shows, as plain text: one line per drawn line, runs in their columns.
    QString PlainText() const;
    // The font dialog; on OK the font is used and kept in the settings at once.
    void ChooseFont();
    void Copy() const;
    // The fields of the current node as laid out, and the one selected (-1: none).
    std::vector<InfoPaneField> Fields() const;
    int SelectedField() const { return selected_; }
    // Selects a field (-1: none) and scrolls its label into view; emits nothing.
    void SelectField(int field);
    // The top of a field's label line, in viewport coordinates.
    int FieldTop(int field) const;

    // What the popup's items copy for the line at y (viewport units): the field, its value,
    // the whole description.
    enum class CopyWhat { Field, Value, Description };
    QString CopyText(CopyWhat what, int y) const;

signals:
    // A click selected a field (-1: none).
    void fieldSelected(int field);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class Measure;
    std::unique_ptr<CInfoPaneWriter> Describe() const;
    void SetScrollRange(const InfoPaneExtent& extent);

    CNodeDocument& document_;
    FontDesc fontDesc_;
    QFont normal_;
    QFont fixed_;
    std::unique_ptr<Measure> measure_;
    InfoPaneMetrics metrics_;
    int selected_ = -1;
};
