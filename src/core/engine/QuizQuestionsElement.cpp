#include "QuizQuestionsElement.h"

QString QuizQuestionsElement::strOption(int k) const
{
    if (k < 0 || k >= int(m_strOptions.size()))
        return QString();
    return m_strOptions[size_t(k)];
}

void QuizQuestionsElement::setStrOption(int k, const QString &v)
{
    if (k < 0 || k >= int(m_strOptions.size()))
        return;
    m_strOptions[size_t(k)] = v;
}
