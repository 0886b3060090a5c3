#include "widgets/operation.h"

#include "store/errors.h"
#include "store/limits.h"
#include "widgets/messages.h"

#include <exception>
#include <stdexcept>

namespace varnock {
namespace {

// The operation's transaction has rolled back by the time the exception arrives here.
void criticalUnfinished(QWidget *parent, const QString &reason)
{
    Messages::critical(parent, reason + QStringLiteral("，操作未完成，数据未被修改。"),
                       QStringLiteral("错误"));
}

} // namespace

bool runOperation(QWidget *parent, const std::function<void()> &operation)
{
    try {
        operation();
        return true;
    } catch (const Refusal &refusal) {
        Messages::show(parent, refusal);
    } catch (const StoreError &error) {
        Messages::critical(parent, error.text, QStringLiteral("错误"));
    } catch (const std::overflow_error &) {
        Messages::show(parent, Refusal(QStringLiteral("提示"), Limits::overflowText()));
    } catch (const std::domain_error &) {
        criticalUnfinished(parent, QStringLiteral("计算中出现除数为零"));
    } catch (const std::exception &error) {
        criticalUnfinished(parent, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace varnock
