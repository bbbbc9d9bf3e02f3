#include "mainwindow.h"

#include "bothost.h"
#include "connection.h"
#include "controls/chat.h"
#include "controls/dispatcher.h"
#include "controls/keys.h"
#include "controls/menulabel.h"
#include "controls/orders.h"
#include "datafiles.h"
#include "ingame.h"
#include "lobby.h"
#include "options/about.h"
#include "options/optionsdialog.h"
#include "session.h"
#include "view/blockpictures.h"
#include "view/emblembox.h"
#include "view/firsthelp.h"
#include "view/language.h"
#include "view/mappanel.h"
#include "view/monitor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QUrl>

namespace vorlan {

namespace {

constexpr int kMaxNameLength = 127;    ///< longest name a server can send back
constexpr int kMsgLines = 100;         ///< lines kept in the game log
constexpr int kIdleStepInterval = 500; ///< step timer outside a game, ms
const QString kIdleMap = QStringLiteral("coolgame.map");

template <typename W> W* make(QWidget* parent, const char* name, QRect geometry)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

// A caption; its text comes with the language.
QLabel* label(QWidget* parent, const char* name, QPoint at)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(at);
    return l;
}

// A caption longer than the room left in its panel gets a smaller font.
void setFittedCaption(QLabel* l, const QString& text)
{
    l->setFont(QFont()); // the panel's own font again
    l->setText(text);
    l->adjustSize();
    const int room = l->parentWidget()->width() - l->x() - 4;
    QFont font = l->font();
    while (l->width() > room && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        l->setFont(font);
        l->adjustSize();
    }
}

// The grey face of raised panels over the teal window.
void usePanelColours(QFrame* f)
{
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    pal.setColor(QPalette::WindowText, Qt::black);
    f->setPalette(pal);
}

QFrame* panel(QWidget* parent, const char* name, QRect geometry)
{
    auto* f = make<QFrame>(parent, name, geometry);
    usePanelColours(f);
    return f;
}

// A sunken value panel of the status line.
QLabel* valuePanel(QWidget* parent, const char* name, QRect geometry)
{
    auto* l = make<QLabel>(parent, name, geometry);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    return l;
}

QLabel* picture(QWidget* parent, const char* name, const QString& file, QRect geometry)
{
    auto* l = make<QLabel>(parent, name, geometry);
    l->setPixmap(QPixmap(dataFile(file)));
    l->setScaledContents(true);
    return l;
}

// The speed legend lines up under the track bar: shrink its font until the
// whole legend fits the bar's width.
void fitLegend(QLabel* legend, int width)
{
    legend->setFont(QFont()); // the panel's own font again
    QFont f = legend->font();
    for (qreal size = f.pointSizeF(); size > 5; size -= 0.5) {
        f.setPointSizeF(size);
        if (QFontMetrics(f).horizontalAdvance(legend->text()) <= width)
            break;
    }
    legend->setFont(f);
    legend->adjustSize();
}

} // namespace

TForm1::TForm1(AppState& state, BlockPictures& pictures, const Windows& windows)
    : state_(state), pictures_(pictures), FormStorage1(QStringLiteral("TForm1")), windows_(windows)
{
    setObjectName(QStringLiteral("TForm1"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kTeal);
    setPalette(pal);
    resize(722, 518);
    buildLayout();
    FormCreate();
    linkWindows();
    // Ready for play: the idle map and the menu in its state without connection.
    loadMap(dataFile(kIdleMap));
    createMenuItems();
    retranslate(Language::English);
    mapPanel->paintMap();
}

TForm1::~TForm1()
{
    // Destroying the children below moves the focus and may end the
    // connection; neither may reach this window's handlers any more, since
    // the members they use are gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

Connection& TForm1::connection()
{
    return session_->connection();
}

void TForm1::buildLayout()
{
    // The left panel with the menu and the player's own controls.
    Panel1 = panel(this, "Panel1", QRect(0, 0, 104, height()));
    focusButton = make<QPushButton>(Panel1, "focusButton", QRect(28, 64, 49, 9));
    focusButton->setFocusPolicy(Qt::StrongFocus);
    Label12 = make<QLabel>(Panel1, "Label12", QRect(4, 262, 96, 16));
    deltaArmyText = make<QLineEdit>(Panel1, "deltaArmyText", QRect(4, 278, 96, 21));
    deltaArmyText->hide();
    chatOptions = make<QTableWidget>(Panel1, "chatOptions", QRect(2, 302, 100, 132));
    chatOptions->setColumnCount(4);
    chatOptions->setRowCount(10);
    chatOptions->horizontalHeader()->hide();
    chatOptions->verticalHeader()->hide();
    chatOptions->horizontalHeader()->setMinimumSectionSize(4);
    chatOptions->verticalHeader()->setMinimumSectionSize(4);
    for (int c = 0; c < 4; ++c)
        chatOptions->setColumnWidth(c, c == ChatControls::kChangeColumn ? 40 : 16);
    for (int r = 0; r < 10; ++r)
        chatOptions->setRowHeight(r, 16);
    chatOptions->setGeometry(7, 302, 3 * 16 + 40 + 2, 10 * 16 + 2);
    chatOptions->setSelectionMode(QAbstractItemView::NoSelection);
    chatOptions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chatOptions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chatOptions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chatOptions->hide();
    yourImage = make<QLabel>(Panel1, "yourImage", QRect(6, 468, 24, 24));
    pauseButton = make<QToolButton>(Panel1, "pauseButton", QRect(36, 468, 26, 24));
    pauseButton->setFocusPolicy(Qt::NoFocus);
    pauseButton->setIcon(QIcon(dataFile(QStringLiteral("pause.bmp"))));
    TimeText = make<QLabel>(Panel1, "TimeText", QRect(6, 494, 92, 18));
    TimeText->setText(QStringLiteral("0:00:00"));
    TimeText->setAlignment(Qt::AlignCenter);

    // The map sits below everything else; panels are raised over it.
    mapPanel = new MapPanel(&pictures_, this);
    mapPanel->setGeometry(104, 72, 609, 417);
    mapPanel->setMapSource([this] { return state_.map.get(); });

    connectPanel = panel(this, "connectPanel", QRect(104, 0, 609, 65));
    Label1 = label(connectPanel, "Label1", {8, 6});
    location = make<QComboBox>(connectPanel, "location", QRect(8, 26, 200, 24));
    location->setEditable(true);
    location->setInsertPolicy(QComboBox::NoInsert);
    systemMsg = make<QListWidget>(connectPanel, "systemMsg", QRect(216, 4, 388, 57));

    msg = make<QListWidget>(this, "msg", QRect(104, 26, 609, 95));
    msg->setFocusPolicy(Qt::NoFocus); // the message list never keeps the focus
    msg->hide();
    msgToSendLabel = make<QLabel>(this, "msgToSendLabel", QRect(104, 120, 513, 26));
    usePanelColours(msgToSendLabel);
    {
        // The chat caption: white bold text on dark blue.
        QPalette pal = msgToSendLabel->palette();
        pal.setColor(QPalette::Window, QColor(0, 0, 128));
        pal.setColor(QPalette::WindowText, Qt::white);
        msgToSendLabel->setPalette(pal);
        QFont bold = msgToSendLabel->font();
        bold.setBold(true);
        msgToSendLabel->setFont(bold);
    }
    msgToSendLabel->hide();
    msgToSend = make<QComboBox>(this, "msgToSend", QRect(104, 146, 513, 24));
    msgToSend->setEditable(true);
    msgToSend->setInsertPolicy(QComboBox::NoInsert);
    msgToSend->setCompleter(nullptr); // what is typed is sent, never a preset it begins
    // Prepared lines, and last the line sent last.
    msgToSend->addItems({QStringLiteral("Let's make aliance"),
                         QStringLiteral("I want to buy soldiers"), QStringLiteral("You will die !"),
                         QStringLiteral("STOP STOP STOP!"),
                         QStringLiteral("Please, don't kill me !"),
                         QStringLiteral("I think, game is over."), QString()});
    msgToSend->setCurrentIndex(msgToSend->count() - 1); // an empty line to begin with
    msgToSend->hide();

    Image1 = picture(this, "Image1", QStringLiteral("image1.png"), QRect(208, 184, 337, 113));

    gamesPanel = panel(this, "gamesPanel", QRect(120, 177, 497, 136));
    Label2 = label(gamesPanel, "Label2", {8, 4});
    gamesList = make<QListWidget>(gamesPanel, "gamesList", QRect(8, 20, 200, 108));
    Label3 = label(gamesPanel, "Label3", {216, 4});
    gameName = make<QLineEdit>(gamesPanel, "gameName", QRect(216, 20, 130, 22));
    gameName->setMaxLength(kMaxNameLength);
    gameName->setToolTip(
        QStringLiteral("If you want to create new game you should enter unique game name here"));
    Label5 = label(gamesPanel, "Label5", {356, 4});
    yourName = make<QLineEdit>(gamesPanel, "yourName", QRect(356, 20, 133, 22));
    yourName->setMaxLength(kMaxNameLength);
    Label4 = label(gamesPanel, "Label4", {216, 48});
    mapsList = make<QComboBox>(gamesPanel, "mapsList", QRect(216, 64, 130, 22));
    mapsList->setToolTip(QStringLiteral("Maps currently available on server."));
    Label6 = label(gamesPanel, "Label6", {216, 92});
    mapNameText = make<QLineEdit>(gamesPanel, "mapNameText", QRect(216, 108, 130, 22));
    mapNameText->setEnabled(false);
    Label17 = label(gamesPanel, "Label17", {356, 48});
    imageYouPrefer = new EmblemBox(emblemImages(pictures_), gamesPanel);
    imageYouPrefer->setObjectName(QStringLiteral("imageYouPrefer"));
    imageYouPrefer->setGeometry(356, 64, 64, 24);
    gamesPanel->hide();

    playersPanel = panel(this, "playersPanel", QRect(168, 177, 409, 200));
    Label13 = label(playersPanel, "Label13", {8, 4});
    playersList = make<QListWidget>(playersPanel, "playersList", QRect(8, 20, 150, 172));
    Label14 = label(playersPanel, "Label14", {168, 4});
    gameSpeed = make<QSlider>(playersPanel, "gameSpeed", QRect(168, 20, 233, 24));
    gameSpeed->setOrientation(Qt::Horizontal);
    gameSpeed->setRange(0, 4);
    gameSpeed->setValue(2);
    gameSpeed->setTickPosition(QSlider::TicksBelow);
    gameSpeed->setPageStep(1);
    Label18 = label(playersPanel, "Label18", {168, 46});
    gameTypeLabel = label(playersPanel, "gameTypeLabel", {168, 72});
    gameType = make<QComboBox>(playersPanel, "gameType", QRect(168, 88, 233, 22));
    gameType->addItems({QString(), QString()}); // territory, gold
    gameTimeLabel = label(playersPanel, "gameTimeLabel", {168, 120});
    gameTime = make<QSpinBox>(playersPanel, "gameTime", QRect(168, 136, 64, 22));
    gameTime->setRange(1, 120);
    gameTime->setSingleStep(5);
    gameTime->setValue(40);
    Label19 = label(playersPanel, "Label19", {238, 140});
    Label19->setText(QStringLiteral("min."));
    Label19->adjustSize();
    playersPanel->hide();

    timeLeft = make<QLabel>(this, "timeLeft", QRect(264, 168, 209, 105));
    timeLeft->setText(QStringLiteral("5"));
    timeLeft->setAlignment(Qt::AlignCenter);
    QFont big = timeLeft->font();
    big.setPixelSize(96);
    big.setBold(true);
    timeLeft->setFont(big);
    timeLeft->hide();

    // The status line along the top edge, shown during a game.
    ImagePlayer =
        picture(this, "ImagePlayer", QStringLiteral("imageplayer.png"), QRect(107, 1, 24, 25));
    yourArmyText = valuePanel(this, "yourArmyText", QRect(133, 2, 74, 22));
    yourArmyText->setToolTip(QStringLiteral("Army you have with you during movement"));
    yourGoldText = valuePanel(this, "yourGoldText", QRect(209, 2, 74, 22));
    yourGoldText->setToolTip(QStringLiteral("Gold you have with you during movement"));
    ImageBlock =
        picture(this, "ImageBlock", QStringLiteral("imageblock.png"), QRect(288, 1, 24, 24));
    armyText = valuePanel(this, "armyText", QRect(314, 2, 66, 22));
    armyText->setToolTip(QStringLiteral("Army on the block or in city"));
    goldText = valuePanel(this, "goldText", QRect(382, 2, 66, 22));
    goldText->setToolTip(QStringLiteral("Gold on the block or in city"));
    ImageLeave =
        picture(this, "ImageLeave", QStringLiteral("imageleave.png"), QRect(456, 5, 18, 18));
    leaveIfMoreText = valuePanel(this, "leaveIfMoreText", QRect(476, 2, 62, 22));
    ImageRound =
        picture(this, "ImageRound", QStringLiteral("imageround.png"), QRect(544, 5, 18, 18));
    roundToText = valuePanel(this, "roundToText", QRect(564, 2, 50, 22));

    setTabOrder(focusButton, location);
    // Panels above the map, in the order the window shows them.
    for (QWidget* w : std::initializer_list<QWidget*>{
             connectPanel, msg, msgToSendLabel, msgToSend, Image1, gamesPanel, playersPanel,
             timeLeft, ImagePlayer, yourArmyText, yourGoldText, ImageBlock, armyText, goldText,
             ImageLeave, leaveIfMoreText, ImageRound, roundToText})
        w->raise();
}

void TForm1::FormCreate()
{
    state_.restartClock();
    dispatcher_ = new Dispatcher(*this, state_, this);
    lobby_ = std::make_unique<Lobby>(*this);
    inGame_ = std::make_unique<InGame>(*this);
    session_ = std::make_unique<Session>(state_, *this, *lobby_, *inGame_);
    orders_ = std::make_unique<Orders>(*this, *session_);
    chat_ = std::make_unique<ChatControls>(*this, *session_, pictures_);
    bot_ = std::make_unique<BotHost>(state_);

    Timer2.setInterval(kIdleStepInterval);
    connect(&Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    Timer2.start();
    Timer3.setInterval(1000);
    connect(&Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    Timer3.start();
    TimerPlusPlayer.setInterval(1200);
    connect(&TimerPlusPlayer, &QTimer::timeout, this, &TForm1::TimerPlusPlayerTimer);
    TimerPlusPlayer.start();
    connect(pauseButton, &QToolButton::clicked, this, &TForm1::pauseButtonClick);

    // The entries' own key handling, after the application-wide filter. The
    // chat entry's keys arrive at the combo box, which holds the focus, and
    // reach its line edit only through it.
    for (QWidget* w :
         {static_cast<QWidget*>(focusButton), static_cast<QWidget*>(deltaArmyText),
          static_cast<QWidget*>(msgToSend), static_cast<QWidget*>(msgToSend->lineEdit()),
          static_cast<QWidget*>(chatOptions)})
        w->installEventFilter(this);
    connect(chatOptions, &QTableWidget::cellPressed, this,
            [this](int row, int column) { chat_->mark(column, row); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == deltaArmyText && now != deltaArmyText)
            focusButton->setFocus(); // leaving the entry ends it
        if ((old == msgToSend || (old && old->parentWidget() == msgToSend)) && now != msgToSend &&
            (!now || now->parentWidget() != msgToSend))
            chat_->msgToSendExit();
        if (now == deltaArmyText)
            orders_->deltaArmyTextEnter();
        if (now == msgToSend || (now && now->parentWidget() == msgToSend)) {
            if (state_.gameStarted && chat_->chatMode == kChatNone)
                focusButton->setFocus();
        }
    });
    // The game's settings are the session's, whoever changes them.
    const auto settingsChanged = [this] {
        session_->setGameSettings(gameType->currentIndex(), gameTime->value());
    };
    connect(gameType, &QComboBox::currentIndexChanged, this, settingsChanged);
    connect(gameTime, &QSpinBox::valueChanged, this, settingsChanged);
    settingsChanged();
    for (const QString& e : pictures_.errors())
        logSystem(e);
    chat_->fixHeaderCells(); // the header letters come with the language
    showGamePanels(false);
    // The highlighted item shows its brush only while command mode is on.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == focusButton || now == focusButton)
            updateHighlight();
    });
    restoreSettings();
    if (!FormStorage1.contains(QStringLiteral("Left")) && screen()) {
        const QRect s = screen()->availableGeometry();
        move(s.center() - rect().center());
    }
}

void TForm1::restoreSettings()
{
    const QStringList stored = FormStorage1.value(QStringLiteral("location.Items")).toStringList();
    // Our own local server is the first item and the default.
    QStringList items{QStringLiteral("localhost")};
    for (const QString& s : stored)
        if (!s.isEmpty() && !items.contains(s))
            items << s;
    location->addItems(items);
    location->setCurrentIndex(0);
    yourName->setText(FormStorage1.value(QStringLiteral("yourName.Text")).toString());
    const QString emblem = FormStorage1.value(QStringLiteral("imageYouPrefer.Text")).toString();
    imageYouPrefer->setCurrentIndex(emblem.isEmpty() ? -1 : imageYouPrefer->findText(emblem));
    FormStorage1.restorePosition(this);
}

void TForm1::storeSettings()
{
    QStringList items;
    for (int i = 0; i < location->count(); ++i)
        items << location->itemText(i);
    FormStorage1.setValue(QStringLiteral("location.Items"), items);
    FormStorage1.setValue(QStringLiteral("yourName.Text"), yourName->text());
    FormStorage1.setValue(QStringLiteral("imageYouPrefer.Text"), imageYouPrefer->currentText());
    FormStorage1.storePosition(this);
    FormStorage1.sync();
}

void TForm1::fitWindowTo(QSize panel)
{
    QSize wanted(panel.width() + Panel1->width() + 6, panel.height() + msg->height() + 3);
    wanted = wanted.expandedTo(size());
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        wanted = wanted.boundedTo(avail.size() - (frameGeometry().size() - size()));
        if (wanted != size() && isVisible()) {
            resize(wanted);
            // Keep the whole window on the screen.
            const QRect frame = frameGeometry();
            move(pos() + QPoint(std::min(0, avail.right() - frame.right()),
                                std::min(0, avail.bottom() - frame.bottom())));
            return;
        }
    }
    resize(wanted);
}

void TForm1::setSpeedLegend(const QString& text)
{
    Label18->setText(text);
    fitLegend(Label18, gameSpeed->width());
}

void TForm1::logSystem(const QString& english, const QString& russian)
{
    logSystem(state_.rus ? russian : english);
}

void TForm1::logSystem(const QString& line)
{
    systemMsg->addItem(line);
    systemMsg->setCurrentRow(systemMsg->count() - 1);
}

void TForm1::logGame(const QString& line)
{
    msg->addItem(line);
    while (msg->count() > kMsgLines)
        delete msg->takeItem(0);
    msg->setCurrentRow(msg->count() - 1);
}

void TForm1::loadMap(const QString& fileName)
{
    state_.map.reset();
    auto map = std::make_unique<Map>(fileName);
    if (!map->loaded())
        logSystem(QStringLiteral("Map file %1: %2").arg(fileName, map->loadError()));
    state_.map = std::move(map);
}

void TForm1::createMenuItems()
{
    for (int i = 0; i < kMenuItemCount; ++i) {
        auto* item = new TNewLabel(i, Panel1);
        connect(item, &TNewLabel::clicked, this, [this](int code) {
            if (menu_.select(code))
                updateHighlight();
        });
        connect(item, &TNewLabel::doubleClicked, this, [this](int code) {
            if (menu_.select(code)) {
                updateHighlight();
                runMenuAction(menu_.menuIndex());
            }
        });
        menuItems_[i] = item;
    }
    setMenuState(MenuSet::NoConnect);
}

void TForm1::retranslate(Language lang)
{
    const auto t = [lang](const char* english, const char* russian) {
        return tr2(lang, english, russian);
    };
    for (int i = 0; i < kMenuItemCount; ++i)
        menuItems_[i]->setText(MenuModel::text(i, lang == Language::Russian));
    setWindowTitle(t("The Vorlane ( version beta2.0 )", "Ворлан! Бета версия 2.0"));
    state_.appTitle = t("The Vorlane", "Ворлан !");
    chatOptions->item(0, 1)->setText(t("A", "С"));
    chatOptions->item(0, 2)->setText(t("E", "В"));
    chatOptions->item(9, 0)->setText(t("A", "С"));
    const std::pair<QLabel*, QString> captions[] = {
        {Label1, t("Choose Vorlane location", "Выбери-ка Ворлан-сервер")},
        {Label2, t("Games, waiting for players", "Список игр")},
        {Label3, t("New game name", "Имя новой игры")},
        {Label4, t("Maps on server", "Список карт")},
        {Label5, t("Your name", "Ваша кликуха")},
        {Label6, t("Map name for current game", "Карта тек. игры")},
        {Label17, t("Image you prefer", "Эмблема твоего клана")},
        {Label13, t("Players in the game", "Собирающиеся поиграть")},
        {Label14, t("Choose game speed", "Скорость работы кулаков")},
        {gameTypeLabel, t("Choose game type", "Выберите тип игры")},
        {gameTimeLabel, t("Choose game duration", "Продолжительность игры")},
    };
    for (const auto& [l, text] : captions)
        setFittedCaption(l, text);
    // The legend's spaces line its words up under the track bar's ticks.
    setSpeedLegend(t("Slowest         Slow        Normal         High        Highest",
                     "Черепахи   Малая   Обычная   Высокая  Космическая"));
    systemMsg->setToolTip(t("System messages", "Системные сообщения"));
    gamesList->setToolTip(t("Select game you want to join or create new game",
                            "Выберите нужную вам игру или создайте новую"));
    gameType->setItemText(0, t("Struggle for territory", "Игра за территорию"));
    gameType->setItemText(1, t("Struggle for gold", "Игра за золото"));
}

void TForm1::setMenuState(MenuSet set)
{
    showGamePanels(set == MenuSet::InGame);
    menu_.setMenuState(set);
    for (int i = 0; i < kMenuItemCount; ++i) {
        TNewLabel* item = menuItems_[i];
        const int row = menu_.row(i);
        item->setVisible(row >= 0);
        if (row >= 0)
            item->move(3, 28 + 16 * row);
    }
    updateHighlight();
}

void TForm1::updateHighlight()
{
    for (int i = 0; i < kMenuItemCount; ++i) {
        TNewLabel* item = menuItems_[i];
        const bool on = i == menu_.menuIndex();
        item->setHighlighted(on);
        // The brush shows only in command mode.
        item->setTransparent(on && focusButton->hasFocus());
    }
}

void TForm1::showGamePanels(bool show)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             ImagePlayer, ImageBlock, ImageLeave, ImageRound, yourArmyText, yourGoldText, armyText,
             goldText, leaveIfMoreText, roundToText, chatOptions, deltaArmyText})
        w->setVisible(show);
}

void TForm1::runMenuAction(int code)
{
    switch (code) {
    case kMenuNext:
        menu_.next();
        updateHighlight();
        focusButton->setFocus();
        return;
    case kMenuPrevious:
        focusButton->setFocus();
        menu_.previous();
        updateHighlight();
        return;
    case kMenuConnect:
        if (state_.status == kNotConnected)
            connectToServer();
        else
            disconnectFromServer();
        return;
    case kMenuRefresh:
        lobby_->refresh();
        return;
    case kMenuJoin:
        lobby_->join();
        return;
    case kMenuCreate:
        lobby_->create();
        return;
    case kMenuStart:
        lobby_->start();
        return;
    case kMenuMonitor:
        if (windows_.monitor.isVisible()) {
            windows_.monitor.hide();
            focusButton->setFocus();
        } else {
            windows_.monitor.show();
            windows_.monitor.raise();
            windows_.monitor.activateWindow();
        }
        return;
    case kMenuLanguage:
        showLanguageDialog();
        return;
    case kMenuOptions:
        windows_.options.exec();
        return;
    case kMenuRedefineKeys:
        windows_.keys.exec();
        return;
    case kMenuHelp:
        showHelp();
        return;
    case kMenuAbout:
        windows_.about.exec();
        return;
    case kMenuDisconnect:
        connection().close();
        return;
    case kMenuExit:
        close();
        return;
    case kMenuSendMessage:
        chat_->openChat(kChatAll);
        return;
    case kMenuPutSoldiers:
        orders_->openEntry(kEntryPutArmy);
        return;
    case kMenuPutAll:
        session_->putAll();
        return;
    case kMenuGetSoldiers:
        orders_->openEntry(kEntryGetArmy);
        return;
    case kMenuRoundTo:
        session_->cycleRoundTo();
        return;
    case kMenuAutoLimit:
        orders_->openEntry(kEntryLeaveIfMore);
        return;
    case kMenuPutGold:
        orders_->openEntry(kEntryPutGold);
        return;
    case kMenuGetGold:
        orders_->openEntry(kEntryGetGold);
        return;
    case kMenuMarket:
        runMarket();
        return;
    default:
        return;
    }
}

void TForm1::showLanguageDialog()
{
    windows_.language.exec();
    QMessageBox::information(this, state_.appTitle,
                             state_.rus ? QStringLiteral("Перезапустите программу")
                                        : QStringLiteral("You need to restart the program"));
}

void TForm1::showHelp()
{
    const QString page =
        state_.rus ? QStringLiteral("vorlan_r.html") : QStringLiteral("vorlan_e.html");
    QDesktopServices::openUrl(QUrl::fromLocalFile(dataFile(page)));
}

int TForm1::blockSize() const
{
    return windows_.options.blockSize();
}

void TForm1::Timer2Timer()
{
    session_->newStep();
    if (bot_->active() && state_.map)
        refreshTotalsForBot(*state_.map);
    // The bot's order is this step's order: the guard has just gone up.
    bot_->tick([this](char letter, int32_t value) { session_->sendStep(letter, value); });
}

void TForm1::Timer3Timer()
{
    if (state_.gameStarted) {
        if (state_.map && !state_.map->paused)
            TimeText->setText(formatClock(state_.elapsedSeconds()));
    } else {
        TimeText->setText(QStringLiteral("0:00:00"));
    }
}

void TForm1::TimerPlusPlayerTimer()
{
    TimerPlusPlayer.setInterval(700);
    offerFirstHelp();
    if (state_.map)
        chat_->ageChanges();
}

void TForm1::pauseButtonClick()
{
    if (!session_->togglePause())
        pauseButton->setIcon(QIcon(dataFile(QStringLiteral("play.bmp"))));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == focusButton) {
        session_->typeCharacter(key->text());
        // An arrow that no command took stays here: a button would pass the
        // focus on with it and command mode would be lost.
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            return false;
        }
    }
    if (watched == deltaArmyText)
        return orders_->deltaArmyTextKeyDown(*key);
    if (watched == msgToSend || watched == msgToSend->lineEdit())
        return chat_->msgToSendKeyDown(*key);
    if (watched == chatOptions)
        return chat_->chatOptionsKeyDown(*key);
    return QWidget::eventFilter(watched, event);
}

void TForm1::connectToServer()
{
    msgToSendLabel->move(msgToSendLabel->x(), 120);
    msgToSend->move(msgToSend->x(), 146);
    msg->resize(msg->width(), 95);
    systemMsg->clear();
    msg->clear();
    mapsList->clear();
    playersList->clear();
    session_->open(hostFromLocation(location->currentText()));
}

void TForm1::disconnectFromServer()
{
    session_->close();
}

void TForm1::warn(const QString& text)
{
    QMessageBox::information(this, state_.appTitle, text);
}

void TForm1::connected()
{
    chat_->showMarks();
    setMenuState(MenuSet::Lobby);
    connectPanel->hide();
    gamesPanel->show();
    const QString typed = location->currentText();
    if (location->findText(typed, Qt::MatchExactly) < 0) {
        location->addItem(typed);
        location->setCurrentIndex(location->count() - 1);
    }
}

void TForm1::disconnected()
{
    Label12->clear();
    timeLeft->hide();
    resetToIdle();
}

void TForm1::resetToIdle()
{
    // The session has forgotten the game; the window and the bot follow.
    chat_->showMarks();
    chat_->chatMode = kChatNone;
    Timer2.setInterval(kIdleStepInterval);
    roundToText->setText(QString::number(session_->roundTo));
    leaveIfMoreText->setText(QString::number(session_->leaveIfMore));
    bot_->unload();
    connectPanel->show();
    for (QWidget* w :
         std::initializer_list<QWidget*>{gamesPanel, playersPanel, msgToSend, msgToSendLabel, msg})
        w->hide();
    Image1->show();
    update();
    state_.map.reset();
    setMenuState(MenuSet::NoConnect);
    loadMap(dataFile(kIdleMap));
    // The idle map fills the window again.
    FormResize();
    mapPanel->show();
    mapPanel->paintMap();
}

void TForm1::FormResize()
{
    const int w = width() - Panel1->width() - 6;
    Panel1->resize(Panel1->width(), height());
    mapPanel->resize(w, height() - msg->height() - 3);
    msg->resize(w, msg->height());
    msgToSendLabel->resize(w, msgToSendLabel->height());
    msgToSend->resize(w, msgToSend->height());
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (mapPanel)
        FormResize();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Command mode from the start: the menu answers the arrows and Enter.
    if (!event->spontaneous())
        focusButton->setFocus();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bot_->unload();
    storeSettings();
    QFile::remove(state_.globalMapName);
    QWidget::closeEvent(event);
}

} // namespace vorlan
