#include "TovDevice.h"

QString TovDevice::modelNameForType(int type)
{
    switch (type) {
    case 0: return QStringLiteral("TovEnvel");
    case 1: return QStringLiteral("TovArvel");
    case 2: return QStringLiteral("TovCorvel");
    case 3: return QStringLiteral("TovDravel");
    case 4: return QStringLiteral("TovBrevel");
    default: return QString();
    }
}
