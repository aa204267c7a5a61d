#include "SessionFormParts.h"

#include "ui/controls/PollixAlert.h"
#include "ui/controls/TovLabel.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QTableWidget>

QTableWidget *SessionFormParts::table(QWidget *parent, const char *name, const QStringList &headers)
{
    auto *t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 10);
    return t;
}

void SessionFormParts::place(QGridLayout *grid, QWidget *owner, int row, int column, const QString &caption,
                             QWidget *control, int span)
{
    auto *label = new TovLabel(caption, owner);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, column * 2);
    grid->addWidget(control, row, column * 2 + 1, 1, span);
}

int SessionFormParts::alert(QWidget *window, const QString &text, const QStringList &buttons,
                            const QString &informative, const QString &title)
{
    const auto tr = [](const char *s) { return QCoreApplication::translate("SessionFormParts", s); };
    return PollixAlert::show(window, title.isEmpty() ? tr("Pollix") : title, text,
                             buttons.isEmpty() ? QStringList{tr("OK")} : buttons, informative)
           - PollixAlert::AlertFirstButtonReturn;
}

void SessionFormParts::sayWhereSaved(QWidget *window, const QString &path)
{
    const auto tr = [](const char *s) { return QCoreApplication::translate("SessionFormParts", s); };
    alert(window, tr("Saved successfully."), {}, whereSaved(path));
}

QString SessionFormParts::whereSaved(const QString &path)
{
    return QCoreApplication::translate("SessionFormParts", "The session is saved as %1").arg(QDir::toNativeSeparators(path));
}
