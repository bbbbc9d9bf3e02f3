#include "menumodel.h"

#include <gtest/gtest.h>

using namespace vorlan;

namespace {
std::vector<int> visibleItems(const MenuModel& m)
{
    std::vector<int> v;
    for (int i = 0; i < kMenuItemCount; ++i)
        if (m.visible(i))
            v.push_back(i);
    return v;
}
} // namespace

TEST(MenuModel, SetsShowTheirItems)
{
    MenuModel m;
    EXPECT_EQ(visibleItems(m), (std::vector<int>{0, 15, 16, 17, 18, 19, 21}));
    m.setMenuState(MenuSet::Lobby);
    EXPECT_EQ(visibleItems(m), (std::vector<int>{1, 2, 3, 15, 16, 17, 18, 19, 20}));
    m.setMenuState(MenuSet::MasterWaiting);
    EXPECT_EQ(visibleItems(m), (std::vector<int>{4, 15, 16, 17, 18, 19, 20}));
    m.setMenuState(MenuSet::JoinedWaiting);
    EXPECT_EQ(visibleItems(m), (std::vector<int>{15, 16, 17, 18, 19, 20}));
    m.setMenuState(MenuSet::InGame);
    EXPECT_EQ(visibleItems(m),
              (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 20}));
}

TEST(MenuModel, HighlightStartsOnTheLowestVisibleItem)
{
    MenuModel m;
    EXPECT_EQ(m.menuIndex(), kMenuConnect);
    m.setMenuState(MenuSet::InGame);
    EXPECT_EQ(m.menuIndex(), kMenuSendMessage);
    m.setMenuState(MenuSet::JoinedWaiting);
    EXPECT_EQ(m.menuIndex(), kMenuLanguage);
}

TEST(MenuModel, MovesWrapAroundOverVisibleItems)
{
    MenuModel m;
    std::vector<int> walked;
    for (int i = 0; i < 8; ++i) {
        m.next();
        walked.push_back(m.menuIndex());
    }
    // Seven visible items, from " Exit" back to " Connect".
    EXPECT_EQ(walked, (std::vector<int>{15, 16, 17, 18, 19, 21, 0, 15}));
    m.setMenuState(MenuSet::NoConnect);
    m.previous();
    EXPECT_EQ(m.menuIndex(), kMenuExit);
    m.previous();
    EXPECT_EQ(m.menuIndex(), kMenuAbout);
}

TEST(MenuModel, RowsStackVisibleItemsWithoutGaps)
{
    MenuModel m;
    EXPECT_EQ(m.row(0), 0);
    EXPECT_EQ(m.row(15), 1);
    EXPECT_EQ(m.row(21), 6);
    EXPECT_EQ(m.row(1), -1);
    EXPECT_EQ(m.row(-1), -1);
    EXPECT_EQ(m.row(22), -1);
}

TEST(MenuModel, ClicksOnlySelectVisibleItems)
{
    MenuModel m;
    EXPECT_FALSE(m.select(kMenuJoin));
    EXPECT_EQ(m.menuIndex(), kMenuConnect);
    EXPECT_TRUE(m.select(kMenuHelp));
    EXPECT_EQ(m.menuIndex(), kMenuHelp);
    EXPECT_FALSE(m.select(99));
}

TEST(MenuModel, TextsInBothLanguages)
{
    EXPECT_EQ(MenuModel::text(kMenuStart, false), " START !");
    EXPECT_EQ(MenuModel::text(kMenuRedefineKeys, false), "Redefine keys");
    EXPECT_EQ(MenuModel::text(kMenuConnect, true), QString::fromUtf8(" Коннект"));
    EXPECT_EQ(MenuModel::text(kMenuRedefineKeys, true), QString::fromUtf8("Измен. кнопки"));
    for (int i = 0; i < kMenuItemCount; ++i) {
        EXPECT_FALSE(MenuModel::text(i, false).isEmpty());
        EXPECT_EQ(MenuModel::text(i, true).startsWith(' '), i != kMenuRedefineKeys) << i;
    }
}
