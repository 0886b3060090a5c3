#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace varnock {

// The help pages shipped with the program (HTML in the resources under qrc:/help/) and the
// topic keyword each screen's F1 asks for.
class HelpPages
{
public:
    struct Page
    {
        QString topic; // the keyword a screen passes ("登陆", "操作员设置", …)
        QString file;  // page inside qrc:/help/
    };

    static const QList<Page> &pages();
    static QStringList topics();

    // The page of a topic; the contents page for a topic without one of its own.
    static QUrl topicUrl(const QString &topic);
    static bool hasTopic(const QString &topic);
    static QUrl contentsUrl();
    static QUrl howToUrl();

    // Makes the resources available (the program links its libraries statically).
    static void ensureLoaded();
};

} // namespace varnock
