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

Client::Client(AppState state) : state_(std::move(state)), pictures_(dataFolders())
{
    form1_ = std::make_unique<TForm1>(state_, pictures_);
    options_ = std::make_unique<TOptions>(form1_.get(), &state_);
    form3_ = std::make_unique<TForm3>(state_, pictures_, form1_.get());
    about_ = std::make_unique<TMyAbout>(pictures_, form1_.get());
    form6_ = std::make_unique<TForm6>(pictures_, form1_.get());
    form2_ = std::make_unique<TForm2>(form1_.get());
    form9_ = std::make_unique<TForm9>(form1_.get(), &state_);
    // The language step readies the main window for play, so the main window
    // must know the other windows before it.
    Windows w{options_.get(), form3_.get(), about_.get(), form6_.get(), form2_.get(), form9_.get()};
    form1_->setWindows(w);
    form7_ = std::make_unique<TForm7>(*form1_, form1_.get());
    form8_ = std::make_unique<TForm8>(form1_.get());
    w.language = form7_.get();
    w.firstHelp = form8_.get();
    form1_->setWindows(w);
}

Client::~Client()
{
    // Dialogs are children of the main window; release them before it goes.
    form8_.reset();
    form7_.reset();
    form9_.reset();
    form2_.reset();
    form6_.reset();
    about_.reset();
    form3_.reset();
    options_.reset();
    form1_.reset();
}

} // namespace vorlan
