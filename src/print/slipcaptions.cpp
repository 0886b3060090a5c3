#include "print/slipcaptions.h"

#include "store/wholefile.h"

#include <QFile>

namespace varnock {

const QStringList SlipCaptions::DefaultReceipt = {
    QStringLiteral("主    管"), QStringLiteral("材料会计"), QStringLiteral("验 收 员"),
    QStringLiteral("审    核"), QStringLiteral("保 管 员")};
const QStringList SlipCaptions::DefaultIssue = {
    QStringLiteral("主    管"), QStringLiteral("材料会计"), QStringLiteral("领 料 人"),
    QStringLiteral("审    核"), QStringLiteral("保 管 员")};

SlipCaptions::SlipCaptions()
    : m_receipt(DefaultReceipt)
    , m_issue(DefaultIssue)
{}

SlipCaptions::SlipCaptions(const QStringList &receipt, const QStringList &issue)
    : SlipCaptions()
{
    // One line each in the file: a line break inside a caption would shift every caption
    // after it.
    const auto oneLine = [](QString caption) {
        return caption.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    };
    for (int i = 0; i < int(DefaultReceipt.size()); ++i) {
        if (!receipt.value(i).trimmed().isEmpty())
            m_receipt[i] = oneLine(receipt.at(i));
        if (!issue.value(i).trimmed().isEmpty())
            m_issue[i] = oneLine(issue.at(i));
    }
}

void SlipCaptions::write(const DataFolder &folder) const
{
    writeWholeFile(folder.slipCaptionsFile(),
                   (QStringList(m_receipt) << m_issue).join(QLatin1Char('\n')).toUtf8() + '\n');
}

SlipCaptions SlipCaptions::read(const DataFolder &folder)
{
    SlipCaptions captions;
    QFile file(folder.slipCaptionsFile());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return captions;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const int count = int(DefaultReceipt.size());
    for (int i = 0; i < qMin(int(lines.size()), 2 * count); ++i) {
        const QString caption = lines.at(i);
        if (caption.trimmed().isEmpty())
            continue;
        // Blanks inside a caption space it out on the slip ("主    管"); only the line end goes.
        QString kept = caption;
        while (kept.endsWith(QLatin1Char('\r')))
            kept.chop(1);
        (i < count ? captions.m_receipt[i] : captions.m_issue[i - count]) = kept;
    }
    return captions;
}

} // namespace varnock
