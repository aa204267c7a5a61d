#pragma once

#include "AuthoringView.h"
#include "MyTextView.h"

#include "BezierPathObject.h"
#include "PenDrawScreen.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>

class QPainter;

// One question of a question set: a white page of boxes and loose pen strokes with the
// question's settings. The editor, the thumbnail strip and the run windows all show pages;
// the pointer and key handlers below take page coordinates (y up) from whichever widget shows
// the page. Pages post "ChangeQuestionContent", "ChangeComboboxOption" and "SmallQuestionCtrl".
class QuestionSetView : public QObject, public AuthoringView
{
    Q_OBJECT
public:
    enum ToolMode { ModeDrawBoxes = 0, ModeSelect = 1, ModePen = 2 };

    explicit QuestionSetView(const QRectF &frame = QRectF(), QObject *parent = nullptr);
    ~QuestionSetView() override;

    // A new page laid out with n options (0 is a true-or-false page of two) on a page area of
    // the given size: the question box, then for each option its letter title and its box.
    static std::shared_ptr<QuestionSetView> createTemplate(int n, const QSizeF &area);

    // Boxes.
    const QList<MyTextViewPtr> &cellArray() const { return m_cellArray; }
    MyTextView *boxWithRole(int role) const;
    MyTextView *getQuestionTitle() const { return boxWithRole(MyTextView::RoleQuestion); }
    MyTextView *getOption(int index) const { return boxWithRole(MyTextView::RoleOptionA + index); } // 0 = A
    MyTextView *getTitle(int index) const { return boxWithRole(MyTextView::RoleTitleA + index); }
    MyTextView *getOptionA() const { return getOption(0); }
    MyTextView *getOptionB() const { return getOption(1); }
    MyTextView *getOptionC() const { return getOption(2); }
    MyTextView *getOptionD() const { return getOption(3); }
    MyTextView *getOptionE() const { return getOption(4); }
    MyTextView *getOptionF() const { return getOption(5); }
    MyTextView *getOptionG() const { return getOption(6); }
    MyTextView *getOptionH() const { return getOption(7); }
    MyTextView *getOptionI() const { return getOption(8); }
    MyTextView *getOptionJ() const { return getOption(9); }
    MyTextView *getTitleA() const { return getTitle(0); }
    MyTextView *getTitleB() const { return getTitle(1); }
    MyTextView *getTitleC() const { return getTitle(2); }
    MyTextView *getTitleD() const { return getTitle(3); }
    MyTextView *getTitleE() const { return getTitle(4); }
    MyTextView *getTitleF() const { return getTitle(5); }
    MyTextView *getTitleG() const { return getTitle(6); }
    MyTextView *getTitleH() const { return getTitle(7); }
    MyTextView *getTitleI() const { return getTitle(8); }
    MyTextView *getTitleJ() const { return getTitle(9); }
    void setOption(int index, const QString &text);
    void setOptionA(const QString &text) { setOption(0, text); }
    void setOptionB(const QString &text) { setOption(1, text); }
    void setOptionC(const QString &text) { setOption(2, text); }
    void setOptionD(const QString &text) { setOption(3, text); }
    void setOptionE(const QString &text) { setOption(4, text); }
    void setOptionF(const QString &text) { setOption(5, text); }
    void setOptionG(const QString &text) { setOption(6, text); }
    void setOptionH(const QString &text) { setOption(7, text); }
    void setOptionI(const QString &text) { setOption(8, text); }
    void setOptionJ(const QString &text) { setOption(9, text); }
    bool haveOptionFrame(int role) const { return boxWithRole(role) != nullptr; }
    int getOptionNum() const;
    int getOptionNumExcludeHide() const;
    // Plain text of the question box and of options A to J ("" for a missing box).
    QString questionText() const;
    QString optionText(int index) const;
    QString correctAnswer() const;

    MyTextView *addNilView(const QRectF &rect);
    void addExistView(const MyTextViewPtr &box);
    MyTextView *addImage(const QImage &image);
    // A captured picture at the page's origin, its own size, editable and in the page's tool
    // mode, with the given box role (a run marks its captures so that they can be hidden).
    MyTextView *addCapturedPicture(const QImage &image, int role = MyTextView::RoleNone);
    void deleteView(const QList<MyTextView *> &boxes);
    void deleteSelectView(const QList<int> &indexes);
    // After reading a file: frames from viewFrame, select mode, body drag.
    void reloadQuestion();
    int indexOfBox(const MyTextView *box) const;

    // Selection.
    const QList<int> &selectedIndexs() const { return m_selectedIndexs; }
    int selIndex() const { return m_selIndex; }
    void setSelection(const QList<int> &indexes, int anchor);
    void selectedView();
    MyTextView *anchorBox() const;
    // The anchor box takes the role; another box of the page holding it falls back to no role,
    // so that a role names one box. False when no box is selected.
    bool giveAnchorRole(int role);

    QList<MyTextViewPtr> hideMTV() const { return m_hideMTV; }
    void setHideMTV(const QList<MyTextViewPtr> &boxes) { m_hideMTV = boxes; }

    // Page state.
    int Flag() const { return m_flag; }
    bool bSel() const { return m_bSel; }
    void setBSel(bool current) { m_bSel = current; }
    bool bCtrl() const { return m_bCtrl; }
    void setBCtrl(bool editable);
    bool bInQuiz() const { return m_bInQuiz; }
    void setInQuiz(bool inQuiz);
    int nQuNo() const { return m_nQuNo; }
    void setNQuNo(int n) { m_nQuNo = n; }
    bool bDelete() const { return m_bDelete; }
    void setBDelete(bool v) { m_bDelete = v; }
    bool bFreeStyle() const { return m_bFreeStyle; }
    void setBFreeStyle(bool v) { m_bFreeStyle = v; }
    int nTime() const { return m_nTime; }
    QRectF rectDrag() const { return m_rectDrag; }
    QRectF viewFrame() const { return m_viewFrame; }
    int nPenSize() const { return m_nPenSize; }
    void setNPenSize(int size);
    QColor colorSet() const { return m_colorSet; }
    void setColorSet(const QColor &color);
    PenDrawScreen *pds() const { return m_pds.get(); }
    BezierPathObject::List bpArray() const { return m_bpArray; }
    void setBpArray(const BezierPathObject::List &strokes) { m_bpArray = strokes; }

    // Question settings.
    int nQuestionActionMode() const { return m_nQuestionActionMode; }
    void setNQuestionActionMode(int v) { m_nQuestionActionMode = v; }
    int nQuestionType() const { return m_nQuestionType; }
    void setNQuestionType(int v) { m_nQuestionType = v; }
    int nQuestionDifficulty() const { return m_nQuestionDifficulty; }
    void setNQuestionDifficulty(int v) { m_nQuestionDifficulty = v; }
    int nQuestionCorrectAnswer() const { return m_nQuestionCorrectAnswer; }
    void setNQuestionCorrectAnswer(int v) { m_nQuestionCorrectAnswer = v; }
    QString strMultipleAnswer() const { return m_strMultipleAnswer; }
    void setStrMultipleAnswer(const QString &v) { m_strMultipleAnswer = v; }
    QString strOtherAnswer() const { return m_strOtherAnswer; }
    void setStrOtherAnswer(const QString &v) { m_strOtherAnswer = v; }
    QString strAnswer() const { return m_strAnswer; }
    void setStrAnswer(const QString &v) { m_strAnswer = v; }
    int nQuestionPoint() const { return m_nQuestionPoint; }
    void setNQuestionPoint(int v) { m_nQuestionPoint = v; }
    int nQuestionTimeLimit() const { return m_nQuestionTimeLimit; }
    void setNQuestionTimeLimit(int v) { m_nQuestionTimeLimit = v; }
    int nQuestionDePoint() const { return m_nQuestionDePoint; }
    void setNQuestionDePoint(int v) { m_nQuestionDePoint = v; }
    int nQuestionRushTimeLimit() const { return m_nQuestionRushTimeLimit; }
    void setNQuestionRushTimeLimit(int v) { m_nQuestionRushTimeLimit = v; }
    int nOptionNum() const { return m_nOptionNum; }
    void setNOptionNum(int v) { m_nOptionNum = v; }
    QString strStandardCode() const { return m_strStandardCode; }
    void setStrStandardCode(const QString &v) { m_strStandardCode = v; }
    QString strStandardTitle() const { return m_strStandardTitle; }
    void setStrStandardTitle(const QString &v) { m_strStandardTitle = v; }

    // The answer and type as the editor writes them: Save (saveAs false) or Save As. A page
    // without an answer becomes a teaching plan unless it is a vote; Save writes a true-or-false
    // answer as "True" or "False", Save As leaves "A" or "B".
    void normaliseAnswerForSave(bool saveAs);
    // The editing form after reading: "True" becomes "A", "False" becomes "B".
    void normaliseAnswerAfterReading();

    // Tool modes.
    void setTextFrame();
    void setCursor();
    void setPen();
    void createBezierPathFrame();
    // Turns the strokes of the pen layer into boxes and stays in pen mode (leaving a page).
    void flushPenStrokes();

    // Pointer and keys (page coordinates).
    void mouseDown(const QPointF &point, int clickCount = 1, bool command = false);
    void mouseDragged(const QPointF &point);
    void mouseUp();
    // key is a Qt::Key; text the typed characters. False for a key the page has no use for (it
    // goes on to the window: Escape, the run's keys).
    bool keyDown(int key, const QString &text, bool command = false);

    void copySelect();
    void pasteSelect();

    void alignLeft();
    void alignRight();
    void alignTop();
    void alignBottom();
    void makeSameHeight();
    void makeSameWidth();
    void makeSameSize();

    // Shows or hides option boxes for the question type on the given keypad model
    // (-1: the application delegate's current model).
    void setOptionHide(int deviceType = -1);
    bool getOptionHide(int role) const;
    void setVisibilityOfSelectView(const QList<int> &indexes, bool visible);

    // Fits the page to the target rectangle: the page takes it less 2 in width and height and
    // every box scales with it; a page already of that size is unchanged.
    void fitToRect(const QRectF &target);

    void draw(QPainter &painter) const;
    // The page at the given scale on white, ready to save as PNG.
    QImage renderImage(double scale = 1.0) const;

    bool isEqualTo(const QuestionSetView &other) const;
    std::shared_ptr<QuestionSetView> copy() const;

    static void addArchiveClasses(KeyedUnarchiver::ClassTable &table);
    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

protected:
    QList<const KeyedArchiveObject *> archivedSubviews() const override;

private:
    void post(const QString &name, const QVariantMap &info = {});
    void postComboboxOption();
    int topBoxAt(const QPointF &point) const;
    void takeBox(const MyTextViewPtr &box);
    void setToolMode(int mode);
    void applyToSelection(const std::function<void(MyTextView &box, const MyTextView &anchor)> &change);

    QList<MyTextViewPtr> m_cellArray;
    QList<int> m_selectedIndexs;
    QList<MyTextViewPtr> m_hideMTV;
    QPointF m_ptDrag;
    int m_flag = ModeSelect;
    QRectF m_rectDrag;
    int m_selIndex = -1;
    bool m_bSel = false;
    bool m_bCtrl = true;
    bool m_bInQuiz = false;
    int m_nQuNo = 1;
    QRectF m_viewFrame;
    int m_nTime = 1;
    quint64 m_pasteGeneration = 0;
    int m_nQuestionActionMode = 0;
    int m_nQuestionType = 0;
    int m_nQuestionDifficulty = 2;
    int m_nQuestionCorrectAnswer = 0;
    QString m_strMultipleAnswer;
    QString m_strOtherAnswer;
    QString m_strAnswer = QStringLiteral("nocorrect");
    int m_nQuestionPoint = 10;
    int m_nQuestionTimeLimit = 30;
    int m_nQuestionDePoint = 10;
    int m_nQuestionRushTimeLimit = 30;
    int m_nOptionNum = 0;
    BezierPathObject::List m_bpArray;
    QColor m_colorSet = Qt::black;
    int m_nPenSize = 2;
    std::unique_ptr<PenDrawScreen> m_pds;
    QString m_strStandardCode;
    QString m_strStandardTitle;
    bool m_bDelete = true;
    bool m_bFreeStyle = false;

    MyTextView *m_pressedBox = nullptr;
    bool m_dragFromEmpty = false;
};

using QuestionSetViewPtr = std::shared_ptr<QuestionSetView>;
