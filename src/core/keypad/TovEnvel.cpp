#include "TovEnvel.h"

bool TovEnvel::detectDevice(const QString &path)
{
    return detectAs(path, ProbeAnswer::Infrared, 0);
}
