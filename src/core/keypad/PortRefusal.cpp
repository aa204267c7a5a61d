#include "PortRefusal.h"

bool PortRefusal::isTold(SerialPort::OpenError error)
{
    return error == SerialPort::OpenError::InUse || error == SerialPort::OpenError::NoPermission;
}

QString PortRefusal::alertTitle()
{
    return QStringLiteral("Pollix ARS");
}

QString PortRefusal::alertText(const QString &path, SerialPort::OpenError error)
{
    if (error == SerialPort::OpenError::InUse) {
        return QStringLiteral("The receiver on %1 is in use by another program. Close that program, then plug the "
                              "receiver in again.")
            .arg(path);
    }
    const QString group = SerialPort::accessGroup(path);
    // The command on a line of its own, to be typed or copied as it stands.
    return QStringLiteral("Pollix may not open the receiver on %1: this account is not allowed to use the port.\n\n"
                          "To get access, add the account to the group \"%2\" with the command below, then log out "
                          "and log in again:\n\nsudo usermod -aG %2 $USER")
        .arg(path, group);
}
