#include "ui/InfoPaneView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "common/ProgramSettings.h"
#include "output/InfoPaneWriter.h"
#include "output/UpdateHints.h"
#include "tree/DocNode.h"
#include "tree/NodeDocument.h"

class InfoPaneView::Measure : public CTextMeasure {
public:
    Measure(const QFont& normal, const QFont& fixed) : normal_(normal), fixed_(fixed) {}
    int TextWidth(std::string_view text, bool fixedPitch) const override {
        return (fixedPitch ? fixed_ : normal_)
            .horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
    int LineHeight() const override { return normal_.height() + normal_.leading(); }

private:
    QFontMetrics normal_;
    QFontMetrics fixed_;
};

InfoPaneView::InfoPaneView(CNodeDocument& document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document) {
    setFocusPolicy(Qt::StrongFocus);
    const std::string text = ProgramSettings().GetString("Info Pane", "Font", kDefaultTreeFont);
    SetFontDescription(ParseFontText(text).value_or(FontDesc{}));
}

InfoPaneView::~InfoPaneView() = default;

void InfoPaneView::SetFontDescription(const FontDesc& desc) {
    fontDesc_ = desc;
    normal_ = ToQFont(desc);
    fixed_ = ToFixedQFont(desc);
    measure_ = std::make_unique<Measure>(normal_, fixed_);
    metrics_ = InfoPaneMetrics::Measure(*measure_);
    viewport()->update();
}

void InfoPaneView::OnUpdate(std::uint32_t hint) {
    if (hint & (hint::kDisplayOptions | hint::kSymbolNames | hint::kCurrentNode)) {
        // A new node starts at the top left.
        if (hint & hint::kCurrentNode) {
            selected_ = -1;
            horizontalScrollBar()->setValue(0);
            verticalScrollBar()->setValue(0);
        }
        viewport()->update();
    }
}

std::unique_ptr<CInfoPaneWriter> InfoPaneView::Describe() const {
    CDocNode* node = document_.GetCurrentNode();
    if (node == nullptr)
        return nullptr;
    auto writer = std::make_unique<CInfoPaneWriter>(*measure_, metrics_, &document_.InfoOptions());
    writer->Begin();
    node->WriteFields(*writer);
    writer->End();
    return writer;
}

void InfoPaneView::SetScrollRange(const InfoPaneExtent& extent) {
    const int line = std::max(1, metrics_.lineHeight);
    const int pageHeight = std::max(line, viewport()->height() / line * line);
    verticalScrollBar()->setRange(0, std::max(0, extent.height - pageHeight));
    verticalScrollBar()->setPageStep(pageHeight);
    verticalScrollBar()->setSingleStep(line);
    horizontalScrollBar()->setRange(0, std::max(0, extent.width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(line);
}

void InfoPaneView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const auto writer = Describe();
    if (!writer) {
        SetScrollRange({0, 0});
        return;
    }
    SetScrollRange(writer->Extent());
    const int dx = -horizontalScrollBar()->value();
    const int dy = -verticalScrollBar()->value();
    const QFontMetrics normalMetrics(normal_);
    const std::vector<InfoPaneField>& fields = writer->Fields();
    if (selected_ >= 0 && selected_ < int(fields.size())) {
        const InfoPaneField& f = fields[std::size_t(selected_)];
        p.fillRect(QRect(0, f.top + dy, viewport()->width(), f.bottom - f.top),
                   palette().color(QPalette::AlternateBase).darker(110));
    }
    for (const InfoPaneLine& line : writer->Lines()) {
        const int top = line.y + dy;
        if (top > viewport()->height() || top + metrics_.lineHeight < 0)
            continue;
        for (const InfoPaneRun& run : line.runs) {
            QColor colour = palette().color(QPalette::Text);
            if (run.kind == RunKind::Comment)
                colour = QColor(0, 128, 0);
            if (run.kind == RunKind::Error)
                colour = QColor(192, 0, 0);
            p.setPen(colour);
            p.setFont(run.fixedPitch ? fixed_ : normal_);
            const QFontMetrics fm(p.font());
            p.drawText(QPoint(run.x + dx, top + fm.ascent()), QString::fromStdString(run.text));
        }
    }
}

QString InfoPaneView::PlainText() const {
    const auto writer = Describe();
    if (!writer)
        return {};
    QString out;
    const int cell = std::max(1, QFontMetrics(normal_).horizontalAdvance(QLatin1Char('x')));
    for (const InfoPaneLine& line : writer->Lines()) {
        QString text;
        for (const InfoPaneRun& run : line.runs) {
            const int column = std::max(0, (run.x - 5) / cell);
            if (text.size() < column) {
                text += QString(column - text.size(), QLatin1Char(' '));
            } else if (!text.isEmpty() && !text.endsWith(QLatin1Char(' '))) {
                text += QLatin1Char(' ');
            }
            text += QString::fromStdString(run.text);
        }
        out += text + QLatin1Char('\n');
    }
    return out;
}

std::vector<InfoPaneField> InfoPaneView::Fields() const {
    const auto writer = Describe();
    return writer ? writer->Fields() : std::vector<InfoPaneField>();
}

void InfoPaneView::SelectField(int field) {
    selected_ = field;
    if (field >= 0) {
        const int top = FieldTop(field);
        if (top < 0 || top + metrics_.lineHeight > viewport()->height())
            verticalScrollBar()->setValue(verticalScrollBar()->value() + top);
    }
    viewport()->update();
}

int InfoPaneView::FieldTop(int field) const {
    const std::vector<InfoPaneField> fields = Fields();
    if (field < 0 || field >= int(fields.size()))
        return -1;
    return fields[std::size_t(field)].top - verticalScrollBar()->value();
}

void InfoPaneView::mousePressEvent(QMouseEvent* event) {
    QAbstractScrollArea::mousePressEvent(event);
    setFocus();
    const int y = event->position().toPoint().y() + verticalScrollBar()->value();
    selected_ = FieldAtY(Fields(), y);
    viewport()->update();
    emit fieldSelected(selected_);
}

void InfoPaneView::Copy() const {
    QApplication::clipboard()->setText(PlainText());
}

void InfoPaneView::ChooseFont() {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, normal_, this);
    if (!ok)
        return;
    SetFontDescription(FromQFont(chosen));
    ProgramSettings().WriteString("Info Pane", "Font", FormatFontText(fontDesc_));
}

void InfoPaneView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    viewport()->update();
}

void InfoPaneView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

QString InfoPaneView::CopyText(CopyWhat what, int y) const {
    const auto writer = Describe();
    if (!writer)
        return {};
    const std::vector<InfoPaneLine>& lines = writer->Lines();
    const int index = InfoPaneLineAt(lines, y + verticalScrollBar()->value(), metrics_.lineHeight);
    switch (what) {
    case CopyWhat::Field:
        return QString::fromStdString(InfoPaneFieldText(lines, index));
    case CopyWhat::Value:
        return QString::fromStdString(InfoPaneValueText(lines, index));
    case CopyWhat::Description:
        break;
    }
    return QString::fromStdString(InfoPaneDescriptionText(lines, metrics_));
}

void InfoPaneView::contextMenuEvent(QContextMenuEvent* event) {
    const int y = viewport()->mapFrom(this, event->pos()).y();
    const bool onField = !CopyText(CopyWhat::Field, y).isEmpty();
    QMenu menu(this);
    const std::pair<CopyWhat, QString> items[] = {
        {CopyWhat::Field, QStringLiteral("Copy &Field")},
        {CopyWhat::Value, QStringLiteral("Copy &Value")},
        {CopyWhat::Description, QStringLiteral("Copy &Description")},
    };
    for (const auto& [what, text] : items) {
        QAction* a = menu.addAction(
            text, this, [this, what, y] { QApplication::clipboard()->setText(CopyText(what, y)); });
        a->setEnabled(what == CopyWhat::Description ? document_.GetCurrentNode() != nullptr
                                                    : onField);
    }
    menu.exec(event->globalPos());
}
