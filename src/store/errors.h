#pragma once

#include <QString>

#include <exception>

namespace varnock {

// A business refusal: the system's own message, shown as a message box by the screen that
// asked for the operation. Whatever the operation had written is already rolled back.
struct Refusal : std::exception
{
    enum class Icon { Information, Exclamation, Critical, Question };

    Refusal(QString title_, QString text_, Icon icon_ = Icon::Exclamation)
        : title(std::move(title_))
        , text(std::move(text_))
        , icon(icon_)
    {}
    const char *what() const noexcept override { return "varnock::Refusal"; }

    QString title;
    QString text;
    Icon icon;
};

// An unexpected failure of the database or the file system, carrying the driver's text and,
// where the engine or the file system says so, what it says of the disk.
struct StoreError : std::exception
{
    enum class Cause { Other, DiskFull, WriteProtected, InputOutput, Damaged };

    explicit StoreError(QString text_, Cause cause_ = Cause::Other)
        : text(std::move(text_))
        , cause(cause_)
        , m_utf8(text.toUtf8())
    {}
    const char *what() const noexcept override { return m_utf8.constData(); }

    QString text;
    Cause cause;

private:
    QByteArray m_utf8;
};

} // namespace varnock
