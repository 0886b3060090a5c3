#include "cli/context.h"

#include "shell/accountsetsession.h"
#include "shell/masterdatabase.h"
#include "shell/navigationrules.h"
#include "shell/operationlog.h"
#include "store/database.h"
#include "store/errors.h"

#include <QDir>

namespace varnock::cli {
namespace {

QString fromOptionOrEnvironment(const std::optional<QString> &option, const char *variable,
                                const QString &optionName)
{
    if (option)
        return *option;
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable);
    throw UsageError{
        QStringLiteral("missing --%1 (or %2)").arg(optionName, QLatin1String(variable))};
}

} // namespace

Context::Context(QTextStream &out_, QTextStream &err_, QTextStream *in_)
    : out(out_)
    , err(err_)
    , in(in_)
{}

Context::~Context()
{
    closeAll();
}

DataFolder Context::folder() const
{
    return DataFolder::resolve(globals.dataDir.value_or(QString()));
}

Database &Context::master()
{
    // A batch names the same folder on every line: resolved once while it stays the same.
    if (m_master && m_masterGiven == globals.dataDir)
        return *m_master;
    const DataFolder f = folder();
    const QString path = QDir::cleanPath(QDir(f.path()).absolutePath());
    if (!m_master || m_masterFolder != path) {
        if (atomicBatch)
            throw UsageError{QStringLiteral("batch --atomic: every line works in the batch's "
                                            "data folder")};
        closeAll();
        m_master = MasterDatabase::ensure(f);
        m_masterFolder = path;
    }
    m_masterGiven = globals.dataDir;
    return *m_master;
}

qint64 Context::setNumber()
{
    if (globals.set) {
        bool ok = false;
        const qint64 n = globals.set->trimmed().toLongLong(&ok);
        if (!ok)
            throw UsageError{
                QStringLiteral("--set: not an account-set number: %1").arg(*globals.set)};
        return n;
    }
    if (createdSet)
        return *createdSet;
    const QList<AccountSetInfo> sets = AccountSets(master(), folder()).list();
    if (sets.size() == 1)
        return sets.first().number;
    throw UsageError{
        QStringLiteral("missing --set (the data folder holds %1 account sets)").arg(sets.size())};
}

AccountSetSession &Context::accountSet()
{
    Database &m = master();
    const qint64 number = setNumber();
    // A set opened to read is opened again, locked, for a command that writes.
    if (m_session && (m_session->number() != number || m_sessionFolder != m_masterFolder ||
                      (m_sessionReads && !readsOnly))) {
        if (atomicBatch)
            throw UsageError{QStringLiteral("batch --atomic: every line works in account set %1")
                                 .arg(m_session->number())};
        closeAccountSet();
    }
    if (!m_session) {
        m_session = std::make_unique<AccountSetSession>(
            folder(), m, number,
            readsOnly ? AccountSetSession::Access::Read : AccountSetSession::Access::Work);
        m_sessionFolder = m_masterFolder;
        m_sessionReads = readsOnly;
    }
    if (m_sessionReads && !m_snapshot)
        m_snapshot = std::make_unique<ReadSnapshot>(m_session->database());
    return *m_session;
}

void Context::finishCommand()
{
    m_snapshot.reset();
}

const Operators::Login &Context::login()
{
    AccountSetSession &session = accountSet();
    const QString user =
        fromOptionOrEnvironment(globals.user, "VARNOCK_USER", QStringLiteral("user"));
    const QString password =
        fromOptionOrEnvironment(globals.password, "VARNOCK_PASSWORD", QStringLiteral("password"));
    if (!m_login || m_loginUser != user || m_loginPassword != password) {
        m_login.reset();
        m_login = Operators(session.database()).login(user, password);
        m_loginUser = user;
        m_loginPassword = password;
    }
    return *m_login;
}

void Context::forgetLogin()
{
    m_login.reset();
}

const CommandMap::Command &Context::authorize(const QString &menuCommand)
{
    const CommandMap::Command *command = CommandMap::find(menuCommand);
    if (!command)
        throw StoreError(QStringLiteral("unknown menu command %1").arg(menuCommand));
    const Operators::Login &who = login();
    if (!CommandMap::permitted(*command, who.permissions, accountSet().hasClosing())) {
        const QString text = command->rule == CommandMap::Rule::OpeningBalance
                                 ? NavigationRules::closedText()
                                 : NavigationRules::deniedText();
        throw Refusal(QStringLiteral("提示"), text);
    }
    return *command;
}

void Context::perform(const QString &menuCommand, const std::function<void()> &operation)
{
    const CommandMap::Command &command = authorize(menuCommand);
    Database &db = accountSet().database();
    Transaction tx(db);
    if (command.writesLog())
        OperationLog(db).record(QString::number(login().number), command.logText);
    operation();
    tx.commit();
}

void Context::closeAccountSet()
{
    m_snapshot.reset();
    m_login.reset();
    m_session.reset();
    m_sessionFolder.clear();
}

void Context::closeAll()
{
    closeAccountSet();
    m_master.reset();
    m_masterFolder.clear();
}

} // namespace varnock::cli
