#pragma once

#include "store/decimal.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The three material libraries that ship with the program, offered by the library import as
// "材料库1", "材料库2" and "材料库3" and kept in the master database's tables CLJBXXB0,
// CLJBXXB1 and CLJBXXB2. Library 0 is the full building-works catalogue, library 1 a road and
// municipal works catalogue, library 2 a small housing-site catalogue. The data are UTF-8 CSV
// files compiled in as resources, one node of the code tree a line:
//
//   CLBH,SJBH,CLMC,CLGG,JZDW,HSDW,HSXS,JHDJ,JHSL,JJFS,SFMJ,CRKBZ
//
// Categories (SFMJ 0) sit on levels 1 and 2 and leave every figure and unit empty; materials
// (SFMJ 1) sit on level 3 under a category and carry name, specification, unit and planned
// price. A conversion unit HSDW comes with its factor HSXS: one HSDW is HSXS accounting units.
namespace MaterialLibraries {

constexpr int Count = 3;

// One node of a library, named after the columns it fills.
struct Row
{
    QString clbh;
    QString sjbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    QString hsdw;
    std::optional<double> hsxs;
    Decimal jhdj;
    Decimal jhsl;
    bool jjfs = false;
    bool sfmj = false;
    bool crkbz = false;
};

// "CLJBXXB0" … "CLJBXXB2".
QString tableName(int library);
// The file name of a library's data, used in error texts ("cljbxxb0.csv").
QString fileName(int library);

// Parses one library file. Every line must be well formed and the lines must build a sound
// code tree (parents before children, codes extending their parent's by three digits, no
// duplicates); otherwise throws StoreError naming the file and the line.
QList<Row> parse(const QByteArray &utf8, const QString &file);
// The shipped library, parsed. Throws StoreError.
QList<Row> rows(int library);

// Replaces the rows of CLJBXXB0..CLJBXXB2 with the shipped libraries, in one transaction.
// Throws StoreError; nothing is changed then.
void seed(Database &db);

} // namespace MaterialLibraries
} // namespace varnock
