#pragma once

#include "core/reports/SelectStudents.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class QuizEntity;

// The report windows the report chooser can open, by report name (the English name, as
// ReportChoice offers it). A report registers its opener once at start-up; a report not
// registered is shown in the chooser but cannot be chosen.
class ReportRegistry
{
public:
    // Opens the report window over parent and runs it modally (DialogHooks::runModal). The
    // student list is the chooser's whole check list; a report works on the ticked rows and may
    // reorder the list.
    using Opener = std::function<void(QWidget *parent, const QuizEntity &quiz, QList<SelectStudents> &studentList)>;

    static void registerReport(const QString &reportName, Opener opener);
    static bool isBuilt(const QString &reportName);
    // False (nothing opened) for a report not registered.
    static bool open(const QString &reportName, QWidget *parent, const QuizEntity &quiz,
                     QList<SelectStudents> &studentList);
    // Registers the reports built so far.
    static void registerBuiltReports();
    // Tests start from an empty registry or their own openers.
    static void clear();
};
