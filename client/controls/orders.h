#pragma once

#include "session.h"

class QKeyEvent;

namespace vorlan {

class TForm1;

// The number entry of the orders as the main window shows it: its caption,
// the amount typed and the keyboard focus. The orders themselves and their
// rules are the session's.
class Orders
{
public:
    Orders(TForm1& main, Session& session) : main_(main), session_(session) {}

    // The typed-amount entries (menu actions and keys).
    void openEntry(EntryMode mode);
    // Enter in the number entry; returns true when it took the key.
    bool deltaArmyTextKeyDown(QKeyEvent& event);
    void deltaArmyTextEnter();
    void getAllSoldiers();

private:
    QString texts(const char* english, const char* russian) const;

    TForm1& main_;
    Session& session_;
};

} // namespace vorlan
