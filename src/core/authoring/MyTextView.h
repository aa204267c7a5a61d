#pragma once

#include "AuthoringView.h"
#include "BaseTextView.h"

#include "BezierPathObject.h"

#include <QImage>
#include <QString>

#include <memory>

class QPainter;

// One box of a question page: a movable, resizable rectangle with a rich-text field, optionally
// a picture and pen strokes, and a role number (question, option A to J, an option's letter
// title, a screen capture). All points are page coordinates, y growing upwards.
class MyTextView : public AuthoringView
{
public:
    enum Role { RoleNone = 0, RoleQuestion = 1, RoleOptionA = 2, RoleOptionJ = 11, RoleTitleA = 12,
                RoleTitleJ = 21, RoleCapture = 22 };
    enum DragType { DragLeftTop = 0, DragCenterTop, DragRightTop, DragLeftCenter, DragRightCenter,
                    DragLeftBottom, DragCenterBottom, DragRightBottom, DragBody = 8 };

    MyTextView();
    explicit MyTextView(const QRectF &rect);

    static QString toolTipForRole(int role);

    QString strText() const { return m_strText; }
    void setStrText(const QString &text) { m_strText = text; }
    BaseTextView *textview() const { return m_textview.get(); }

    int toolTipNo() const { return m_toolTipNo; }
    // Role and tooltip together.
    void setToolTipNo(int role);
    QString toolTip() const { return m_toolTip; }
    void setViewToolTip(const QString &text) { m_toolTip = text; }

    QImage ig() const { return m_ig; }
    void setIg(const QImage &image);
    bool igFlag() const { return m_igFlag; }

    bool bSel() const { return m_bSel; }
    void setBSel(bool selected);
    bool bLastSel() const { return m_bLastSel; }
    void setBLastSel(bool anchor) { m_bLastSel = anchor; }
    bool bCtrl() const { return m_bCtrl; }
    void setBCtrl(bool ctrl) { m_bCtrl = ctrl; }
    bool bHaveFrame() const { return m_bHaveFrame; }
    void setBHaveFrame(bool border) { m_bHaveFrame = border; }
    int nPenSize() const { return m_nPenSize; }
    void setNPenSize(int size) { m_nPenSize = size; }
    int nCursorType() const { return m_nCursorType; }
    int dragType() const { return m_dragType; }
    void setDragType(int type) { m_dragType = type; }
    QRectF viewFrame() const { return m_viewFrame; }
    void setViewFrame(const QRectF &frame) { m_viewFrame = frame; }
    QPointF ptPeg() const { return m_ptPeg; }
    bool bFirstClick() const { return m_bFirstClick; }

    BezierPathObject::List bpArray() const { return m_bpArray; }
    void setBpArray(const BezierPathObject::List &strokes) { m_bpArray = strokes; }

    // Tool modes 0, 1 and 2; each also ends text editing.
    void setTextFrame();
    void setCursorCtrl();
    void setPen();
    bool isEditing() const { return m_textview->bCtrl(); }
    // Puts the text field into editing (a double press does this).
    void beginEditing();

    void setFrame(const QRectF &frame) override;

    // Geometry, in the box's own coordinates.
    static QRectF getTextRect(const QRectF &rect);
    static QRectF getResizeFrameRect(const QRectF &rect);
    QRectF handleRect(int dragType) const;
    QRectF getLeftTopRect() const { return handleRect(DragLeftTop); }
    QRectF getCenterTopRect() const { return handleRect(DragCenterTop); }
    QRectF getRightTopRect() const { return handleRect(DragRightTop); }
    QRectF getLeftCenterRect() const { return handleRect(DragLeftCenter); }
    QRectF getRightCenterRect() const { return handleRect(DragRightCenter); }
    QRectF getLeftBottomRect() const { return handleRect(DragLeftBottom); }
    QRectF getCenterBottomRect() const { return handleRect(DragCenterBottom); }
    QRectF getRightBottomRect() const { return handleRect(DragRightBottom); }

    // Pointer handling; each answers whether the event goes on to the page.
    bool mouseDown(const QPointF &pagePoint, int clickCount);
    bool mouseDragged(const QPointF &pagePoint);
    bool mouseUp();

    // Draws the box onto a page of the given height (QPainter's y axis points down).
    void draw(QPainter &painter, double pageHeight) const;

    bool isEqualTo(const MyTextView &other) const;
    std::shared_ptr<MyTextView> copy() const;


    static void addArchiveClasses(KeyedUnarchiver::ClassTable &table);
    QStringList archiveClassNames() const override;
    void encodeWithCoder(KeyedArchiver &coder) const override;
    void initWithCoder(KeyedUnarchiver &coder) override;

protected:
    QList<const KeyedArchiveObject *> archivedSubviews() const override { return {m_textview.get()}; }

private:
    void setToolMode(int mode);
    void layoutTextField();

    QString m_strText;
    std::shared_ptr<BaseTextView> m_textview;
    QPointF m_ptDrag;
    QPointF m_ptPeg;
    bool m_bSel = false;
    bool m_bLastSel = false;
    QRectF m_viewFrame;
    int m_toolTipNo = 0;
    QString m_toolTip;
    int m_dragType = DragBody;
    QImage m_ig;
    // The picture as PNG, made on the first save (or read from the file) and kept until the
    // picture changes: saving a set of many pictures does not compress them all again.
    mutable QByteArray m_igPng;
    bool m_igFlag = false;
    bool m_bCtrl = true;
    int m_nCursorType = 1;
    BezierPathObject::List m_bpArray;
    bool m_bHaveFrame = true;
    int m_nPenSize = 2;
    bool m_bFirstClick = true;
};

using MyTextViewPtr = std::shared_ptr<MyTextView>;
