#pragma once

#include "view/texts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <QDialog>
#include <QImage>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vorlan {

class BlockPictures;
class Map;

// The operations of the market, in the order of the operation group.
enum MarketOperation : int
{
    kMarketCancel = 0, ///< withdraw the standing offer
    kMarketBuy = 1,
    kMarketSell = 2,
    kMarketGift = 3,
};
constexpr int kMarketOperations = 4;

// What the own player keeps in cities; every figure of the dialog comes from it.
struct MarketFunds
{
    int32_t cityGold = 0;
    int32_t cityArmy = 0;
};

// The own player's funds, or none while the client has no place in the map.
std::optional<MarketFunds> marketFunds(const Map& map);

// One order as the market message carries it.
struct MarketOrder
{
    char operation = 'N'; ///< 'N' cancel, 'B' buy, 'S' sell, '0'..'7' gift to that player
    int32_t quantity = 0; ///< soldiers wanted, offered or given
    int32_t price = 0;    ///< gold per soldier, or the gold given
    bool operator==(const MarketOrder&) const = default;
};

// The order for `operation` with the given amounts; `recipient` (0..7) only
// matters for a gift. Cancelling carries zeros whatever the amounts say.
MarketOrder marketOrder(int operation, int32_t howMany, int32_t price, int recipient);

// The market dialog: prepares one order and shows what the own player can
// afford. It never holds the map: the funds are copied in before it opens,
// since a disconnection while it is open replaces the map.
class TForm6 : public QDialog
{
    Q_OBJECT

public:
    // `pictures` supplies the player pictures of the recipient list; they are
    // copied, so the reference need not outlive the dialog.
    explicit TForm6(const BlockPictures& pictures, QWidget* parent = nullptr);
    // Loads the player pictures from the program folder (the current directory).
    explicit TForm6(QWidget* parent = nullptr);

    // Fills captions and figures from the own player of `map`, then runs the
    // dialog modally. The map is read only before the dialog opens.
    int runFor(const Map& map, bool rus);
    // The same preparation without running: funds by value, none = no own player.
    void prepare(std::optional<MarketFunds> funds, bool rus);
    // New funds (a player update while the dialog is open); used from the next
    // change of an amount, as the figures are recomputed then.
    void setFunds(std::optional<MarketFunds> funds) { funds_ = funds; }

    // The order to send after the dialog closed with Ok; none after Cancel.
    std::optional<MarketOrder> order() const;
    // What Ok would send with the dialog as it stands now.
    MarketOrder currentOrder() const;

    int operation() const;
    void setOperation(int op); // selects it as a click would

    // Every caption in the given language; the operation group starts again
    // at its first item.
    void retranslate(Language lang);

    // Captions, enabled amounts and figures for the chosen operation.
    void marketOperClick();
    // Corrects the amounts and recomputes the dependent figure.
    void marketOperClick1();

    QGroupBox* marketOper;
    QButtonGroup* marketOperButtons; ///< ids 0..3, the operations
    QSpinBox* howMany;
    QSpinBox* price;
    QLineEdit* soldiers;
    QLineEdit* money;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* labelSell;
    QLabel* labelMoney;
    QLabel* Label3;
    QComboBox* imageYouPrefer; ///< items "0".."7", drawn as the player pictures
    QPushButton* Button1;
    QPushButton* Button2;

private:
    void build();

    std::array<QImage, 8> emblems_;
    std::optional<MarketFunds> funds_;
    bool rus_ = false;
    bool operationPressedWasChecked_ = false;
};

} // namespace vorlan
