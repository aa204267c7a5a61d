#include "SessionFormParts.h"

#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TovLabel.h"

#include <QCoreApplication>
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

QStringList SessionFormParts::classNames()
{
    QStringList names;
    for (const ClassEntity &c : TovClassXmlDatabase::sharedClassUI()->classList())
        names << c.name();
    return names;
}

QStringList SessionFormParts::subjectNames()
{
    QStringList names;
    for (const SubjectEntity &s : TovSubjectXmlDatabase::sharedSubjectUI()->subjectList())
        names << s.name();
    return names;
}

QStringList SessionFormParts::teacherNames()
{
    QStringList names;
    for (const TeacherEntity &t : TovTeacherXmlDatabase::sharedUI()->teacherList())
        names << t.name();
    return names;
}

int SessionFormParts::alert(QWidget *window, const QString &text, const QStringList &buttons,
                            const QString &informative, const QString &title)
{
    const auto tr = [](const char *s) { return QCoreApplication::translate("SessionFormParts", s); };
    return PollixAlert::show(window, title.isEmpty() ? tr("Pollix") : title, text,
                             buttons.isEmpty() ? QStringList{tr("OK")} : buttons, informative)
           - PollixAlert::AlertFirstButtonReturn;
}
