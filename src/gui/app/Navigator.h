#pragma once
// The navigator bar of the main window (MyNavigator): ten picture buttons that move through
// and edit the video table.  Browse-only mode keeps only the four moving buttons.

#include <QWidget>

#include <array>

class QToolButton;

namespace rv::gui {

class TNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kButtonCount = 10;

    explicit TNavigator(QWidget* parent = nullptr);

    // Shows only First, Prior, Next and Last (browse-only mode) or all ten.
    void setMovingOnly(bool movingOnly);
    QToolButton* button(Button b) const { return buttons_[static_cast<std::size_t>(b)]; }

signals:
    void clicked(rv::gui::TNavigator::Button button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();
    std::array<QToolButton*, kButtonCount> buttons_{};
    bool movingOnly_ = false;
};

}  // namespace rv::gui
