#pragma once
// The client's windows by name, and the references the main window holds to
// the others.

namespace vorlan {

class TForm1;   ///< the main window
class TOptions; ///< options, sound and music, the bot library
class TForm3;   ///< the players' monitor
class TMyAbout; ///< about
class TForm6;   ///< the market
class TForm2;   ///< the results
class TForm9;   ///< the keys
class TForm7;   ///< the language
class TForm8;   ///< the first help

// The other windows, which are built before the main window and outlive it.
struct Windows
{
    TOptions& options;
    TForm3& monitor;
    TMyAbout& about;
    TForm6& market;
    TForm2& results;
    TForm9& keys;
    TForm7& language;
    TForm8& firstHelp;
};

} // namespace vorlan
