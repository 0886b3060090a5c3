#include "testaccountset.h"

#include "store/errors.h"
#include "store/schema.h"

#include <QDir>

namespace varnock::test {

TestAccountSet::TestAccountSet()
{
    if (!m_dir.isValid())
        throw StoreError(QStringLiteral("cannot create a temporary folder: ") +
                         m_dir.errorString());
    m_db = std::make_unique<Database>(filePath(), Database::Access::Create);
    Schema::createAccountSet(*m_db);
}

// The connection must close before QTemporaryDir removes the folder.
TestAccountSet::~TestAccountSet() = default;

QString TestAccountSet::filePath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("kvmt.db"));
}

void TestAccountSet::addMaterial(const QString &clbh, const QString &name, const QString &parent,
                                 bool plannedPrice, Decimal plannedUnitPrice)
{
    m_db->exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, CLGG, JZDW, JHDJ, JHSL, "
                              "JJFS, SFMJ) VALUES (?, ?, ?, ?, ?, ?, 0, ?, 1)"),
               {clbh, parent, name, QStringLiteral(""), QStringLiteral("个"),
                plannedUnitPrice.toVariant(), plannedPrice ? 1 : 0});
}

void TestAccountSet::addCategory(const QString &clbh, const QString &name, const QString &parent)
{
    m_db->exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, SFMJ) VALUES (?, ?, ?, 0)"),
               {clbh, parent, name});
}

void TestAccountSet::addSupplier(const QString &bh, const QString &name)
{
    m_db->exec(QStringLiteral("INSERT INTO GYS (BH, MC, CSQK) VALUES (?, ?, 0)"), {bh, name});
}

void TestAccountSet::addUnit(const QString &bh, const QString &name)
{
    m_db->exec(QStringLiteral("INSERT INTO LLDW (BH, MC) VALUES (?, ?)"), {bh, name});
}

void TestAccountSet::setMode(int mode)
{
    Transaction tx(*m_db);
    m_db->exec(QStringLiteral("DELETE FROM ZTMS"));
    m_db->exec(QStringLiteral("INSERT INTO ZTMS (MS) VALUES (?)"), {mode});
    tx.commit();
}

} // namespace varnock::test
