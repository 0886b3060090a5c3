#include "cli/shellwords.h"

namespace varnock::cli {

std::optional<QStringList> splitShellWords(const QString &line)
{
    QStringList words;
    QString word;
    bool inWord = false; // also true for an empty quoted word ("")
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = line.indexOf(QLatin1Char('\''), i + 1);
            if (end < 0)
                return std::nullopt;
            word += line.mid(i + 1, end - i - 1);
            inWord = true;
            i = end;
        } else if (c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            for (; j < n && line.at(j) != QLatin1Char('"'); ++j) {
                if (line.at(j) == QLatin1Char('\\') && j + 1 < n &&
                    (line.at(j + 1) == QLatin1Char('"') || line.at(j + 1) == QLatin1Char('\\'))) {
                    ++j;
                }
                word += line.at(j);
            }
            if (j >= n)
                return std::nullopt;
            inWord = true;
            i = j;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < n)
                word += line.at(++i);
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('#') && !inWord) {
            break;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

} // namespace varnock::cli
