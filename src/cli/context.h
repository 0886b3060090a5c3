#pragma once

#include "cli/arguments.h"
#include "shell/commandmap.h"
#include "shell/datafolder.h"
#include "shell/operators.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

namespace varnock {
class AccountSetSession;
class Database;
class ReadSnapshot;
} // namespace varnock

namespace varnock::cli {

// What a command hands back: the JSON object's fields and the text lines, one of which is
// printed. A non-zero exit code with an error text reports a finding, not a failure (check).
struct Result
{
    QJsonObject json;
    QStringList lines;
    int exitCode = 0;
    QString errorText;
};

// The state of one run of the command line, kept across the lines of a batch: the data
// folder's master database, the open account set and the verified login are reused while
// the options naming them stay the same.
class Context
{
public:
    Context(QTextStream &out, QTextStream &err, QTextStream *in);
    ~Context();
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;

    QTextStream &out;
    QTextStream &err;
    QTextStream *in; // standard input for "batch -"; may be null

    // The options of the command being run.
    Globals globals;
    // The set made by "set create" earlier in this run: the default for later lines.
    std::optional<qint64> createdSet;
    // Nesting of batch files, so that a batch cannot run itself.
    int batchDepth = 0;
    // Set while "batch --atomic" runs its lines in one transaction on the open account set:
    // no line may open another set or data folder.
    bool atomicBatch = false;
    // Set while a command that only reads runs: it reads the account set without locking it,
    // so it works while the program has the set open, and sees one state of the books.
    bool readsOnly = false;

    DataFolder folder() const;
    Database &master();
    // The account set named by --set (else the one created in this run, else the only one),
    // opened and locked as the chooser opens it; opened to read only while readsOnly.
    AccountSetSession &accountSet();
    // Ends what one command began: the snapshot a reading command read from.
    void finishCommand();
    // The login of --user/--password (else VARNOCK_USER/VARNOCK_PASSWORD), checked as the
    // login screen checks it. Throws Refusal.
    const Operators::Login &login();

    // The next command logs in again: the operators or their rights have changed.
    void forgetLogin();

    // Refuses when the logged-in operator may not use the menu command; returns it.
    const CommandMap::Command &authorize(const QString &menuCommand);
    // Runs an operation as its menu command: checks the right, then writes the command's
    // operation-log record and the operation in one transaction, so a refused operation
    // leaves no trace.
    void perform(const QString &menuCommand, const std::function<void()> &operation);

    // Closes the account set and the master database (before a set is deleted).
    void closeAll();
    void closeAccountSet();

private:
    qint64 setNumber();

    std::unique_ptr<Database> m_master;
    QString m_masterFolder;
    std::optional<QString> m_masterGiven; // --data-dir as given for m_master
    std::unique_ptr<AccountSetSession> m_session;
    QString m_sessionFolder;
    bool m_sessionReads = false;
    std::unique_ptr<ReadSnapshot> m_snapshot;
    std::optional<Operators::Login> m_login;
    QString m_loginUser;
    QString m_loginPassword;
};

} // namespace varnock::cli
