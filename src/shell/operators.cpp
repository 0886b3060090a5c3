#include "shell/operators.h"

#include "shell/passwords.h"
#include "store/database.h"

#include <QSqlQuery>
#include <QStringList>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");

Refusal refusal(const QString &text)
{
    return Refusal(Title, text, Refusal::Icon::Exclamation);
}

// The flag columns of CZYQX in the order of Permissions::Flag; never user text.
QString flagColumns()
{
    QStringList names;
    for (int f = 0; f < Permissions::FlagCount; ++f)
        names << Permissions::fieldName(Permissions::Flag(f));
    return names.join(QStringLiteral(", "));
}

Permissions readFlags(const QSqlQuery &q, int firstColumn)
{
    Permissions p;
    for (int f = 0; f < Permissions::FlagCount; ++f)
        p.allowed[f] = q.value(firstColumn + f).toInt() != 0;
    return p;
}

} // namespace

Operators::WrongPassword::WrongPassword()
    : Refusal(Title, QStringLiteral("口令错误！请重新输入！"), Icon::Exclamation)
{}

Operators::Operators(Database &db)
    : m_db(db)
{}

QList<Operators::Entry> Operators::list() const
{
    QList<Entry> entries;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH, CZY FROM CZY ORDER BY BH"));
    while (q.next())
        entries.append({q.value(0).toInt(), q.value(1).toString()});
    return entries;
}

std::optional<Operators::Details> Operators::find(int number) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH, CZY, DH FROM CZY WHERE BH = ?"), {number});
    if (!q.next())
        return std::nullopt;
    Details d;
    d.number = q.value(0).toInt();
    d.name = q.value(1).toString();
    d.phone = q.value(2).toString();
    d.permissions = permissions(number);
    return d;
}

Operators::Login Operators::login(const QString &name, const QString &password)
{
    if (name.isEmpty() || password.isEmpty())
        throw refusal(QStringLiteral("请输入操作员姓名或口令！"));

    // Operators sharing one name are tried in number order: each of them can still log in
    // with their own password.
    struct Candidate
    {
        int number;
        QString name;
        QString pass;
    };
    QList<Candidate> candidates;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH, CZY, PASS FROM CZY ORDER BY BH"));
    while (q.next()) {
        if (q.value(1).toString().trimmed() == name.trimmed())
            candidates.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
    }
    if (candidates.isEmpty())
        throw refusal(QStringLiteral("该操作员不存在！"));

    for (const Candidate &c : candidates) {
        if (!Passwords::matches(c.pass, password))
            continue;
        if (!Passwords::isHash(c.pass) && !m_db.isReadOnly()) {
            // A password an older version kept in plain text is hashed on its first use (by
            // the next login that may write, when the set is only being read).
            Transaction tx(m_db);
            m_db.exec(QStringLiteral("UPDATE CZY SET PASS = ? WHERE BH = ?"),
                      {Passwords::hash(password), c.number});
            tx.commit();
        }
        return {c.number, c.name.trimmed(), permissions(c.number)};
    }
    throw WrongPassword();
}

Permissions Operators::permissions(int number) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ") + flagColumns() +
                                QStringLiteral(" FROM CZYQX WHERE BH = ?"),
                            {number});
    if (!q.next())
        return {};
    return readFlags(q, 0);
}

int Operators::nextNumber() const
{
    const QVariant max = m_db.scalar(QStringLiteral("SELECT MAX(BH) FROM CZY"));
    return max.isNull() ? 1 : max.toInt() + 1;
}

bool Operators::exists(int number) const
{
    return !m_db.scalar(QStringLiteral("SELECT BH FROM CZY WHERE BH = ?"), {number}).isNull();
}

void Operators::writePermissions(int number, const Permissions &permissions, bool insert)
{
    QVariantList values;
    QStringList assignments;
    for (int f = 0; f < Permissions::FlagCount; ++f) {
        values << (permissions.allowed[f] ? 1 : 0);
        assignments << Permissions::fieldName(Permissions::Flag(f)) + QStringLiteral(" = ?");
    }
    values << number;
    if (!insert) {
        const QString sql = QStringLiteral("UPDATE CZYQX SET ")
                            + assignments.join(QStringLiteral(", "))
                            + QStringLiteral(" WHERE BH = ?");
        QSqlQuery q = m_db.exec(sql, values);
        if (q.numRowsAffected() > 0)
            return;
        // An operator without a rights row gets one.
    }
    values.prepend(values.takeLast());
    m_db.exec(QStringLiteral("INSERT INTO CZYQX (BH, ") + flagColumns() +
                  QStringLiteral(") VALUES (?") +
                  QStringLiteral(", ?").repeated(Permissions::FlagCount) + QStringLiteral(")"),
              values);
}

void Operators::add(int number, const QString &name, const QString &phone, const QString &password,
                    const Permissions &permissions)
{
    if (name.trimmed().isEmpty())
        throw refusal(QStringLiteral("操作员姓名不允许为空！"));
    Transaction tx(m_db);
    if (exists(number))
        throw refusal(QStringLiteral("编号为 %1 的操作员已经存在！").arg(number));
    m_db.exec(QStringLiteral("INSERT INTO CZY (BH, CZY, DH, PASS) VALUES (?, ?, ?, ?)"),
              {number, name.trimmed(), phone.trimmed(), Passwords::hash(password)});
    // A rights row left behind by some older deletion must not survive into the new one.
    m_db.exec(QStringLiteral("DELETE FROM CZYQX WHERE BH = ?"), {number});
    writePermissions(number, permissions, true);
    tx.commit();
}

void Operators::update(int number, const QString &name, const QString &phone,
                       const QString &password, const Permissions &permissions)
{
    if (name.trimmed().isEmpty())
        throw refusal(QStringLiteral("操作员姓名不允许为空！"));
    Transaction tx(m_db);
    if (!exists(number))
        throw refusal(QStringLiteral("该操作员不存在！"));
    if (password.trimmed().isEmpty()) {
        m_db.exec(QStringLiteral("UPDATE CZY SET CZY = ?, DH = ? WHERE BH = ?"),
                  {name.trimmed(), phone.trimmed(), number});
    } else {
        m_db.exec(QStringLiteral("UPDATE CZY SET CZY = ?, DH = ?, PASS = ? WHERE BH = ?"),
                  {name.trimmed(), phone.trimmed(), Passwords::hash(password), number});
    }
    writePermissions(number, permissions, false);
    tx.commit();
}

void Operators::remove(int number)
{
    Transaction tx(m_db);
    if (!exists(number))
        throw refusal(QStringLiteral("该操作员不存在！"));
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CZY")).toInt() <= 1)
        throw refusal(QStringLiteral("不允许删除最后一个操作员！删除后将无法登录本账套。"));
    m_db.exec(QStringLiteral("DELETE FROM CZY WHERE BH = ?"), {number});
    m_db.exec(QStringLiteral("DELETE FROM CZYQX WHERE BH = ?"), {number});
    tx.commit();
}

bool Operators::passwordMatches(int number, const QString &typed) const
{
    const QVariant stored =
        m_db.scalar(QStringLiteral("SELECT PASS FROM CZY WHERE BH = ?"), {number});
    if (stored.isNull())
        return false;
    return Passwords::matches(stored.toString(), typed);
}

} // namespace varnock
