#pragma once

#include "reports/acrosssets.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// The detail across account sets (材料收支存明细汇总表): for each chosen set, the rows of its
// own detail report (opening, receipts, all issues and transfers, adjustments, closing per
// material, under first in first out per material and unit price) and its total, then the
// total of all sets. Each set's file is opened on a connection of its own, only to read; a
// set that cannot be opened is named and the others are reported all the same. The rows are
// left in the open set's report table CRZ_TEMP.
class MultiSetReport
{
public:
    static const QString Name;      // "JXCMXZ"
    static const QString Title;     // "材料收支存明细汇总表"
    static const QString DatesText; // "起始日期不可大以终始日期"

    using Set = AcrossSets::Set;
    using Result = AcrossSets::Result;

    // `db` is the open account set, whose report table is written.
    MultiSetReport(Database &db, const DataFolder &folder);

    // Refuses a start after the end (DatesText) before any set is opened.
    Result build(const QList<Set> &sets, const QDate &from, const QDate &to,
                 const QString &level1 = {}, const QString &level2 = {});

private:
    Database &m_db;
    DataFolder m_folder;
};

} // namespace varnock
