#include "RealFilePanels.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

RealFilePanels::RealFilePanels() : m_putAside(DialogHooks::fileResponder())
{
    DialogHooks::setFileResponder({});
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        // Once it holds the keys, as the teacher begins to type; one step at a time.
        if (!panel || m_busy || !panel->isVisible() || QApplication::activeWindow() != panel)
            return;
        m_busy = panel;
        QTimer::singleShot(0, panel, [this, panel] { work(panel); });
    });
    m_poll.start(5);
}

RealFilePanels::~RealFilePanels()
{
    m_poll.stop();
    DialogHooks::setFileResponder(m_putAside);
}

void RealFilePanels::work(QFileDialog *panel)
{
    const auto done = qScopeGuard([this] { m_busy = nullptr; });
    auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (m_texts.isEmpty() || !name) {
        ++m_cancelled;
        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Escape);
        return;
    }
    const QString text = m_texts.takeFirst();
    name->setFocus(Qt::OtherFocusReason);
    const qsizetype away = text.lastIndexOf(QLatin1Char('/')) + 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == away && i > 0)
            name->clearFocus();
        QTest::keyClick(name, text.at(i).toLatin1());
    }
    name->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(name, Qt::Key_Return);
    if (panel->isVisible())
        m_leftUp << LeftUp{panel->directory().absolutePath(), name->text()};
}
