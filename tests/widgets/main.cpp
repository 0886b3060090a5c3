#include "widgets/uitest.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// Ends the timers each test scheduled before the next test starts.
class ScopeReset : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        varnock::test::testScope() = std::make_unique<QObject>();
    }
};

} // namespace

int main(int argc, char **argv)
{
    // The test discovery runs this binary at build time, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings the screens remember go to a scratch place, not the user's own.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScopeReset);
    const int result = RUN_ALL_TESTS();
    varnock::test::testScope().reset();
    return result;
}
