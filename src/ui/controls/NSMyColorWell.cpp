#include "NSMyColorWell.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>

namespace {
QPointer<NSMyColorWell> s_activeWell;
} // namespace

QColorDialog *NSMyColorWell::sharedColorPanel()
{
    static QPointer<QColorDialog> panel;
    if (!panel) {
        panel = new QColorDialog;
        panel->setObjectName(QStringLiteral("sharedColorPanel"));
        panel->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
        panel->setWindowTitle(QObject::tr("Colors"));
        // Lives as long as the application object.
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, panel.data(), &QObject::deleteLater);
    }
    return panel;
}

NSMyColorWell::NSMyColorWell(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
    QColorDialog *panel = sharedColorPanel();
    connect(panel, &QColorDialog::currentColorChanged, this, &NSMyColorWell::changeColorWhenActive);
    connect(panel, &QDialog::finished, this, &NSMyColorWell::colorPanelWillClose);
}

void NSMyColorWell::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void NSMyColorWell::deactivate()
{
    m_active = false;
    update();
}

void NSMyColorWell::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractButton::mousePressEvent(event);
        return;
    }
    PollixLog(QStringLiteral("xxxxx"));
    NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionBeginDoModal, {}, this);
    // One well follows the panel at a time: the one the teacher opened it from.
    QColorDialog *panel = sharedColorPanel();
    if (s_activeWell && s_activeWell != this)
        s_activeWell->deactivate();
    s_activeWell = this;
    m_active = true;
    update();
    panel->blockSignals(true);
    panel->setCurrentColor(m_color);
    panel->blockSignals(false);
    panel->show();
    panel->raise();
    panel->activateWindow();
    event->accept();
}

void NSMyColorWell::changeColorWhenActive(const QColor &color)
{
    // Other wells on the window (pen and fill, say) keep their colours.
    if (!m_active)
        return;
    setColor(color);
    emit colorChanged(color);
}

void NSMyColorWell::colorPanelWillClose()
{
    if (!m_active)
        return;
    deactivate();
    NotificationCenter::defaultCenter()->postNotification(Notify::BigQuestionEndDoModal, {}, this);
}

void NSMyColorWell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= m_active ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
    const QRect swatch = rect().adjusted(6, 5, -6, -5);
    // A well that takes no colour now shows its colour faded, like the disabled controls beside it.
    QColor shown = m_color;
    if (!isEnabled())
        shown.setAlphaF(shown.alphaF() * 0.3);
    p.fillRect(swatch, palette().color(QPalette::Button));
    p.fillRect(swatch, shown);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
}
