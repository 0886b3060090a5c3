#pragma once

#include "widgets/messages.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace varnock::test {

// Replaces the message boxes while it lives: records what would have been shown and answers
// the questions from a queue (Yes once the queue is empty, unless told otherwise).
class RecordingSink : public Messages::Sink
{
public:
    struct Message
    {
        Messages::Icon icon;
        QString title;
        QString text;
    };

    RecordingSink() { Messages::setSink(this); }
    ~RecordingSink() override { Messages::setSink(nullptr); }
    RecordingSink(const RecordingSink &) = delete;
    RecordingSink &operator=(const RecordingSink &) = delete;

    void show(QWidget *, Messages::Icon icon, const QString &title, const QString &text) override
    {
        shown.push_back({icon, title, text});
    }

    bool ask(QWidget *, Messages::Icon icon, const QString &title, const QString &text) override
    {
        questions.push_back({icon, title, text});
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Queues the answers of the next questions, in order (true = Yes).
    void answer(std::initializer_list<bool> next) { answers.insert(answers.end(), next); }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (const Message &m : shown)
            texts << m.text;
        return texts;
    }
    QStringList questionTexts() const
    {
        QStringList texts;
        for (const Message &m : questions)
            texts << m.text;
        return texts;
    }
    // Text of the last message shown, empty when none was.
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }

    void clear()
    {
        shown.clear();
        questions.clear();
        answers.clear();
    }

    std::vector<Message> shown;
    std::vector<Message> questions;
    std::deque<bool> answers;
    bool defaultAnswer = true;
};

} // namespace varnock::test
