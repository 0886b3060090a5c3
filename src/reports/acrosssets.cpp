#include "reports/acrosssets.h"

#include "ledger/costengine.h"
#include "reports/reportbuild.h"
#include "store/database.h"
#include "store/errors.h"

#include <optional>

namespace varnock {

AcrossSets::AcrossSets(Database &db, const DataFolder &folder)
    : m_db(db)
    , m_folder(folder)
{}

QString AcrossSets::unreadableText(const QStringList &unreadable)
{
    return QStringLiteral("以下账套无法打开，未列入报表：\n") + unreadable.join(QLatin1Char('\n'));
}

void AcrossSets::read(const QList<Set> &sets,
                      const std::function<void(Database &, int, const Set &)> &read)
{
    for (const Set &set : sets) {
        std::optional<QString> why;
        try {
            Database other(m_folder.accountSetDatabasePath(set.number), Database::Access::ReadOnly);
            // One state of the other file, however its clerk writes meanwhile.
            const ReadSnapshot snapshot(other);
            const int mode = other.scalar(QStringLiteral("SELECT MS FROM ZTMS")).toInt() ==
                                     CostEngine::FirstInFirstOut
                                 ? CostEngine::FirstInFirstOut
                                 : CostEngine::MovingAverage;
            read(other, mode, set);
        } catch (const StoreError &e) {
            why = e.text;
        } catch (const Refusal &r) {
            why = r.text;
        }
        if (why)
            m_unreadable << QStringLiteral("%1 %2：%3").arg(set.number).arg(set.name, *why);
    }
}

void AcrossSets::fill(const QString &temp, const ReportTable &table)
{
    ReportBuild build(m_db);
    build.fill(temp, table);
    build.commit();
}

} // namespace varnock
