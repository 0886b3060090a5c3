#pragma once

#include "print/reporttable.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace varnock {

class Database;

// Every report the program exports, prints and saves as PDF, by the name its template and
// workbook carry. Each report builder adds its entry here.
namespace ReportCatalog {

struct Entry
{
    QString name;   // "材料信息一览表": the title and the template's name
    QString key;    // the table key the master lists are also asked by ("CLJBXXB"); may be empty
    bool hasPeriod; // asks for a start and an end date
    QString right;  // the menu command whose right the report needs
    std::function<ReportTable(Database &db, const std::optional<ReportPeriod> &period)> build;
};

const QList<Entry> &entries();
// By name or by key; nullptr when there is no such report.
const Entry *find(const QString &nameOrKey);

} // namespace ReportCatalog

} // namespace varnock
