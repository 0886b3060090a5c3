#include "shell/displaysettings.h"

#include "store/errors.h"

#include <QFile>
#include <QSaveFile>

namespace varnock {
namespace {

QString firstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

// Written through a temporary file, so a failed write never leaves half a setting behind.
void writeLine(const QString &path, const QString &line)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        throw StoreError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    }
    file.write(line.toUtf8() + '\n');
    if (!file.commit())
        throw StoreError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
}

} // namespace

DisplaySettings::DisplaySettings(const DataFolder &folder)
    : m_folder(folder)
{}

Formats DisplaySettings::readFormats() const
{
    QString quantity = firstLine(m_folder.quantityFormatFile());
    QString amount = firstLine(m_folder.amountFormatFile());
    if (quantity.isEmpty())
        quantity = Formats::DefaultFormat;
    if (amount.isEmpty())
        amount = Formats::DefaultFormat;
    return Formats(quantity, amount);
}

void DisplaySettings::writeFormats(const Formats &formats) const
{
    writeLine(m_folder.quantityFormatFile(), formats.quantityFormat());
    writeLine(m_folder.amountFormatFile(), formats.amountFormat());
}

void DisplaySettings::writeModeName(int mode) const
{
    writeLine(m_folder.modeFile(), modeName(mode));
}

QString DisplaySettings::modeName(int mode)
{
    return mode == 1 ? QStringLiteral("先进先出") : QStringLiteral("移动加权");
}

} // namespace varnock
