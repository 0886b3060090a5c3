#include "shell/backuppieces.h"

#include "shell/backups.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/snapshot.h"
#include "store/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

namespace varnock {
namespace {

const QString Title = QStringLiteral("文件分割机");

// The number of pieces named in the folder: "kvmt-3$db.001" says 3.
int countFromNames(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^kvmt-(\d+)\$db\.\d{3,}$)"));
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return 0;
}

bool pieceThere(const QString &path, bool last, qint64 pieceSize)
{
    const QFileInfo piece(path);
    if (!piece.isFile())
        return false;
    return last ? piece.size() > 0 && piece.size() <= pieceSize : piece.size() == pieceSize;
}

} // namespace

const QString BackupPieces::LabelFileName = QStringLiteral("PS");
const QString BackupPieces::StoppedText = QStringLiteral("操作已取消，数据未被改动。");

QString BackupPieces::overwriteQuestion(const QString &fileName)
{
    return QStringLiteral("文件  ") + fileName + QStringLiteral("  已存在，是否要覆盖？");
}

int BackupPieces::pieceCount(qint64 length, qint64 pieceSize)
{
    return int((length + pieceSize - 1) / pieceSize);
}

QString BackupPieces::pieceName(int count, int number)
{
    return QStringLiteral("kvmt-%1$db.%2")
        .arg(count)
        .arg(QString::number(number).rightJustified(3, QLatin1Char('0')));
}

std::optional<BackupPieces::Label> BackupPieces::readLabel(const QString &folder)
{
    QFile file(QDir(folder).filePath(LabelFileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    Label label;
    bool ok = false;
    label.number = lines.value(0).trimmed().toInt(&ok);
    if (!ok || label.number < 1)
        return std::nullopt;
    label.count = qMax(0, lines.value(1).trimmed().toInt());
    return label;
}

int BackupPieces::split(const QString &source, const QString &folder, const Ask &ask,
                        qint64 pieceSize, const Begin &begin)
{
    if (!QFileInfo(folder).isDir())
        throw Refusal(QStringLiteral("提示"), Backups::InvalidFolderText);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw fileReadError(source, in);
    const int count = pieceCount(in.size(), pieceSize);
    if (begin && !begin(count))
        throw Refusal(Title, StoppedText);
    const QDir medium(folder);
    for (int k = 1; k <= count; ++k) {
        if (k > 1 && !ask(QStringLiteral("请插入第%1 张盘").arg(k)))
            throw Refusal(Title, StoppedText);
        // The medium may have been taken out and not put back yet.
        while (!QFileInfo(folder).isDir()) {
            if (!ask(Backups::MediumMissingText))
                throw Refusal(Title, StoppedText);
        }
        const QString name = pieceName(count, k);
        if (QFileInfo::exists(medium.filePath(name)) && !ask(overwriteQuestion(name)))
            throw Refusal(Title, StoppedText);
        const QByteArray piece = in.read(pieceSize);
        if (piece.isEmpty())
            throw fileReadError(source, in);
        try {
            writeWholeFile(medium.filePath(name), piece);
            writeWholeFile(medium.filePath(LabelFileName),
                           QStringLiteral("%1\n%2\n").arg(k).arg(count).toUtf8());
        } catch (const StoreError &error) {
            throw Backups::copyRefused(Title, error, folder);
        }
    }
    return count;
}

int BackupPieces::splitAccountSet(const Database &accountSet, const QString &folder, const Ask &ask,
                                  qint64 pieceSize, const Begin &begin)
{
    if (!QFileInfo(folder).isDir())
        throw Refusal(QStringLiteral("提示"), Backups::InvalidFolderText);
    // The copy is cut beside the set's own file, on the disk that holds it.
    QTemporaryDir work(QFileInfo(accountSet.filePath()).absolutePath() +
                       QStringLiteral("/split-XXXXXX"));
    if (!work.isValid())
        throw StoreError(QStringLiteral("无法建立临时文件夹：%1").arg(work.errorString()));
    const QString copy = work.filePath(QStringLiteral("kvmt.db"));
    writeSnapshot(accountSet, copy);
    return split(copy, folder, ask, pieceSize, begin);
}

void BackupPieces::join(const QString &folder, const QString &target, const Ask &ask,
                        qint64 pieceSize)
{
    int count = 0;
    while (count == 0) {
        if (const std::optional<Label> label = readLabel(folder))
            count = label->count > 0 ? label->count : countFromNames(folder);
        if (count == 0 && !ask(QStringLiteral("磁盘插入错误,请重新插入备份盘")))
            throw Refusal(Title, StoppedText);
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw fileWriteError(target, out);
    const QDir medium(folder);
    for (int k = 1; k <= count; ++k) {
        const QString path = medium.filePath(pieceName(count, k));
        bool asked = false;
        while (!pieceThere(path, k == count, pieceSize)) {
            const QString text = asked ? QStringLiteral("磁盘插入错误,请插入%1 号磁盘").arg(k)
                                       : QStringLiteral("请插入你已备份好的磁盘,第%1号磁盘").arg(k);
            asked = true;
            if (!ask(text)) {
                out.cancelWriting();
                throw Refusal(Title, StoppedText);
            }
        }
        QFile piece(path);
        QByteArray bytes;
        if (piece.open(QIODevice::ReadOnly))
            bytes = piece.readAll();
        if (piece.error() != QFileDevice::NoError || bytes.size() != piece.size()) {
            out.cancelWriting();
            throw Refusal(
                Title, Backups::DamagedText + QLatin1Char('\n') + fileReadError(path, piece).text,
                Refusal::Icon::Critical);
        }
        if (out.write(bytes) != bytes.size())
            throw fileWriteError(target, out);
    }
    if (!out.commit())
        throw fileWriteError(target, out);
}

} // namespace varnock
