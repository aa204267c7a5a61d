#include "MyTextView.h"

#include "platform/ArchivedBezierPath.h"
#include "platform/ArchivedImage.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <QPainter>

#include <cmath>

namespace {
const QColor kKnobColor(0x80, 0x80, 0x80);
}

MyTextView::MyTextView() : MyTextView(QRectF()) {}

MyTextView::MyTextView(const QRectF &rect)
{
    AuthoringView::setFrame(rect);
    setBoundsOrigin(rect.topLeft());
    m_toolTip = toolTipForRole(0);
    m_textview = std::make_shared<BaseTextView>(getTextRect(bounds()));
    m_textview->setArchivedSuperview(this);
}

QString MyTextView::toolTipForRole(int role)
{
    if (role == RoleQuestion)
        return QStringLiteral("Question");
    if (role >= RoleOptionA && role <= RoleOptionJ)
        return QStringLiteral("Option") + QChar(u'A' + (role - RoleOptionA));
    if (role >= RoleTitleA && role <= RoleTitleJ)
        return QStringLiteral("Title") + QChar(u'A' + (role - RoleTitleA));
    if (role == RoleCapture)
        return QStringLiteral("Caputre");
    return QStringLiteral("No Set");
}

void MyTextView::setToolTipNo(int role)
{
    m_toolTipNo = role;
    m_toolTip = toolTipForRole(role);
}

void MyTextView::setIg(const QImage &image)
{
    m_ig = image;
    m_igPng.clear();
    if (!image.isNull())
        m_igFlag = true;
}

void MyTextView::setBSel(bool selected)
{
    m_bSel = selected;
    if (!selected)
        m_textview->setBCtrl(false);
}

void MyTextView::setToolMode(int mode)
{
    m_nCursorType = mode;
    m_textview->setBCtrl(false);
}

void MyTextView::setTextFrame() { setToolMode(0); }
void MyTextView::setCursorCtrl() { setToolMode(1); }
void MyTextView::setPen() { setToolMode(2); }

void MyTextView::beginEditing()
{
    layoutTextField();
    m_textview->setBCtrl(true);
}

void MyTextView::setFrame(const QRectF &frame)
{
    AuthoringView::setFrame(frame);
    layoutTextField();
}

void MyTextView::layoutTextField()
{
    if (m_textview)
        m_textview->setFrame(getTextRect(bounds()));
}

QRectF MyTextView::getTextRect(const QRectF &rect)
{
    return QRectF(rect.x() + 4, rect.y() + 4, rect.width() - 8, rect.height() - 8);
}

QRectF MyTextView::getResizeFrameRect(const QRectF &rect)
{
    return getTextRect(rect);
}

QRectF MyTextView::handleRect(int dragType) const
{
    const QRectF r = getResizeFrameRect(bounds());
    const double xs[3] = {r.left(), r.center().x(), r.right()};
    const double ys[3] = {r.bottom(), r.center().y(), r.top()}; // top is the larger y
    static const int col[8] = {0, 1, 2, 0, 2, 0, 1, 2};
    static const int row[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    if (dragType < 0 || dragType > 7)
        return QRectF();
    // QRectF::bottom() is y + height, the larger y: the page's top.
    return QRectF(std::trunc(xs[col[dragType]] - 4), std::trunc(ys[row[dragType]] - 4), 8, 8);
}

bool MyTextView::mouseDown(const QPointF &pagePoint, int clickCount)
{
    if (!m_bCtrl || m_nCursorType == 0 || m_nCursorType == 2)
        return true;
    if (clickCount > 1) {
        beginEditing();
        return false;
    }
    m_ptDrag = pagePoint;
    const QPointF p = fromHolder(pagePoint);
    if (!getTextRect(bounds()).contains(p)) {
        for (int h = 0; h < 8; ++h) {
            if (!handleRect(h).contains(p))
                continue;
            m_dragType = h;
            const QRectF f = frame();
            const double px[3] = {f.left(), f.center().x(), f.right()};
            const double py[3] = {f.top(), f.center().y(), f.bottom()}; // min y, mid, max y
            static const int pegX[8] = {2, 1, 0, 2, 0, 2, 1, 0};
            static const int pegY[8] = {0, 0, 0, 1, 1, 2, 2, 2};
            m_ptPeg = QPointF(px[pegX[h]], py[pegY[h]]);
            return false;
        }
    }
    m_dragType = DragBody;
    m_bSel = true;
    return true;
}

bool MyTextView::mouseDragged(const QPointF &pagePoint)
{
    if (!m_bCtrl)
        return false;
    if (m_nCursorType == 0 || m_nCursorType == 2)
        return true;
    if (m_dragType == DragBody)
        return !isEditing();
    const double dx = std::trunc(pagePoint.x() - m_ptPeg.x());
    const double dy = std::trunc(pagePoint.y() - m_ptPeg.y());
    QRectF f = frame();
    const double cornerX = dx < 0 ? m_ptPeg.x() - std::fabs(dx) : m_ptPeg.x();
    const double cornerY = dy < 0 ? m_ptPeg.y() + dy : m_ptPeg.y();
    switch (m_dragType) {
    case DragLeftTop:
    case DragRightTop:
    case DragLeftBottom:
    case DragRightBottom:
        f = QRectF(cornerX, cornerY, std::fabs(dx), std::fabs(dy));
        break;
    case DragCenterTop:
    case DragCenterBottom:
        f = QRectF(f.x(), cornerY, f.width(), std::fabs(dy));
        break;
    default: // left and right middle
        f = QRectF(cornerX, f.y(), std::fabs(dx), f.height());
        break;
    }
    setFrame(f);
    return false;
}

bool MyTextView::mouseUp()
{
    if (!m_bCtrl)
        return false;
    if (m_nCursorType == 0 || m_nCursorType == 2)
        return true;
    m_dragType = DragBody;
    return false;
}

void MyTextView::draw(QPainter &painter, double pageHeight) const
{
    if (isHidden())
        return;
    painter.save();
    // Strokes in the box's own coordinates, y up.
    painter.save();
    painter.translate(0, pageHeight);
    painter.scale(1, -1);
    painter.translate(frame().topLeft() - bounds().topLeft());
    painter.setClipRect(bounds());
    for (const auto &stroke : m_bpArray)
        stroke->draw(painter);
    painter.restore();

    const double lineWidth = m_bCtrl ? 1 : 3;
    const QRectF pageText = getTextRect(frame());
    if (m_igFlag && !m_ig.isNull())
        painter.drawImage(flipped(pageText, pageHeight), m_ig);

    const QRectF outline = flipped(frame(), pageHeight);
    if (m_bSel) {
        const QColor c = m_bLastSel ? QColor(Qt::blue) : kKnobColor;
        for (int h = 0; h < 8; ++h) {
            const QRectF hr = flipped(QRectF(toHolder(handleRect(h).topLeft()), QSizeF(8, 8)), pageHeight);
            painter.fillRect(hr.toAlignedRect(), c);
        }
        painter.setPen(QPen(c, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline.adjusted(3, 3, -3, -3));
    } else if (m_bHaveFrame) {
        painter.setPen(QPen(Qt::black, lineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline);
    }
    // While the field is being edited the editor's own text widget shows the text.
    if (!isEditing())
        m_textview->drawText(painter, flipped(pageText, pageHeight));
    painter.restore();
}

bool MyTextView::isEqualTo(const MyTextView &other) const
{
    // Everything the file keeps of a box is compared (pictures, roles, strokes, the hidden state
    // and the border too): an edit of any of them is an unsaved change.
    return frame() == other.frame() && m_textview->hasEqualText(*other.m_textview)
           && m_toolTipNo == other.m_toolTipNo && m_igFlag == other.m_igFlag && m_ig == other.m_ig
           && isHidden() == other.isHidden() && m_bHaveFrame == other.m_bHaveFrame
           && BezierPathObject::listsEqual(m_bpArray, other.m_bpArray);
}

std::shared_ptr<MyTextView> MyTextView::copy() const
{
    auto c = std::make_shared<MyTextView>(frame());
    c->copyViewFrom(*this);
    c->m_strText = m_strText;
    c->m_ig = m_ig;
    c->m_igPng = m_igPng;
    c->m_igFlag = m_igFlag;
    c->m_textview = m_textview->copy();
    c->m_textview->setArchivedSuperview(c.get());
    c->setToolTipNo(m_toolTipNo);
    c->m_bpArray = BezierPathObject::copyList(m_bpArray);
    c->m_bHaveFrame = m_bHaveFrame;
    c->m_nPenSize = m_nPenSize;
    c->m_nCursorType = m_nCursorType;
    c->m_viewFrame = m_viewFrame;
    return c;
}

void MyTextView::addArchiveClasses(KeyedUnarchiver::ClassTable &table)
{
    table.insert(QStringLiteral("MyTextView"), [] { return std::make_shared<MyTextView>(); });
    table.insert(QStringLiteral("NSImage"), [] { return std::make_shared<ArchivedImage>(); });
    table.insert(QStringLiteral("BezierPathObject"), [] { return std::make_shared<BezierPathObject>(); });
    table.insert(QStringLiteral("NSBezierPath"), [] { return std::make_shared<ArchivedBezierPath>(); });
    BaseTextView::addArchiveClasses(table);
}

QStringList MyTextView::archiveClassNames() const
{
    return {QStringLiteral("MyTextView"), QStringLiteral("NSView"), QStringLiteral("NSResponder"),
            QStringLiteral("NSObject")};
}

void MyTextView::encodeWithCoder(KeyedArchiver &coder) const
{
    encodeView(coder);
    coder.encodeString(m_strText);
    coder.encodeRect(frame());
    coder.encodeInt(m_toolTipNo);
    if (m_igFlag && !m_ig.isNull()) {
        if (m_igPng.isEmpty())
            m_igPng = ArchivedImage::pngBytes(m_ig);
        coder.encodeValueObject(ArchivedImage(m_ig, m_igPng));
    }
    else
        coder.encodeNil();
    coder.encodeObject(m_textview.get());
    coder.encodeObjectArray(KeyedArchiver::objects(m_bpArray));
    coder.encodeInt(m_bHaveFrame ? 1 : 0);
}

void MyTextView::initWithCoder(KeyedUnarchiver &coder)
{
    decodeView(coder);
    const QString text = coder.decodeString();
    const QRectF rect = coder.decodeRect();
    const qint64 role = coder.decodeInt();
    auto image = coder.decodeObjectOfClass<ArchivedImage>();
    auto field = coder.decodeObjectOfClass<BaseTextView>(false);
    const auto strokes = coder.decodeArrayOfClass<BezierPathObject>();
    const qint64 border = coder.decodeInt();
    if (coder.failed())
        return;
    if (role < 0 || role > RoleCapture || rect.width() < 0 || rect.height() < 0) {
        coder.fail(QStringLiteral("box out of range"));
        return;
    }
    m_strText = text.isNull() ? QString() : text;
    m_viewFrame = rect;
    m_toolTipNo = int(role); // the role alone; the tooltip text stays as created
    if (image) {
        setIg(image->image());
        m_igPng = image->png();
    }
    // A field claimed by another box in the file is not shared: editing one would edit both.
    m_textview = field->archivedSuperviewObject() && field->archivedSuperviewObject() != this ? field->copy() : field;
    m_textview->setArchivedSuperview(this);
    m_bpArray = strokes;
    m_bHaveFrame = border != 0;
}
