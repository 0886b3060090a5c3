#pragma once

#include "shell/permissions.h"
#include "store/errors.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The operators of an account set (CZY) and their rights (CZYQX): login, and the upkeep done
// on the operator screen. Passwords are kept as salted hashes (see Passwords).
class Operators
{
public:
    // The operator created with the account set; when logged in, changes and deletes
    // operators without being asked for their passwords.
    static constexpr int Administrator = 1;

    struct Entry
    {
        int number = 0;
        QString name;
    };

    struct Details
    {
        int number = 0;
        QString name;
        QString phone;
        Permissions permissions;
    };

    struct Login
    {
        int number = 0;
        QString name; // trimmed
        Permissions permissions;
    };

    // The refusal of a login whose password does not match, so that the login screen can
    // put the focus back into the password field.
    struct WrongPassword : Refusal
    {
        WrongPassword();
    };

    explicit Operators(Database &db);

    // Every operator, ordered by number.
    QList<Entry> list() const;
    std::optional<Details> find(int number) const;

    // Checks name and password and reads the operator's rights. Names are compared without
    // the spaces around them. Throws Refusal ("请输入操作员姓名或口令！", "该操作员不存在！")
    // or WrongPassword ("口令错误！请重新输入！").
    Login login(const QString &name, const QString &password);

    // Rights of one operator; all denied when the operator has no rights row.
    Permissions permissions(int number) const;
    // MAX(BH) + 1, or 1 for an account set without operators.
    int nextNumber() const;

    // Writes CZY and CZYQX in one transaction. Refuses an empty name
    // ("操作员姓名不允许为空！") and a number already in use.
    void add(int number, const QString &name, const QString &phone, const QString &password,
             const Permissions &permissions);
    // As add, for an existing operator. An empty password keeps the current one: the screen
    // cannot show the stored password, so a blank field means "unchanged".
    void update(int number, const QString &name, const QString &phone, const QString &password,
                const Permissions &permissions);
    // Deletes the operator's CZY and CZYQX rows in one transaction. Refuses to delete the
    // last operator: an account set without operators could never be logged into again.
    void remove(int number);

    // False as well for an operator that does not exist.
    bool passwordMatches(int number, const QString &typed) const;
    // Whether the logged-in operator may change and delete operators without a password.
    static bool actsFreely(int loggedInNumber) { return loggedInNumber == Administrator; }

private:
    bool exists(int number) const;
    void writePermissions(int number, const Permissions &permissions, bool insert);

    Database &m_db;
};

} // namespace varnock
