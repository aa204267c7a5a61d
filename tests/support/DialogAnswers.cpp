#include "DialogAnswers.h"

DialogAnswers::DialogAnswers()
{
    DialogHooks::setAlertResponder([this](const AlertRequest &r) {
        m_alerts << r;
        return m_alertAnswers.isEmpty() ? 0 : m_alertAnswers.takeFirst();
    });
    DialogHooks::setFileResponder([this](const FileDialogRequest &r) {
        m_files << r;
        return m_fileAnswers.isEmpty() ? QString() : m_fileAnswers.takeFirst();
    });
}

DialogAnswers::~DialogAnswers()
{
    DialogHooks::setAlertResponder({});
    DialogHooks::setFileResponder({});
}

QStringList DialogAnswers::alertTexts() const
{
    QStringList out;
    for (const AlertRequest &r : m_alerts)
        out << r.text;
    return out;
}
