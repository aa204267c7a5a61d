#include "QuizEntity.h"

#include "GlobalFunctions.h"

QString QuizEntity::dateText() const
{
    if (m_date.userType() == QMetaType::QDateTime)
        return GlobalFunctions::timeStampFromStandardText(GlobalFunctions::standardDateText(m_date.toDateTime()));
    return GlobalFunctions::timeStampFromStandardText(m_date.toString());
}
