#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;

TEST(DatePicker, ShowsTodayAsYearMonthDay)
{
    Clock::setToday(QDate(2026, 3, 5));
    DatePicker picker;
    Clock::setToday(std::nullopt);
    EXPECT_EQ(picker.date(), QDate(2026, 3, 5));
    EXPECT_EQ(picker.text(), QStringLiteral("2026-03-05"));
    EXPECT_TRUE(picker.calendarPopup());
}

namespace {

bool hasFocus(QWidget *field)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == field || field->isAncestorOf(focus));
}

} // namespace

TEST(EnterMovesFocus, EnterWalksTheFieldsThenReachesTheButton)
{
    // The shape of a login form: date, operator, password, then OK.
    QWidget form;
    auto *layout = new QFormLayout(&form);
    auto *date = new DatePicker(&form);
    auto *name = new QLineEdit(&form);
    auto *password = new QLineEdit(&form);
    auto *ok = new QPushButton(QStringLiteral("确  定(&Q)"), &form);
    auto *other = new QPushButton(QStringLiteral("退  出(&X)"), &form);
    layout->addRow(QStringLiteral("登录日期(&D)："), date);
    layout->addRow(QStringLiteral("操 作 员(&U)："), name);
    layout->addRow(QStringLiteral("口    令(&P)："), password);
    layout->addRow(other);
    layout->addRow(ok);
    auto *helper = new EnterMovesFocus(&form);
    helper->setJump(password, ok);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    date->setFocus();
    ASSERT_TRUE(hasFocus(date));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(hasFocus(name));
    QTest::keyClicks(name, QStringLiteral("wang"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_TRUE(hasFocus(password));
    // Enter in the password skips "退出" and lands on OK; the next Enter presses OK.
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_TRUE(hasFocus(ok));
    QSignalSpy pressed(ok, &QPushButton::clicked);
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(name->text(), QStringLiteral("wang"));
}
