#pragma once

#include "store/database.h"
#include "store/decimal.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace varnock::test {

// A fresh account set in a temporary folder with its schema created; the folder and the
// database are removed when the object goes out of scope.
class TestAccountSet
{
public:
    TestAccountSet();
    ~TestAccountSet();
    TestAccountSet(const TestAccountSet &) = delete;
    TestAccountSet &operator=(const TestAccountSet &) = delete;

    Database &db() { return *m_db; }
    // The temporary folder holding kvmt.db; may be used as the data folder of a test.
    QString folder() const { return m_dir.path(); }
    QString filePath() const;

    // A catalogue leaf (SFMJ = 1) with unit "个" and no conversion. The parent node is not
    // created: call addCategory for tests that walk the tree.
    void addMaterial(const QString &clbh, const QString &name,
                     const QString &parent = QStringLiteral("1"), bool plannedPrice = false,
                     Decimal plannedUnitPrice = {});
    // A category node (SFMJ = 0); top-level nodes have parent "0".
    void addCategory(const QString &clbh, const QString &name,
                     const QString &parent = QStringLiteral("0"));
    void addSupplier(const QString &bh, const QString &name);
    void addUnit(const QString &bh, const QString &name);
    // The account set's accounting mode: 1 = first in first out, 2 = moving average.
    void setMode(int mode);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace varnock::test
