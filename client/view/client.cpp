#include "client.h"

#include "controls/keys.h"
#include "datafiles.h"
#include "mainwindow.h"
#include "options/about.h"
#include "options/market.h"
#include "options/optionsdialog.h"
#include "view/firsthelp.h"
#include "view/language.h"
#include "view/monitor.h"
#include "view/results.h"

namespace vorlan {

namespace {

// A window left open besides the main one does not keep the program
// running once the main window is closed.
template <typename W> std::unique_ptr<W> secondary(std::unique_ptr<W> window)
{
    window->setAttribute(Qt::WA_QuitOnClose, false);
    return window;
}

} // namespace

// Every window is built here, once, with references to what it uses, so no
// window ever lacks another. One owner, the unique_ptr members: the windows
// are not Qt children of the main window, since a Qt parent must exist
// before its children, and the main window, which uses every other window,
// can only be built after them. Destroyed in the reverse order, the main
// window goes first.
Client::Client(AppState state)
    : state_(std::move(state)), pictures_(dataFolders()),
      options_(secondary(std::make_unique<TOptions>(state_))),
      form3_(secondary(std::make_unique<TForm3>(state_, pictures_))),
      about_(secondary(std::make_unique<TMyAbout>(pictures_))),
      form6_(secondary(std::make_unique<TForm6>(pictures_))),
      form2_(secondary(std::make_unique<TForm2>())),
      form9_(secondary(std::make_unique<TForm9>(state_))),
      form7_(secondary(std::make_unique<TForm7>())), form8_(secondary(std::make_unique<TForm8>())),
      form1_(std::make_unique<TForm1>(
          state_, pictures_,
          Windows{*options_, *form3_, *about_, *form6_, *form2_, *form9_, *form7_, *form8_}))
{
    // The language: asked for on a first start, where Russian also presets
    // the sounds; then every window's texts.
    const bool asked = form7_->askOnFirstStart();
    const Language lang = form7_->language();
    state_.rus = lang == Language::Russian;
    if (asked && state_.rus)
        options_->presetRussianSounds();
    retranslate(lang);
}

Client::~Client() = default;

void Client::retranslate(Language lang)
{
    form1_->retranslate(lang);
    options_->retranslate(lang);
    form3_->retranslate(lang);
    about_->retranslate(lang);
    form6_->retranslate(lang);
    form2_->retranslate(lang);
    form9_->retranslate(lang);
    form8_->retranslate(lang);
}

} // namespace vorlan
