#pragma once

#include "appstate.h"
#include "view/blockpictures.h"
#include "view/texts.h"
#include "view/windows.h"

#include <memory>

namespace vorlan {

// The whole client: the shared state and every window, each built with
// what it needs. Closing the main window ends the program.
class Client
{
public:
    explicit Client(AppState state);
    ~Client();

    AppState& state() { return state_; }
    TForm1& main() { return *form1_; }
    TOptions& options() { return *options_; }
    TForm3& monitor() { return *form3_; }
    TForm9& keys() { return *form9_; }
    TForm7& language() { return *form7_; }

private:
    // Every window's texts in the given language.
    void retranslate(Language lang);

    AppState state_;
    BlockPictures pictures_;
    // In the order they are built, so destroyed the other way round: the
    // main window, which uses all the others, goes first.
    std::unique_ptr<TOptions> options_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TMyAbout> about_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm9> form9_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<TForm8> form8_;
    std::unique_ptr<TForm1> form1_;
};

} // namespace vorlan
