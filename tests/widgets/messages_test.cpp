#include "recordingsink.h"

#include "store/errors.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace varnock;
using varnock::test::RecordingSink;

namespace {

// Same shape as a screen's delete: asks, then acts only on Yes.
bool deleteIfConfirmed(int &deleted)
{
    if (!Messages::ask(nullptr, QStringLiteral("确定要删除吗？"), QStringLiteral("删除窗口")))
        return false;
    ++deleted;
    return true;
}

} // namespace

TEST(Messages, QuestionActsOnlyOnYes)
{
    RecordingSink sink;
    int deleted = 0;
    sink.answer({false, true});
    EXPECT_FALSE(deleteIfConfirmed(deleted));
    EXPECT_EQ(deleted, 0);
    EXPECT_TRUE(deleteIfConfirmed(deleted));
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(sink.questions.size(), 2u);
    EXPECT_EQ(sink.questions[0].title, QStringLiteral("删除窗口"));
    EXPECT_EQ(sink.questions[0].icon, Messages::Icon::Question);
    EXPECT_TRUE(sink.shown.empty());
}

TEST(Messages, RealQuestionBoxDefaultsToNoAndEscapeIsNo)
{
    // No sink: the real box. Enter (default button) and Esc must both answer No.
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
        QString yesText;
        QString noText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            yesText = box->button(QMessageBox::Yes)->text();
            noText = box->button(QMessageBox::No)->text();
            QTest::keyClick(box, Qt::Key(key));
        });
        EXPECT_FALSE(Messages::ask(nullptr, QStringLiteral("您确认要退出本系统吗?")));
        EXPECT_EQ(yesText, QStringLiteral("是(&Y)"));
        EXPECT_EQ(noText, QStringLiteral("否(&N)"));
    }
}

TEST(Messages, RealQuestionBoxYes)
{
    QTimer::singleShot(0, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(Messages::ask(nullptr, QStringLiteral("继续？")));
}

TEST(RunOperation, RefusalShownWithItsOwnTitleAndIcon)
{
    RecordingSink sink;
    bool ran = false;
    const bool ok = runOperation(nullptr, [&] {
        ran = true;
        throw Refusal(QStringLiteral("提示窗口！！！"),
                      QStringLiteral("该单据已记帐，不允许修改！"));
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(ok);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].title, QStringLiteral("提示窗口！！！"));
    EXPECT_EQ(sink.shown[0].text, QStringLiteral("该单据已记帐，不允许修改！"));
    EXPECT_EQ(sink.shown[0].icon, Messages::Icon::Exclamation);
}

TEST(RunOperation, StoreErrorsAreCriticalAndOverflowsARefusal)
{
    RecordingSink sink;
    const auto diskFull = [] { throw StoreError(QStringLiteral("disk I/O error")); };
    EXPECT_FALSE(runOperation(nullptr, diskFull));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].icon, Messages::Icon::Critical);
    EXPECT_EQ(sink.shown[0].title, QStringLiteral("错误"));
    EXPECT_EQ(sink.shown[0].text, QStringLiteral("disk I/O error"));

    // A figure that leaves the exact range inside an operation refuses it, in Chinese.
    EXPECT_FALSE(runOperation(nullptr, [] { throw std::overflow_error("Decimal overflow"); }));
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(sink.shown[1].icon, Messages::Icon::Exclamation);
    EXPECT_TRUE(sink.shown[1].text.contains(QStringLiteral("超出数值允许的范围")));
    EXPECT_FALSE(sink.shown[1].text.contains(QStringLiteral("overflow")));
}

TEST(RunOperation, SuccessShowsNothing)
{
    RecordingSink sink;
    int calls = 0;
    EXPECT_TRUE(runOperation(nullptr, [&] { ++calls; }));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(sink.shown.empty());
}
