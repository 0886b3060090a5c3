#pragma once

#include "shell/datafolder.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;
struct Refusal;

// One row of the account-set list (ZTXX).
struct AccountSetInfo
{
    qint64 number = 0; // BH, also the name of the set's folder
    QString name;      // ZTMC
    QDate created;     // JZRQ
};

// What the creation wizard hands over.
struct NewAccountSet
{
    qint64 number = 0;
    QString name;
    QString password;
    QDate date;
    // Operator 1 of the new set; without a name the template's operator stays. Once an
    // operator is given (a name, a password, or operatorGiven), both must be filled: a name
    // alone would keep the template's well-known password.
    QString operatorName;
    QString operatorPassword;
    QString operatorPasswordRepeat;
    bool operatorGiven = false;
    int mode = 2; // 1 = first in first out, any other value = moving average
};

// The account sets of a data folder, kept in the master database.
class AccountSets
{
public:
    // What is wrong with a creation request, in the order the wizard checks it.
    enum class Problem {
        EmptyName,
        EmptyPassword,
        NameWithSpaces,
        DuplicateName,
        IncompleteOperator,
        PasswordMismatch,
        InvalidNumber,
        NumberTaken,
        InvalidDate,
    };
    struct Check
    {
        Problem problem;
        QString text;
    };

    static constexpr qint64 MaxNumber = 999'999'999;

    AccountSets(Database &master, const DataFolder &folder);

    // Ordered by number.
    QList<AccountSetInfo> list() const;
    // The listed sets whose files can be read, for the chooser. Each one that cannot (file
    // missing, damaged, of a newer version) is left out with a note on what is wrong.
    QList<AccountSetInfo> readable(QStringList &notes) const;
    std::optional<AccountSetInfo> find(qint64 number) const;

    // The current year followed by "001" for the first set, else the highest number plus 1
    // (skipping a number whose folder is already taken).
    qint64 proposedNumber() const;

    // The first problem of the request, if any.
    std::optional<Check> check(const NewAccountSet &request) const;
    // Copies the template into a folder of its own beside the sets, sets its first operator
    // and accounting mode, lists it and only then renames the folder into place. Throws
    // Refusal (the check's text) or StoreError; either way nothing of the new set remains.
    AccountSetInfo create(const NewAccountSet &request);
    // Finishes what an interrupted creation left behind (run at start): a folder of a set
    // that was already listed is put into place, any other is removed. A creation still
    // running in another program is left alone.
    void tidyInterruptedCreations();

    // Deletes the set's folder and its list row. Refuses a wrong password and a set that is
    // open in this or another program. Throws Refusal or StoreError.
    void remove(qint64 number, const QString &typedPassword);

    static Refusal refusalFor(const Check &check);

private:
    Database &m_master;
    DataFolder m_folder;
};

} // namespace varnock
