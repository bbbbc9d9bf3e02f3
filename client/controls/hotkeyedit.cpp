#include "hotkeyedit.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace vorlan {

namespace {

constexpr Qt::KeyboardModifiers kKept = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

// The modifier a modifier key stands for; none for other keys.
Qt::KeyboardModifiers modifierOf(int key)
{
    switch (key) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

// Plain keys that belong to the dialog rather than to the control.
bool isDialogKey(const QKeyEvent& e)
{
    if (e.modifiers() & kKept)
        return false;
    switch (e.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

bool isClearKey(const QKeyEvent& e)
{
    return !(e.modifiers() & kKept) && (e.key() == Qt::Key_Backspace || e.key() == Qt::Key_Delete);
}

} // namespace

HotKeyEdit::HotKeyEdit(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HotKeyEdit::setBinding(const Binding& binding)
{
    const Binding b = Binding::normalized(binding.shortcut, binding.extended);
    if (b == binding_)
        return;
    binding_ = b;
    update();
    emit changed(binding_);
}

QString HotKeyEdit::text() const
{
    if (held_ == Qt::NoModifier)
        return shortcutText(binding_);
    QString text;
    if (held_ & Qt::ControlModifier)
        text += QLatin1String("Ctrl+");
    if (held_ & Qt::ShiftModifier)
        text += QLatin1String("Shift+");
    if (held_ & Qt::AltModifier)
        text += QLatin1String("Alt+");
    return text;
}

QSize HotKeyEdit::sizeHint() const
{
    return {100, 19};
}

bool HotKeyEdit::event(QEvent* event)
{
    // Every combination is ours to record, before any shortcut of the
    // window can take it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isDialogKey(*key)) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void HotKeyEdit::keyPressEvent(QKeyEvent* event)
{
    if (isModifierKey(event->key())) {
        setHeld((event->modifiers() | modifierOf(event->key())) & kKept);
        return;
    }
    if (isDialogKey(*event)) {
        event->ignore();
        return;
    }
    if (isClearKey(*event)) {
        setHeld(Qt::NoModifier);
        setBinding({});
        return;
    }
    const KeyPress press = KeyPress::fromEvent(*event);
    if (press.vk == 0) {
        event->ignore();
        return;
    }
    record(press);
}

void HotKeyEdit::keyReleaseEvent(QKeyEvent* event)
{
    // The release still carries the modifier being released.
    if (isModifierKey(event->key()))
        setHeld(event->modifiers() & kKept & ~modifierOf(event->key()));
}

void HotKeyEdit::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void HotKeyEdit::focusOutEvent(QFocusEvent* event)
{
    setHeld(Qt::NoModifier);
    QWidget::focusOutEvent(event);
    update();
}

void HotKeyEdit::record(const KeyPress& press)
{
    setHeld(Qt::NoModifier);
    setBinding(Binding::normalized(rules_.apply(press.shortcut()), press.extended));
}

void HotKeyEdit::setHeld(Qt::KeyboardModifiers held)
{
    if (held == held_)
        return;
    held_ = held;
    update();
}

void HotKeyEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);

    const QRect area = rect().adjusted(frame.lineWidth + 2, 0, -(frame.lineWidth + 2), 0);
    const QString shown = text();
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.setClipRect(area);
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    if (hasFocus()) {
        // The caret after the text, where the next combination appears.
        const QFontMetrics fm(font());
        const int x = area.left() + fm.horizontalAdvance(shown) + 1;
        const int top = area.center().y() - fm.height() / 2 + 1;
        p.drawLine(x, top, x, top + fm.height() - 2);
    }
}

} // namespace vorlan
