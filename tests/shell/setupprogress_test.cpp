#include "ledger/monthend.h"
#include "shell/commandmap.h"
#include "shell/setupprogress.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;
using Step = SetupProgress::Step;

namespace {

QList<Step> doneSteps(SetupProgress &progress)
{
    progress.refresh();
    QList<Step> done;
    for (const SetupProgress::StepInfo &info : SetupProgress::steps()) {
        if (progress.isDone(info.step))
            done << info.step;
    }
    return done;
}

} // namespace

TEST(SetupProgress, StepsAreInOrderAndRunRealCommands)
{
    QList<Step> order;
    for (const SetupProgress::StepInfo &info : SetupProgress::steps()) {
        order << info.step;
        EXPECT_FALSE(info.hint.isEmpty());
        ASSERT_FALSE(info.commands.isEmpty());
        for (const QString &command : info.commands)
            EXPECT_NE(CommandMap::find(command), nullptr) << command.toStdString();
    }
    EXPECT_EQ(order,
              (QList<Step>{Step::Catalogue, Step::Counterparties, Step::Openings, Step::Closing}));
    EXPECT_EQ(SetupProgress::steps().at(1).commands,
              (QStringList{QStringLiteral("GYSSZ"), QStringLiteral("LLDWSZ")}));
}

// Each step is ticked by what the set holds, not by the order the steps were done in; a
// category is not yet a catalogue, and suppliers without consuming units are half a step.
TEST(SetupProgress, StepsTickAsTheSetFillsUp)
{
    test::TestAccountSet set;
    SetupProgress progress(set.db());
    EXPECT_TRUE(doneSteps(progress).isEmpty());
    EXPECT_FALSE(progress.isFinished());

    set.addSupplier(QStringLiteral("01"), QStringLiteral("建材公司"));
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    EXPECT_TRUE(doneSteps(progress).isEmpty());

    set.addMaterial(QStringLiteral("101"), QStringLiteral("圆钢"));
    EXPECT_EQ(doneSteps(progress), QList<Step>{Step::Catalogue});

    set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
    EXPECT_EQ(doneSteps(progress), (QList<Step>{Step::Catalogue, Step::Counterparties}));

    test::LedgerSeed(set.db()).opening(QStringLiteral("101"), test::dec("2"), test::dec("7000"));
    EXPECT_EQ(doneSteps(progress),
              (QList<Step>{Step::Catalogue, Step::Counterparties, Step::Openings}));
    EXPECT_FALSE(progress.isFinished());

    MonthEnd(set.db(), 2, Formats()).close(QDate(2026, 2, 1));
    EXPECT_EQ(doneSteps(progress).size(), 4);
    EXPECT_TRUE(progress.isFinished());
}

// A site that starts with an empty store skips the opening balances: the closing still ends
// the guide.
TEST(SetupProgress, AClosingFinishesEvenWithoutOpenings)
{
    test::TestAccountSet set;
    SetupProgress progress(set.db());
    MonthEnd(set.db(), 1, Formats()).close(QDate(2026, 2, 1));
    EXPECT_EQ(doneSteps(progress), QList<Step>{Step::Closing});
    EXPECT_TRUE(progress.isFinished());
}
