#pragma once

#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"

#include "core/authoring/ExamPaperInfo.h"
#include "core/keypad/DeviceController.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "ui/controls/DialogHooks.h"

#include <QAction>
#include <QPointer>

// An editor window on a fresh application folder, its alerts and file dialogs answered from
// the queue of `answers`, with the keypad model set as a receiver of that model would set it.
class EditorFixture : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        setModel(3);
        editor = new QuestionsSettingWindowController;
    }
    void TearDown() override
    {
        if (editor) {
            editor->setAttribute(Qt::WA_DeleteOnClose, false);
            delete editor.data();
        }
        DialogHooks::setModalResponder({});
        setModel(-1);
        PollixTest::TearDown();
    }
    static void setModel(int deviceType) { DeviceController::ShareDeviceController()->setCurDeviceType(deviceType); }

    Questions *canvas() const { return editor->bigQuestions; }
    const QList<QuestionSetViewPtr> &pages() const { return canvas()->questions(); }
    QuestionSetView *page(int n) const { return pages()[n - 1].get(); }
    // A page from the template chooser, as a double-click there adds it.
    void addTemplate(int index) { editor->AddTemplate(index); }

    // A question file written directly, n four-option pages "Q1".. of the given type.
    QString fileOf(int n, int type = 0, const QString &name = QStringLiteral("set.px"))
    {
        ExamPaperInfo set;
        QList<QuestionSetViewPtr> list;
        for (int i = 1; i <= n; ++i) {
            auto p = QuestionSetView::createTemplate(4, QSizeF(800, 600));
            p->getQuestionTitle()->textview()->setString(QStringLiteral("Q%1").arg(i));
            p->setNQuestionType(type);
            p->setStrAnswer(QStringLiteral("B"));
            list << p;
        }
        set.setArrayQuestionsInfo(list);
        set.setNExamPaperID(7);
        set.setStrExamPaperTitle(QStringLiteral("Unit 1"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }
    static ExamPaperInfoPtr read(const QString &path) { return ExamPaperInfo::loadQuestionFile(path); }

    DialogAnswers answers;
    QPointer<QuestionsSettingWindowController> editor;
};
