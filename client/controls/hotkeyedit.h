#pragma once

#include "controls/bindings.h"

#include <QWidget>

namespace vorlan {

// A hot-key edit control: shows a binding ("Shift+F5", "None") and, while
// it has the focus, records the next key combination pressed. Plain Tab and
// Shift+Tab move the focus, plain Enter and Esc go to the dialog, plain
// Backspace and Delete clear the binding; modifiers held alone are shown
// until the main key comes.
class HotKeyEdit : public QWidget
{
    Q_OBJECT

public:
    explicit HotKeyEdit(QWidget* parent = nullptr);

    const Binding& binding() const { return binding_; }
    // The Windows shortcut value (key code and modifier bits).
    int hotKey() const { return binding_.shortcut; }
    void setBinding(const Binding& binding);

    // Combinations refused when recorded, and what replaces them.
    void setRules(const HotKeyRules& rules) { rules_ = rules; }
    const HotKeyRules& rules() const { return rules_; }

    // The text shown: the binding, or the modifiers being held.
    QString text() const;

    QSize sizeHint() const override;

signals:
    // The binding changed, by a key press or by setBinding.
    void changed(const vorlan::Binding& binding);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void record(const KeyPress& press);
    void setHeld(Qt::KeyboardModifiers held);

    Binding binding_;
    HotKeyRules rules_;
    Qt::KeyboardModifiers held_; ///< modifiers held with no main key yet
};

} // namespace vorlan
