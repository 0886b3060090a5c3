#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// What a new account set still lacks before it can take vouchers: a material catalogue,
// suppliers and consuming units, its opening balances and a first month-end closing. Each
// step names the menu commands that do it; the guide on the empty work area shows them in
// this order and ticks off what the set already holds.
class SetupProgress
{
public:
    enum class Step { Catalogue, Counterparties, Openings, Closing };

    struct StepInfo
    {
        Step step;
        QString caption;      // "材料设置"
        QString hint;         // what to do, in one sentence
        QStringList commands; // the menu commands that do it
    };

    // Nothing is read until refresh().
    explicit SetupProgress(Database &db);

    static const QList<StepInfo> &steps();

    // Reads the account set again. Throws StoreError.
    void refresh();
    bool isDone(Step step) const;
    // Vouchers need a closing: once there is one the set is ready and no guide is needed.
    bool isFinished() const { return isDone(Step::Closing); }

private:
    bool exists(const QString &table, const QString &condition = {}) const;

    Database &m_db;
    QList<Step> m_done;
};

} // namespace varnock
