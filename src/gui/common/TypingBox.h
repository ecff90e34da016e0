#pragma once
// How the program's text boxes take typing, as Windows edit boxes do:
//
//   - A box that gets the focus from the keyboard or the program (Tab, Shift+Tab, Enter
//     moving along a window's chain, a failed check putting the focus on the box) selects its
//     whole text, so what is typed replaces it: "0" in Play Time followed by 122 gives 122.
//   - A masked box (the date boxes) takes typing from its first free position however it
//     gets the focus, and a click right of its last typed character puts the cursor there
//     too; a full masked box selects everything as a plain box does.
//   - Editable drop-down boxes keep what was typed exactly: no inline completion and no
//     rewriting to the letter case of a list entry when the focus leaves.

#include <QLineEdit>

class QComboBox;

namespace rv::gui {

class TypingBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TypingBox(QWidget* parent = nullptr);

    // The first position of a masked box that holds no character yet, or -1 (no mask, or
    // every position filled).
    int firstFreePosition() const;
    // What getting the focus from the keyboard does: the cursor to the first free position
    // of a masked box, otherwise the whole text selected.
    void takeTyping();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void keepCursorInReach();
};

// Makes an editable drop-down box take typing as above: its own edit becomes a TypingBox and
// completion is switched off.
void makePlainDropDown(QComboBox* combo);

// The text box of a box widget (a line edit, or the edit of an editable drop-down box), or
// null.
QLineEdit* textBoxOf(QWidget* box);

// takeTyping on the box when it is a TypingBox (or a drop-down box holding one).
void takeTyping(QWidget* box);

}  // namespace rv::gui
