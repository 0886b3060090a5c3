#include "widgets/indexedbuttongroup.h"

#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;

TEST(IndexedButtonGroup, ButtonsByIndexWithTheirCaptions)
{
    IndexedButtonGroup group({QStringLiteral("保 存(&S)"), QStringLiteral("退 出(&X)")});
    ASSERT_EQ(group.count(), 2);
    EXPECT_EQ(group.button(0)->text(), QStringLiteral("保 存(&S)"));
    EXPECT_EQ(group.button(2), nullptr);
    QSignalSpy spy(&group, &IndexedButtonGroup::clicked);
    QTest::mouseClick(group.button(1), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
}

TEST(IndexedButtonGroup, CannotFireAgainWhileAHandlerRuns)
{
    IndexedButtonGroup group({QStringLiteral("记 账(&J)"), QStringLiteral("退 出(&X)")});
    group.show();
    int postings = 0;
    QObject::connect(&group, &IndexedButtonGroup::clicked, &group, [&](int index) {
        if (index != 0)
            return;
        if (++postings > 1)
            return; // only the outer posting tries again
        EXPECT_TRUE(group.isBusy());
        // A second click arriving while the first posting runs (a double click handled by a
        // message box's event loop): must be dropped, for either button.
        QTest::mouseClick(group.button(0), Qt::LeftButton);
        group.button(1)->click();
        group.button(0)->animateClick();
        QTest::qWait(200);
    });
    QTest::mouseClick(group.button(0), Qt::LeftButton);
    EXPECT_EQ(postings, 1);
    EXPECT_FALSE(group.isBusy());
    // Once the handler is done the button works again.
    QTest::mouseClick(group.button(0), Qt::LeftButton);
    EXPECT_EQ(postings, 2);
}

TEST(IndexedButtonGroup, HandlerMayCloseTheScreenThatOwnsTheGroup)
{
    auto *screen = new QWidget;
    auto *group = new IndexedButtonGroup({QStringLiteral("退 出(&X)")}, Qt::Vertical, screen);
    QPointer<QWidget> alive(screen);
    QObject::connect(group, &IndexedButtonGroup::clicked, screen, [screen] { delete screen; });
    group->button(0)->click();
    EXPECT_TRUE(alive.isNull());
}
