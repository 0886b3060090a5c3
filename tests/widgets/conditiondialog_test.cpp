#include "widgets/conditionform.h"

#include "recordingsink.h"
#include "store/clock.h"
#include "store/errors.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using varnock::test::RecordingSink;

namespace {

struct Sample
{
    QString code;
    QString number;
    QDate from;
    QDate to;
};

// A unit picker field, one plain field and the dates.
class SampleDialog : public ConditionForm<Sample>
{
public:
    explicit SampleDialog(const std::function<QDate()> &start)
        : ConditionForm(QStringLiteral("Sample"), QStringLiteral("条件查询"), nullptr)
    {
        const PickedField unit = addPickedField(
            QStringLiteral("单位编号："), QStringLiteral("单位名称："),
            [this] {
                ++picks;
                std::optional<Counterparty> choice;
                if (offered)
                    choice = Counterparty{offered->first, offered->second, {}, {}, {}};
                return choice;
            },
            &Sample::code);
        code = unit.code;
        name = unit.name;
        number = addField(QStringLiteral("原始单据号："), &Sample::number);
        addDates(start);
    }

    QPushButton *pickButton() const
    {
        for (QPushButton *b : findChildren<QPushButton *>()) {
            if (b->text() == QStringLiteral("…"))
                return b;
        }
        return nullptr;
    }

    QLineEdit *code;
    QLineEdit *name;
    QLineEdit *number;
    std::optional<std::pair<QString, QString>> offered;
    int picks = 0;
};

QDate march1()
{
    return QDate(2026, 3, 1);
}

// Runs `steps` on the dialog once it is shown modally.
void whenShown(std::function<void(SampleDialog *)> steps)
{
    QTimer::singleShot(0, [steps] {
        auto *dialog = dynamic_cast<SampleDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        steps(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "condition dialog still open";
            dialog->reject();
        }
    });
}

void press(QWidget *widget, Qt::Key key)
{
    QTest::keyClick(widget, key);
}

} // namespace

TEST(ConditionDialog, EscapeCancelsWhateverWasTyped)
{
    whenShown([](SampleDialog *d) {
        d->number->setFocus();
        d->number->setText(QStringLiteral("A1"));
        press(d->number, Qt::Key_Escape);
    });
    SampleDialog dialog(march1);
    EXPECT_FALSE(dialog.ask().has_value());
}

TEST(ConditionDialog, EndBeforeStartIsRefusedAndEqualDatesPass)
{
    RecordingSink sink;
    whenShown([&sink](SampleDialog *d) {
        EXPECT_EQ(d->startDate()->date(), march1());
        d->endDate()->setDate(QDate(2026, 2, 28));
        QTest::mouseClick(d->buttons()->button(0), Qt::LeftButton);
        EXPECT_EQ(sink.lastText(), QStringLiteral("终止日期不能大于起始日期！"));
        EXPECT_TRUE(d->isVisible());
        d->endDate()->setDate(march1());
        QTest::mouseClick(d->buttons()->button(0), Qt::LeftButton);
    });
    SampleDialog dialog(march1);
    const std::optional<Sample> c = dialog.ask();
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->from, march1());
    EXPECT_EQ(c->to, march1());
    EXPECT_EQ(sink.shown.size(), 1u);
}

TEST(ConditionDialog, EnterWalksThroughTheFieldsPastThePickerToTheSearch)
{
    whenShown([](SampleDialog *d) {
        d->activateWindow();
        d->code->setFocus();
        QTest::keyClicks(d->code, QStringLiteral("U1"));
        press(d->code, Qt::Key_Return); // over "…" and the read-only name
        EXPECT_EQ(QApplication::focusWidget(), d->number);
        QTest::keyClicks(d->number, QStringLiteral("L'1"));
        press(d->number, Qt::Key_Return);
        EXPECT_TRUE(d->startDate()->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == d->startDate());
        press(QApplication::focusWidget(), Qt::Key_Return);
        press(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), d->buttons()->button(0));
        press(QApplication::focusWidget(), Qt::Key_Return);
    });
    SampleDialog dialog(march1);
    const std::optional<Sample> c = dialog.ask();
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->code, QStringLiteral("U1"));
    EXPECT_EQ(c->number, QStringLiteral("L'1"));
    EXPECT_EQ(dialog.picks, 0);
}

TEST(ConditionDialog, PickerFillsCodeAndNameAndACancelledPickKeepsThem)
{
    SampleDialog dialog(march1);
    ASSERT_NE(dialog.pickButton(), nullptr);
    EXPECT_TRUE(dialog.name->isReadOnly());
    dialog.offered = {QStringLiteral("U7"), QStringLiteral("二号楼项目部")};
    QTest::mouseClick(dialog.pickButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.code->text(), QStringLiteral("U7"));
    EXPECT_EQ(dialog.name->text(), QStringLiteral("二号楼项目部"));
    dialog.offered.reset();
    QTest::mouseClick(dialog.pickButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.picks, 2);
    EXPECT_EQ(dialog.code->text(), QStringLiteral("U7"));
    EXPECT_EQ(dialog.conditions().code, QStringLiteral("U7"));
}

TEST(ConditionDialog, AFailedStartDateIsReportedAndLeavesToday)
{
    RecordingSink sink;
    SampleDialog dialog([]() -> QDate { throw StoreError(QStringLiteral("disk I/O error")); });
    EXPECT_EQ(sink.lastText(), QStringLiteral("disk I/O error"));
    EXPECT_EQ(dialog.startDate()->date(), Clock::today());
    EXPECT_EQ(dialog.endDate()->date(), Clock::today());
}
