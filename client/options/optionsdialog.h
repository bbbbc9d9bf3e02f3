#pragma once

#include "options/sound.h"
#include "view/formstorage.h"
#include "view/texts.h"

#include <array>
#include <memory>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace vorlan {

struct AppState;

// The pause and stop buttons of a media player.
class PlayerButtons : public QWidget
{
    Q_OBJECT

public:
    PlayerButtons(MediaPlayer& player, QWidget* parent);

    QToolButton* pauseButton;
    QToolButton* stopButton;
};

// The options dialog: music, event sounds, voice buttons, the idiot bot
// library and the block size. It lives for the whole run, keeps its settings
// between runs and is the home of the two players of all music and sounds
// (sound()). Every change takes effect at once.
class TOptions : public QDialog
{
    Q_OBJECT

public:
    // The state gives the program folder and takes the modifier flags of the
    // dialog's keys.
    explicit TOptions(AppState& state, QWidget* parent = nullptr);
    ~TOptions() override;

    Sound& sound() { return *sound_; }

    int blockSize() const;
    // The bot library the idiot may be started with, and whether it may.
    bool idiotAllowed() const;
    QString idiotLibrary() const;
    // Voice button n (1..8): the line chosen in its list (-1 for none) and
    // its text, the phrase sent with the voice.
    int voiceIndex(int n) const;
    QString voiceText(int n) const;
    QCheckBox* cbv(int n) const { return voiceBoxes.at(n - 1); }
    QComboBox* cmbv(int n) const { return voiceLists.at(n - 1); }

    // Every caption in the given language (and the sound messages' language).
    void retranslate(Language lang);
    // The sound choices preset on the first start under Russian.
    void presetRussianSounds();
    // Writes the stored properties (also done on closing and at exit).
    void saveSettings();

    // The file dialog of DirudName's browse button.
    QFileDialog* createLibraryDialog();

    QCheckBox* enableMIDI;
    QCheckBox* CB1;
    QCheckBox* CB2;
    QCheckBox* CB3;
    QCheckBox* CB4;
    PlayerButtons* MPButtons;
    QCheckBox* enableWAVE;
    QCheckBox* yourAttack;
    QCheckBox* yourAttackFailure;
    QCheckBox* makingPost;
    QCheckBox* enemyAttackFailure;
    QCheckBox* yourLoss;
    QComboBox* yourAttackName;
    QComboBox* yourAttackFailureName;
    QComboBox* makingPostName;
    QComboBox* enemyAttackFailureName;
    QComboBox* yourLossName;
    PlayerButtons* MPWButtons;
    QCheckBox* DirudBox;
    QLineEdit* DirudName;
    QToolButton* DirudNameBrowse;
    QPushButton* ResetIdiot;
    QLabel* SizeLabel;
    QSpinBox* Size;
    QPushButton* Button1;

    // The tables other code addresses the controls by: tracks 1..4,
    // voice boxes and lists 1..8 (index = number - 1).
    std::array<QCheckBox*, 4> tracks{};
    std::array<QCheckBox*, 8> voiceBoxes{};
    std::array<QComboBox*, 8> voiceLists{};

    // The stored properties, in the order they are kept.
    static const QStringList& storedProperties();

signals:
    // Size changed: the map takes the new block size and is drawn again.
    void blockSizeChanged(int size);
    // DirudBox was unchecked or Reset pressed: a loaded library whose name
    // differs from fileName must be unloaded.
    void botLibraryReleaseRequested(const QString& fileName);

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void FormCreate();
    void restoreSettings();
    void DirudBoxClick();
    void ResetIdiotClick();
    void browseLibrary();
    std::array<QComboBox*, 13> soundLists() const;

    AppState& state_;
    Language lang_ = Language::English;
    FormStorage FormStorage1;
    std::unique_ptr<Sound> sound_;
};

} // namespace vorlan
