#include "shell/displaysettings.h"

#include "store/wholefile.h"

#include <QFile>

namespace varnock {
namespace {

QString firstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
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
    writeWholeFile(m_folder.quantityFormatFile(), formats.quantityFormat().toUtf8() + '\n');
    writeWholeFile(m_folder.amountFormatFile(), formats.amountFormat().toUtf8() + '\n');
}

void DisplaySettings::writeModeName(int mode) const
{
    writeWholeFile(m_folder.modeFile(), modeName(mode).toUtf8() + '\n');
}

QString DisplaySettings::modeName(int mode)
{
    return mode == 1 ? QStringLiteral("先进先出") : QStringLiteral("移动加权");
}

} // namespace varnock
