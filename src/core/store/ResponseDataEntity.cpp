#include "ResponseDataEntity.h"

#include "GlobalFunctions.h"

int sortResponseByQNo(const ResponseDataEntity &a, const ResponseDataEntity &b, const QVariantMap &)
{
    const int qa = GlobalFunctions::intValue(a.questionID());
    const int qb = GlobalFunctions::intValue(b.questionID());
    return qa < qb ? -1 : (qa > qb ? 1 : 0);
}
