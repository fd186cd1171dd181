// The bytes pane: the selected node's stored bytes, 16 a row with their offset, in hex and as
// text. The bytes of the field selected in the info pane are highlighted; bytes that no field
// explains are shaded. Clicking a byte, or moving to it with the arrow keys, selects the
// innermost field that covers it.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <vector>

#include "output/InfoPaneModel.h"

class BytesPane : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kPerRow = 16;

    explicit BytesPane(QWidget* parent = nullptr);

    // What the pane shows: a node's bytes and the fields laid out for it.
    void Show(std::vector<std::uint8_t> bytes, std::vector<InfoPaneField> fields);
    void SelectField(int field);
    int SelectedField() const { return selected_; }
    // The byte under the keyboard cursor.
    std::size_t CursorByte() const { return cursor_; }
    std::size_t ByteCount() const { return bytes_.size(); }
    // The centre of a byte's hex cell, in viewport coordinates.
    QPoint ByteCentre(std::size_t at) const;
    bool Highlighted(std::size_t at) const;
    bool Explained(std::size_t at) const { return at < explained_.size() && explained_[at]; }

signals:
    // A byte was clicked or reached by the keyboard: the innermost field covering it, or -1.
    void fieldChosen(int field);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int CellWidth() const;
    int LineHeight() const;
    // The byte whose hex or text cell holds the point; -1 when none.
    long ByteAt(const QPoint& point) const;
    void MoveCursor(std::size_t at);
    void UpdateScroll();

    std::vector<std::uint8_t> bytes_;
    std::vector<InfoPaneField> fields_;
    std::vector<bool> explained_;
    int selected_ = -1;
    std::size_t cursor_ = 0;
};
