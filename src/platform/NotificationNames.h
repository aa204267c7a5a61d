#pragma once

#include <QLatin1String>

// Every notification name the program posts or observes, and the payload keys they carry. The
// texts are fixed: windows of every area meet on them, so a name is spelt here once and nowhere
// else (some carry their historic spelling, "STDUENTFORCELOGIN" among them).
namespace Notify {

// Receiver and roster.
inline constexpr QLatin1String DeviceChanged{"DeviceChanged"};
inline constexpr QLatin1String ClassChanged{"ClassChanged"};
inline constexpr QLatin1String NewClassAdded{"NewClassAdded"};
inline constexpr QLatin1String SubjectChanged{"SubjectChanged"};
inline constexpr QLatin1String TeacherChanged{"TeacherChanged"};

// Run events, posted by the activity objects and the student grid.
inline constexpr QLatin1String StudentLogin{"QUIZSTATESTUDENTLOGIN"};
inline constexpr QLatin1String StudentForceLogin{"STDUENTFORCELOGIN"};
inline constexpr QLatin1String StudentLogout{"STUDENT_LOGOUT"};
inline constexpr QLatin1String StudentAnswer{"STUDENTANSWERMESSAGE"};
inline constexpr QLatin1String StudentHaveQuestion{"STUDENTHAVEQUESTION"};
inline constexpr QLatin1String StudentRush{"RUSHMODE_STUDENTRUSH"};
inline constexpr QLatin1String StudentElimination{"ELIMINATIONMODE_STUDENTELIMINATION"};
inline constexpr QLatin1String StudentQuickGrouping{"STUDENTQUICKGROUPING"};
inline constexpr QLatin1String StudentNextPrevious{"STUDENTNEXTPREMESSAGE"};
inline constexpr QLatin1String HandRaiseDeviceNo{"quizstate_arvel_handraiseDeviceNo"};
inline constexpr QLatin1String LoginViewToNormal{"LOGINVIEW_TONORMAL"};

// Free style.
inline constexpr QLatin1String FreeStyleTeacherQuestion{"FREESTYLE_ADDNEWQUESTION_MESSAGE"};
inline constexpr QLatin1String FreeStyleAddNewQuestion{"message_freestyle_addnewquestion"};
inline constexpr QLatin1String FreeStyleGetQuestion{"message_freestyle_getquestion"};
inline constexpr QLatin1String FreeStyleCutPicture{"message_freestyle_cut_picture"};
inline constexpr QLatin1String ScreenShotCaption{"MESSAGESCREENSHOTCAPTION"};

// Question sending.
inline constexpr QLatin1String SendQuestionReady{"SENDQUESTIONREADY"};
inline constexpr QLatin1String SendQuestionOverSetFocus{"SENDQUEOVER_SETFOCUS"};

// Question pages, canvas and thumbnail strip.
inline constexpr QLatin1String ChangeQuestionContent{"ChangeQuestionContent"};
inline constexpr QLatin1String SmallQuestionCtrl{"SmallQuestionCtrl"};
inline constexpr QLatin1String ChangeQuestionDisplay{"ChangeQuestionDisplay"};
inline constexpr QLatin1String ChangeComboboxOption{"ChangeComboboxOption"};
inline constexpr QLatin1String BigQuestionDeleteKey{"BigQuestionDeleteKey"};
inline constexpr QLatin1String QuestionInfoPostAddTemplate{"QuestionInfoPostAddTemplate"};
inline constexpr QLatin1String CloseQueInfo{"CloseQueInfo"};
inline constexpr QLatin1String BigQuestionBeginDoModal{"BigQuestionBeginDoModal"};
inline constexpr QLatin1String BigQuestionEndDoModal{"BigQuestionEndDoModal"};
inline constexpr QLatin1String GetReadContent{"GetReadContent"};

// Template pages and the presentation tools.
inline constexpr QLatin1String PXAddTemplate{"PXAddTemplate"};
inline constexpr QLatin1String PXAddTemplateOver{"PXAddTemplateOver"};
inline constexpr QLatin1String AddOver{"AddOver"};
inline constexpr QLatin1String PPTTabCtrlAddTemplateOver{"PPTTabCtrlAddTemplateOver"};
inline constexpr QLatin1String PPTEditAddTemplateOver{"PPTEditAddTemplateOver"};
inline constexpr QLatin1String GetSaveState{"GETSAVESTATE"};
inline constexpr QLatin1String ShowHideWindow{"ShowHideWindowMeg"};

// Gradebook.
inline constexpr QLatin1String UpdateGradingPeriod{"Updata Grading Period"};

// Payload keys.
namespace Key {
inline constexpr QLatin1String Index{"index"};
inline constexpr QLatin1String StudentInClass{"STUDENTINCLASS"};
inline constexpr QLatin1String StudentInfo{"studentInfo"};
inline constexpr QLatin1String StudentDevice{"STUDENTDEVICE"};
inline constexpr QLatin1String DeviceNo{"DEVICENO"};
inline constexpr QLatin1String AnsNum{"ANSNUM"};
inline constexpr QLatin1String Type{"TYPE"};
inline constexpr QLatin1String Ans{"ANS"};
inline constexpr QLatin1String AnswerType{"ANSWERTYPE"};
inline constexpr QLatin1String Answer{"ANSWER"};
inline constexpr QLatin1String Sum{"SUM"};
inline constexpr QLatin1String Count{"COUNT"};
inline constexpr QLatin1String QuestionNo{"QUESTIONNO"};
inline constexpr QLatin1String AnswerState{"ANSWERSTATE"};
inline constexpr QLatin1String QueType{"QUETYPE"};
inline constexpr QLatin1String QueAns{"QUEANS"};
inline constexpr QLatin1String OptSum{"OPTSUM"};
inline constexpr QLatin1String OptionSum{"OPTIONSUM"};
inline constexpr QLatin1String AddType{"ADDTYPE"};
inline constexpr QLatin1String QuePoint{"QUEPOINT"};
inline constexpr QLatin1String Image{"image"};
inline constexpr QLatin1String Flag{"flag"};
inline constexpr QLatin1String SelectIndex{"SELECTINDEX"};
inline constexpr QLatin1String SaveState{"SAVESTATE"};
inline constexpr QLatin1String PptState{"PPTSTATE"};
// The page and strip notifications spell their question number in mixed case.
inline constexpr QLatin1String PageQuestionNo{"QuestionNo"};
inline constexpr QLatin1String OptionNum{"OptionNum"};
inline constexpr QLatin1String CtrlType{"CtrlType"};
inline constexpr QLatin1String SelectQuestionObject{"selectQuestionObject"};
inline constexpr QLatin1String ToolTipNo{"tooltipno"};
} // namespace Key

} // namespace Notify
