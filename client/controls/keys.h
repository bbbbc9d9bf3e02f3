#pragma once

#include "controls/bindings.h"
#include "view/formstorage.h"
#include "view/texts.h"

#include <array>
#include <QDialog>
#include <QFont>

class QLabel;
class QPushButton;

namespace vorlan {

class HotKeyEdit;
struct AppState;

// The key redefinition window ("Redefine Keys"). It lives for the whole run
// and holds the 31 bindings in its controls HotKey1 .. HotKey31; edits take
// effect at once (bindings() follows the controls), "Cancel" reverts them to
// the stored values and "Ok" stores them after the duplicate check.
class TForm9 : public QDialog
{
    Q_OBJECT

public:
    // The state supplies the message boxes' title.
    explicit TForm9(const AppState& state, QWidget* parent = nullptr);

    // The live bindings, as the controls hold them now.
    const KeyBindings& bindings() const { return bindings_; }

    // HotKey1 .. HotKey31 and Label1 .. Label29; null outside those.
    HotKeyEdit* hotKey(int n) const;
    QLabel* label(int n) const;

    // The captions, and the messages from now on, in the given language.
    void retranslate(Language lang);

    // "Ok": the duplicate check, then storing and closing; with duplicates
    // the later ones are cleared, the player is told and the window stays.
    void Button1Click();
    // "Cancel": the stored values come back, and the window closes.
    void Button2Click();

    // Every way of closing without "Ok" discards the edits.
    void reject() override;

    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void restoreStored();
    void showBindings();

    FormStorage FormStorage1;
    const AppState& state_;
    Language lang_ = Language::English;
    KeyBindings bindings_;
    std::array<HotKeyEdit*, kBindingCount> hotKeys_{};
    std::array<QLabel*, 29> labels_{};
    QFont labelFont_;
};

} // namespace vorlan
