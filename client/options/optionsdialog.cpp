#include "optionsdialog.h"

#include "appstate.h"
#include "datafiles.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

namespace vorlan {

namespace {

template <typename W> W* make(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, const QRect& r)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(r);
    return box;
}

QComboBox* soundList(QWidget* parent, const QString& name, const QRect& r)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(r);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    return list;
}

void frame(QWidget* parent, const QRect& r)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(r);
    f->lower();
}

// The sound lists are wider than the form gives them (106 and 94 pixels),
// so that a chosen phrase is seen whole: the left column grows by the first
// amount, the right one by the second, and the window by both.
constexpr int kLeftGrowth = 120;
constexpr int kRightGrowth = 132;
constexpr int kGrowth = kLeftGrowth + kRightGrowth;

#ifdef Q_OS_WIN
constexpr const char* kLibrarySuffix = "dll";
constexpr const char* kShippedLibrary = "dirud.dll";
#else
constexpr const char* kLibrarySuffix = "so";
constexpr const char* kShippedLibrary = "libdirud.so";
#endif

} // namespace

PlayerButtons::PlayerButtons(MediaPlayer& player, QWidget* parent) : QWidget(parent)
{
    pauseButton = new QToolButton(this);
    pauseButton->setObjectName(QStringLiteral("pause"));
    pauseButton->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    pauseButton->setGeometry(0, 0, 28, 24);
    pauseButton->setToolTip(QStringLiteral("Pause"));
    stopButton = new QToolButton(this);
    stopButton->setObjectName(QStringLiteral("stop"));
    stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    stopButton->setGeometry(30, 0, 28, 24);
    stopButton->setToolTip(QStringLiteral("Stop"));
    // The pause button holds a playback and lets it go on again.
    connect(pauseButton, &QToolButton::clicked, this, [&player] {
        if (player.mode() == MediaPlayer::Mode::Paused)
            player.play();
        else
            player.pause();
    });
    connect(stopButton, &QToolButton::clicked, this, [&player] { player.stop(); });
}

const QStringList& TOptions::storedProperties()
{
    static const QStringList names = [] {
        QStringList n{"enableMIDI.Checked",
                      "enableWAVE.Checked",
                      "CB1.Checked",
                      "CB2.Checked",
                      "CB3.Checked",
                      "CB4.Checked",
                      "enemyAttackFailure.Checked",
                      "makingPost.Checked",
                      "yourAttack.Checked",
                      "yourAttackFailure.Checked",
                      "yourLoss.Checked",
                      "DirudBox.Checked",
                      "DirudName.Text"};
        for (int i = 1; i <= 8; ++i)
            n << QStringLiteral("cbv%1.Checked").arg(i);
        for (int i = 1; i <= 8; ++i)
            n << QStringLiteral("cmbv%1.Text").arg(i);
        n << "enemyAttackFailureName.Text"
          << "yourAttackFailureName.Text"
          << "yourAttackName.Text"
          << "yourLossName.Text"
          << "makingPostName.Text"
          << "Size.Value";
        return n;
    }();
    return names;
}

TOptions::TOptions(AppState& state, QWidget* parent)
    : QDialog(parent, Qt::Tool), state_(state), FormStorage1(QStringLiteral("TOptions"))
{
    setObjectName(QStringLiteral("TOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(610 + kGrowth, 393);
    createControls();
    FormCreate();
    retranslate(Language::English);
}

TOptions::~TOptions()
{
    saveSettings();
    // The players go first: nothing may sound through controls being deleted.
    sound_.reset();
}

void TOptions::createControls()
{
    // Music
    frame(this, QRect(8, 8, 292 + kLeftGrowth, 124));
    enableMIDI = checkBox(this, "enableMIDI", QString(), QRect(16, 14, 180, 22));
    enableMIDI->setChecked(true);
    for (int i = 0; i < 4; ++i) {
        tracks[i] = checkBox(this, QStringLiteral("CB%1").arg(i + 1), QString(),
                             QRect(36, 38 + 22 * i, 256, 22));
        tracks[i]->setChecked(true);
    }
    CB1 = tracks[0];
    CB2 = tracks[1];
    CB3 = tracks[2];
    CB4 = tracks[3];

    // Event sounds
    frame(this, QRect(8, 140, 292 + kLeftGrowth, 170));
    enableWAVE = checkBox(this, "enableWAVE", QString(), QRect(16, 146, 180, 22));
    enableWAVE->setChecked(true);
    const QRect box(16, 174, 168, 22);
    const QRect list(186, 174, 106 + kLeftGrowth, 24);
    yourAttack = checkBox(this, "yourAttack", QString(), box);
    yourAttackName = soundList(this, "yourAttackName", list);
    yourAttackFailure = checkBox(this, "yourAttackFailure", QString(), box.translated(0, 26));
    yourAttackFailureName = soundList(this, "yourAttackFailureName", list.translated(0, 26));
    makingPost = checkBox(this, "makingPost", QString(), box.translated(0, 52));
    makingPostName = soundList(this, "makingPostName", list.translated(0, 52));
    enemyAttackFailure = checkBox(this, "enemyAttackFailure", QString(), box.translated(0, 78));
    enemyAttackFailureName = soundList(this, "enemyAttackFailureName", list.translated(0, 78));
    yourLoss = checkBox(this, "yourLoss", QString(), box.translated(0, 104));
    yourLossName = soundList(this, "yourLossName", list.translated(0, 104));

    // Voice buttons
    frame(this, QRect(308 + kLeftGrowth, 8, 294 + kRightGrowth, 220));
    for (int i = 0; i < 8; ++i) {
        const QString text = i < 6 ? QStringLiteral("Voice button %1 (enemies)").arg(i + 1)
                                   : QStringLiteral("Voice button %1 (allies)").arg(i + 1);
        voiceBoxes[i] = checkBox(this, QStringLiteral("cbv%1").arg(i + 1), text,
                                 QRect(316 + kLeftGrowth, 14 + 26 * i, 182, 22));
        voiceLists[i] = soundList(this, QStringLiteral("cmbv%1").arg(i + 1),
                                  QRect(500 + kLeftGrowth, 14 + 26 * i, 94 + kRightGrowth, 24));
    }

    // The idiot
    frame(this, QRect(308 + kLeftGrowth, 236, 294 + kRightGrowth, 74));
    DirudBox = checkBox(this, "DirudBox", QString(), QRect(316 + kLeftGrowth, 244, 180, 22));
    ResetIdiot = make<QPushButton>(this, "ResetIdiot", QRect(514 + kGrowth, 242, 80, 26));
    ResetIdiot->setText(QStringLiteral("Reset"));
    ResetIdiot->setAutoDefault(false);
    DirudName =
        make<QLineEdit>(this, "DirudName", QRect(316 + kLeftGrowth, 276, 242 + kRightGrowth, 24));
    DirudName->setEnabled(false);
    DirudNameBrowse = make<QToolButton>(this, "DirudNameBrowse", QRect(562 + kGrowth, 276, 32, 24));
    DirudNameBrowse->setText(QStringLiteral("..."));
    DirudNameBrowse->setEnabled(false);

    // Block size and OK
    SizeLabel = make<QLabel>(this, "SizeLabel", QRect(16, 322, 110, 24));
    Size = make<QSpinBox>(this, "Size", QRect(128, 322, 64, 24));
    Size->setRange(8, 64);
    Size->setValue(16);
    SizeLabel->setBuddy(Size);
    Button1 = make<QPushButton>(this, "Button1", QRect(514 + kGrowth, 354, 88, 30));
    Button1->setText(QStringLiteral("OK"));
    Button1->setDefault(true);

    SoundControls controls;
    controls.enableMIDI = enableMIDI;
    controls.enableWAVE = enableWAVE;
    controls.tracks = tracks;
    controls.events = {yourAttack, yourAttackFailure, makingPost, enemyAttackFailure, yourLoss};
    controls.eventNames = {yourAttackName, yourAttackFailureName, makingPostName,
                           enemyAttackFailureName, yourLossName};
    controls.voices = voiceBoxes;
    controls.voiceNames = voiceLists;
    sound_ = std::make_unique<Sound>(controls, this);
    MPButtons = new PlayerButtons(sound_->MP, this);
    MPButtons->setObjectName(QStringLiteral("MPButtons"));
    MPButtons->setGeometry(234 + kLeftGrowth, 12, 58, 24);
    MPWButtons = new PlayerButtons(sound_->MPW, this);
    MPWButtons->setObjectName(QStringLiteral("MPWButtons"));
    MPWButtons->setGeometry(234 + kLeftGrowth, 144, 58, 24);

    connect(enableMIDI, &QCheckBox::clicked, this, [this] { sound_->midiSwitch(); });
    connect(enableWAVE, &QCheckBox::clicked, this, [this] { sound_->waveSwitch(); });
    const std::array<QCheckBox*, 5> events{yourAttack, yourAttackFailure, makingPost,
                                           enemyAttackFailure, yourLoss};
    for (int i = 0; i < Sound::kEvents; ++i) {
        connect(events[i], &QCheckBox::clicked, this,
                [this, i] { sound_->playEvent(static_cast<Sound::Event>(i)); });
    }
    connect(DirudBox, &QCheckBox::clicked, this, &TOptions::DirudBoxClick);
    connect(ResetIdiot, &QPushButton::clicked, this, &TOptions::ResetIdiotClick);
    connect(DirudNameBrowse, &QToolButton::clicked, this, &TOptions::browseLibrary);
    connect(Size, &QSpinBox::valueChanged, this, &TOptions::blockSizeChanged);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    installEventFilter(this);
    Button1->installEventFilter(this);
}

std::array<QComboBox*, 13> TOptions::soundLists() const
{
    return {yourAttackName, yourAttackFailureName, makingPostName, enemyAttackFailureName,
            yourLossName,   voiceLists[0],         voiceLists[1],  voiceLists[2],
            voiceLists[3],  voiceLists[4],         voiceLists[5],  voiceLists[6],
            voiceLists[7]};
}

void TOptions::FormCreate()
{
    // Every list offers the lines of the sound list; with no file they stay
    // empty and the dialog works on without sounds to choose.
    const QStringList lines = Sound::readSoundList(dataFile(QStringLiteral("wav.txt")));
    for (QComboBox* list : soundLists()) {
        list->addItems(lines);
        list->setCurrentIndex(-1);
        // The lists are narrow; their drop-downs show the whole lines.
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
    }
    sound_->openDevices();
    restoreSettings();
    sound_->waveSwitch();
    sound_->midiSwitch();
}

void TOptions::restoreSettings()
{
    for (const QString& property : storedProperties()) {
        if (!FormStorage1.contains(property))
            continue;
        const QVariant value = FormStorage1.value(property);
        const QString name = property.section(QLatin1Char('.'), 0, 0);
        const QString kind = property.section(QLatin1Char('.'), 1);
        QObject* control = findChild<QObject*>(name);
        if (auto* box = qobject_cast<QCheckBox*>(control); box && kind == QLatin1String("Checked"))
            box->setChecked(value.toBool());
        else if (auto* list = qobject_cast<QComboBox*>(control))
            // A text that is no longer a line of the list chooses nothing.
            list->setCurrentIndex(list->findText(value.toString()));
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(value.toString());
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            spin->setValue(value.toInt());
    }
    DirudName->setEnabled(DirudBox->isChecked());
    DirudNameBrowse->setEnabled(DirudBox->isChecked());
}

void TOptions::saveSettings()
{
    for (const QString& property : storedProperties()) {
        const QString name = property.section(QLatin1Char('.'), 0, 0);
        QObject* control = findChild<QObject*>(name);
        if (auto* box = qobject_cast<QCheckBox*>(control))
            FormStorage1.setValue(property, box->isChecked());
        else if (auto* list = qobject_cast<QComboBox*>(control))
            FormStorage1.setValue(property, list->currentText());
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            FormStorage1.setValue(property, edit->text());
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            FormStorage1.setValue(property, spin->value());
    }
    FormStorage1.sync();
}

int TOptions::blockSize() const
{
    return Size->value();
}

bool TOptions::idiotAllowed() const
{
    return DirudBox->isChecked();
}

QString TOptions::idiotLibrary() const
{
    return DirudName->text();
}

int TOptions::voiceIndex(int n) const
{
    return n >= 1 && n <= 8 ? voiceLists[n - 1]->currentIndex() : -1;
}

QString TOptions::voiceText(int n) const
{
    return n >= 1 && n <= 8 ? voiceLists[n - 1]->currentText() : QString();
}

void TOptions::DirudBoxClick()
{
    const bool on = DirudBox->isChecked();
    DirudName->setEnabled(on);
    DirudNameBrowse->setEnabled(on);
    if (!on)
        emit botLibraryReleaseRequested(DirudName->text());
}

void TOptions::ResetIdiotClick()
{
    emit botLibraryReleaseRequested(DirudName->text());
}

QFileDialog* TOptions::createLibraryDialog()
{
    auto* dialog = new QFileDialog(this, tr2(lang_, "Idiot DLL", "Библиотека дурака"));
    dialog->setObjectName(QStringLiteral("DirudNameDialog"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setDefaultSuffix(QString::fromLatin1(kLibrarySuffix));
    // The platform's libraries end in .so here; .dll files are offered too.
    dialog->setNameFilter(QStringLiteral("Idiot dll (*.dll *.%1)").arg(kLibrarySuffix));
    // Opens where the chosen library lies, else where the shipped one does.
    QString folder = QDir::currentPath();
    const QFileInfo current(DirudName->text());
    const QString shipped =
        DataFolders::forLibraries(state_.dir).locate(QString::fromLatin1(kShippedLibrary));
    if (current.isFile())
        folder = current.absolutePath();
    else if (!shipped.isEmpty())
        folder = QFileInfo(shipped).absolutePath();
    dialog->setDirectory(folder);
    return dialog;
}

void TOptions::browseLibrary()
{
    QFileDialog* dialog = createLibraryDialog();
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        DirudName->setText(QDir::toNativeSeparators(dialog->selectedFiles().constFirst()));
    delete dialog;
}

void TOptions::retranslate(Language lang)
{
    lang_ = lang;
    const auto t = [lang](const char* english, const char* russian) {
        return tr2(lang, english, russian);
    };
    enableMIDI->setText(t("Enable MIDI music", "Включить MIDI"));
    enableWAVE->setText(t("Enable WAVE music", "Включить WAVE"));
    // The English track titles carry their quote marks.
    CB1->setText(t("\"Dream\"", "Сон"));
    CB2->setText(t("\"Gods death\"", "Гибель богов"));
    CB3->setText(t("\"Choose\"", "Выбирай"));
    CB4->setText(t("\"War in the name of peace\"", "Война во имя мира"));
    yourAttack->setText(t("Your attack", "Твоя атака"));
    yourAttackFailure->setText(t("Your attack failure", "Провал атаки"));
    enemyAttackFailure->setText(t("Enemy loss (>300)", "Провал врага"));
    makingPost->setText(t("Making post (press F2)", "Уст. гарнизона"));
    yourLoss->setText(t("Your loss (>300)", "Твои потери"));
    DirudBox->setText(t("Use idiot DLL", "Исп. дурака"));
    SizeLabel->setText(t("Blocks size", "Размер клетки"));
    sound_->setRussian(lang == Language::Russian);
}

void TOptions::presetRussianSounds()
{
    // An index past the end of a short list chooses nothing.
    auto choose = [](QComboBox* list, int index) {
        list->setCurrentIndex(index < list->count() ? index : -1);
    };
    for (QCheckBox* box : {yourAttackFailure, makingPost, enemyAttackFailure, yourLoss})
        box->setChecked(true);
    choose(yourAttackFailureName, 7);
    choose(makingPostName, 8);
    choose(enemyAttackFailureName, 33);
    choose(yourLossName, 15);
    const int voices[8] = {2, 3, 8, 12, 20, 31, 25, 38};
    for (int i = 0; i < 8; ++i) {
        voiceBoxes[i]->setChecked(true);
        choose(voiceLists[i], voices[i]);
    }
    saveSettings();
}

void TOptions::done(int result)
{
    saveSettings();
    QDialog::done(result);
}

void TOptions::showEvent(QShowEvent* event)
{
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

bool TOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const Qt::KeyboardModifiers m = static_cast<QKeyEvent*>(event)->modifiers();
        state_.Shifted = m.testFlag(Qt::ShiftModifier);
        state_.Ctrled = m.testFlag(Qt::ControlModifier);
        state_.Alted = m.testFlag(Qt::AltModifier);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorlan
