#include "SessionFormParts.h"

#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TovLabel.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
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
                            const QString &informative, const QString &title, PollixAlert::Default byDefault)
{
    const auto tr = [](const char *s) { return QCoreApplication::translate("SessionFormParts", s); };
    return PollixAlert::show(window, title.isEmpty() ? tr("Pollix") : title, text,
                             buttons.isEmpty() ? QStringList{tr("OK")} : buttons, informative, byDefault)
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

QDate SessionFormParts::today()
{
    return GlobalFunctions::currentDateTime().date();
}

QList<StudentEntity> SessionFormParts::studentsOfClass(const QString &name)
{
    TovClassXmlDatabase *store = TovClassXmlDatabase::sharedClassUI();
    const int no = store->classNoByName(name);
    return no < 0 ? QList<StudentEntity>() : store->getStudentListByClassNo(no);
}

MyComboBox *SessionFormParts::comboBox(QWidget *parent, const char *name)
{
    auto *box = new MyComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(10);
    return box;
}

QLineEdit *SessionFormParts::lineEdit(QWidget *parent, const char *name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    return field;
}

QPushButton *SessionFormParts::button(QWidget *parent, const char *name, const QString &title)
{
    auto *b = new QPushButton(title, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QDateEdit *SessionFormParts::datePicker(QWidget *parent, const char *name)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

QTableWidget *SessionFormParts::entryTable(QWidget *parent, const char *name, const QStringList &headers)
{
    QTableWidget *t = table(parent, name, headers);
    t->setColumnWidth(0, 110);
    t->setColumnWidth(1, 200);
    t->setEditTriggers(QAbstractItemView::AllEditTriggers);
    return t;
}

QTableWidgetItem *SessionFormParts::fixedItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

void SessionFormParts::fillBox(MyComboBox *box, const QStringList &items)
{
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(items.isEmpty() ? -1 : 0);
    box->setFit();
}
