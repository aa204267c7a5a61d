#include "QuestionSetView.h"

#include "PageEditAppDelegate.h"

#include "core/base/ActivityCodes.h"
#include "core/base/AppDelegateBase.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

bool fitsInt32(qint64 v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}
} // namespace

QuestionSetView::QuestionSetView(const QRectF &frame, QObject *parent) : QObject(parent)
{
    AuthoringView::setFrame(frame);
    setBoundsOrigin(QPointF(0, 0));
}

QuestionSetView::~QuestionSetView()
{
    for (const auto &box : m_cellArray)
        if (box->archivedSuperviewObject() == this)
            box->setArchivedSuperview(nullptr);
}

std::shared_ptr<QuestionSetView> QuestionSetView::createTemplate(int n, const QSizeF &area)
{
    const bool trueFalse = n == 0;
    const int options = qBound(0, trueFalse ? 2 : n, 10);
    const int W = int(area.width());
    const int H = int(area.height());
    // The page is made at the size a canvas of this area gives its pages, so that fitting it
    // changes nothing; the layout is the one of the whole area.
    auto page = std::make_shared<QuestionSetView>(QRectF(0, 0, W - 2, H - 2));
    auto add = [&](const QRectF &r, int role) {
        auto box = std::make_shared<MyTextView>(r);
        box->setToolTipNo(role);
        box->setCursorCtrl();
        page->takeBox(box);
        return box;
    };
    add(QRectF(80, H - 170, W - 160, 140), MyTextView::RoleQuestion);
    const int h = options <= 6 ? 80 : ((10 - options) / 2) * 20 + 40;
    const int width = (W - 150) / 2;
    const int columnX[2] = {50, 80 + (W - 130) / 2};
    const int y0 = (H - 170) - 50 - h;
    for (int i = 0; i < options; ++i) {
        const int x = columnX[i % 2];
        const int y = y0 - (i / 2) * (h + 30);
        auto title = add(QRectF(x - 40, y + (h - 35) / 2, 38, 35), MyTextView::RoleTitleA + i);
        title->textview()->setString(QString(QChar(u'A' + i)));
        title->setBHaveFrame(false);
        add(QRectF(x, y, width, h), MyTextView::RoleOptionA + i);
    }
    if (trueFalse)
        page->setOptionHide();
    return page;
}

void QuestionSetView::post(const QString &name, const QVariantMap &info)
{
    NotificationCenter::defaultCenter()->postNotification(name, info, this);
}

void QuestionSetView::postComboboxOption()
{
    MyTextView *anchor = anchorBox();
    post(Notify::ChangeComboboxOption, {{Notify::Key::ToolTipNo, anchor ? anchor->toolTipNo() : 0}});
}

MyTextView *QuestionSetView::boxWithRole(int role) const
{
    for (const auto &box : m_cellArray)
        if (box->toolTipNo() == role)
            return box.get();
    return nullptr;
}

void QuestionSetView::setOption(int index, const QString &text)
{
    if (MyTextView *box = getOption(index))
        box->textview()->setString(text);
}

int QuestionSetView::getOptionNum() const
{
    if (m_nOptionNum > 0)
        return m_nOptionNum;
    for (int role = MyTextView::RoleOptionJ; role >= MyTextView::RoleOptionA; --role)
        if (haveOptionFrame(role))
            return role - 1;
    return 0;
}

int QuestionSetView::getOptionNumExcludeHide() const
{
    return getOptionNum() - int(m_hideMTV.size() / 2);
}

QString QuestionSetView::questionText() const
{
    MyTextView *box = getQuestionTitle();
    return box ? box->textview()->string() : QString();
}

QString QuestionSetView::optionText(int index) const
{
    MyTextView *box = getOption(index);
    return box ? box->textview()->string() : QString();
}

QString QuestionSetView::correctAnswer() const
{
    if (m_nQuestionType == 0)
        return QString(QChar(u'A' + m_nQuestionCorrectAnswer));
    if (m_nQuestionType == 1)
        return m_strMultipleAnswer;
    return m_strOtherAnswer;
}

void QuestionSetView::takeBox(const MyTextViewPtr &box)
{
    box->setArchivedSuperview(this);
    m_cellArray.append(box);
}

MyTextView *QuestionSetView::addNilView(const QRectF &rect)
{
    auto box = std::make_shared<MyTextView>(rect);
    box->setTextFrame();
    box->setNPenSize(m_nPenSize);
    takeBox(box);
    return box.get();
}

void QuestionSetView::addExistView(const MyTextViewPtr &box)
{
    takeBox(box);
}

MyTextView *QuestionSetView::addImage(const QImage &image)
{
    auto box = std::make_shared<MyTextView>(QRectF(100, 100, 100, 100));
    box->setIg(image);
    takeBox(box);
    return box.get();
}

MyTextView *QuestionSetView::addCapturedPicture(const QImage &image, int role)
{
    MyTextView *box = addNilView(QRectF(QPointF(0, 0), QSizeF(image.size())));
    box->setIg(image);
    box->setBCtrl(true);
    if (m_flag == ModeDrawBoxes)
        box->setTextFrame();
    else if (m_flag == ModePen)
        box->setPen();
    else
        box->setCursorCtrl();
    if (role != MyTextView::RoleNone)
        box->setToolTipNo(role);
    return box;
}

int QuestionSetView::indexOfBox(const MyTextView *box) const
{
    for (qsizetype i = 0; i < m_cellArray.size(); ++i)
        if (m_cellArray[i].get() == box)
            return int(i);
    return -1;
}

void QuestionSetView::deleteView(const QList<MyTextView *> &boxes)
{
    for (MyTextView *box : boxes) {
        const int i = indexOfBox(box);
        if (i < 0)
            continue;
        box->setBSel(false);
        if (box == m_pressedBox)
            m_pressedBox = nullptr;
        box->setArchivedSuperview(nullptr);
        m_cellArray.removeAt(i);
    }
    // Indexes of the boxes that remain have moved; drop the selection rather than point amiss.
    m_selectedIndexs.clear();
    m_selIndex = -1;
}

void QuestionSetView::deleteSelectView(const QList<int> &indexes)
{
    QList<int> sorted = indexes;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    QList<MyTextView *> boxes;
    for (int i : sorted)
        if (i >= 0 && i < m_cellArray.size() && !boxes.contains(m_cellArray[i].get()))
            boxes.append(m_cellArray[i].get());
    deleteView(boxes);
}

void QuestionSetView::reloadQuestion()
{
    for (const auto &box : m_cellArray) {
        box->setFrame(box->viewFrame());
        box->setCursorCtrl();
        box->setDragType(MyTextView::DragBody);
    }
}

void QuestionSetView::setSelection(const QList<int> &indexes, int anchor)
{
    m_selectedIndexs.clear();
    for (int i : indexes)
        if (i >= 0 && i < m_cellArray.size() && !m_selectedIndexs.contains(i))
            m_selectedIndexs.append(i);
    m_selIndex = anchor >= 0 && anchor < m_cellArray.size() ? anchor : -1;
    selectedView();
}

void QuestionSetView::selectedView()
{
    for (const auto &box : m_cellArray) {
        box->setBSel(false);
        box->setBLastSel(false);
    }
    for (int i : m_selectedIndexs) {
        m_cellArray[i]->setBSel(true);
        m_cellArray[i]->setBLastSel(i == m_selIndex);
    }
}

MyTextView *QuestionSetView::anchorBox() const
{
    return m_selIndex >= 0 && m_selIndex < m_cellArray.size() ? m_cellArray[m_selIndex].get() : nullptr;
}

bool QuestionSetView::giveAnchorRole(int role)
{
    MyTextView *anchor = anchorBox();
    if (!anchor)
        return false;
    anchor->setToolTipNo(role);
    if (role != MyTextView::RoleNone)
        for (const MyTextViewPtr &box : m_cellArray)
            if (box.get() != anchor && box->toolTipNo() == role)
                box->setToolTipNo(MyTextView::RoleNone);
    return true;
}

void QuestionSetView::setBCtrl(bool editable)
{
    m_bCtrl = editable;
    for (const auto &box : m_cellArray)
        box->setBCtrl(editable);
    if (m_pds)
        m_pds->setBCtrl(editable);
}

void QuestionSetView::setInQuiz(bool inQuiz)
{
    setBCtrl(!inQuiz);
    m_bInQuiz = inQuiz;
}

void QuestionSetView::setNPenSize(int size)
{
    m_nPenSize = size;
    for (const auto &box : m_cellArray)
        box->setNPenSize(size);
    if (m_pds)
        m_pds->setSizeOfPen(size);
}

void QuestionSetView::setColorSet(const QColor &color)
{
    m_colorSet = color;
    if (m_pds)
        m_pds->setColorOfPen(color);
}

void QuestionSetView::normaliseAnswerForSave(bool saveAs)
{
    const bool none = m_strAnswer.isEmpty() || m_strAnswer == QLatin1String("nocorrect");
    if (none) {
        // A vote needs no right answer and keeps its type; any other page without an answer
        // cannot be run as a question (the run refuses "nocorrect" outside a vote), so it is
        // stored as the teaching plan it effectively is. Both passes agree, so a file saved
        // twice, or by Save after Save As, keeps its votes.
        if (m_nQuestionActionMode != ActionMode::Vote)
            m_nQuestionType = QuestionType::TeachingPlan;
        return;
    }
    if (m_nQuestionType == QuestionType::TeachingPlan) {
        m_strAnswer = QStringLiteral("nocorrect");
        return;
    }
    if (!saveAs && m_nQuestionType == QuestionType::TrueFalse) {
        if (m_strAnswer == QLatin1String("A"))
            m_strAnswer = QStringLiteral("True");
        else if (m_strAnswer == QLatin1String("B"))
            m_strAnswer = QStringLiteral("False");
        else if (m_strAnswer != QLatin1String("True") && m_strAnswer != QLatin1String("False"))
            m_strAnswer = QStringLiteral("nocorrect");
    }
}

void QuestionSetView::normaliseAnswerAfterReading()
{
    if (m_strAnswer == QLatin1String("True"))
        m_strAnswer = QStringLiteral("A");
    else if (m_strAnswer == QLatin1String("False"))
        m_strAnswer = QStringLiteral("B");
}

void QuestionSetView::flushPenStrokes()
{
    if (!m_pds)
        return;
    m_bpArray += m_pds->bezierPathObjects();
    m_pds->bezierPathObjects().clear();
    createBezierPathFrame();
}

void QuestionSetView::setToolMode(int mode)
{
    flushPenStrokes();
    m_pds.reset();
    m_flag = mode;
    for (const auto &box : m_cellArray)
        mode == ModeDrawBoxes ? box->setTextFrame() : box->setCursorCtrl();
    post(Notify::ChangeQuestionContent);
}

void QuestionSetView::setTextFrame() { setToolMode(ModeDrawBoxes); }
void QuestionSetView::setCursor() { setToolMode(ModeSelect); }

void QuestionSetView::setPen()
{
    m_flag = ModePen;
    for (const auto &box : m_cellArray)
        box->setPen();
    if (!m_pds) {
        m_pds = std::make_unique<PenDrawScreen>(QRectF(QPointF(0, 0), frame().size()));
        m_pds->setColorOfPen(m_colorSet);
        m_pds->setSizeOfPen(m_nPenSize);
        m_pds->setBCtrl(m_bCtrl);
    }
}

void QuestionSetView::createBezierPathFrame()
{
    for (const auto &stroke : m_bpArray) {
        double minX = frame().width(), minY = frame().height(), maxX = 0, maxY = 0;
        const QPainterPath path = stroke->bezierpath();
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            minX = std::min(minX, e.x);
            minY = std::min(minY, e.y);
            maxX = std::max(maxX, e.x);
            maxY = std::max(maxY, e.y);
        }
        auto box = std::make_shared<MyTextView>(QRectF(minX - 15, minY - 15, maxX - minX + 30, maxY - minY + 30));
        box->setBpArray({stroke});
        box->setBHaveFrame(false);
        box->setBCtrl(true);
        box->setNPenSize(m_nPenSize);
        if (m_flag == ModeDrawBoxes)
            box->setTextFrame();
        else if (m_flag == ModePen)
            box->setPen();
        takeBox(box);
    }
    m_bpArray.clear();
    if (m_pds)
        m_pds->bezierPathObjects().clear();
}

int QuestionSetView::topBoxAt(const QPointF &point) const
{
    for (qsizetype i = m_cellArray.size() - 1; i >= 0; --i) {
        const MyTextView &box = *m_cellArray[i];
        if (!box.isHidden() && box.frame().contains(point))
            return int(i);
    }
    return -1;
}

void QuestionSetView::mouseDown(const QPointF &point, int clickCount, bool command)
{
    if (m_bInQuiz)
        return;
    m_pressedBox = nullptr;
    if (m_flag == ModePen && m_pds && !m_pds->mouseDown(point))
        return;
    const int hit = topBoxAt(point);
    if (hit >= 0) {
        m_pressedBox = m_cellArray[hit].get();
        if (!m_pressedBox->mouseDown(point, clickCount))
            return;
    }
    m_dragFromEmpty = hit < 0;
    if (!m_bCtrl) {
        post(Notify::SmallQuestionCtrl,
             {{Notify::Key::SelectQuestionObject, QVariant::fromValue<QObject *>(this)},
              {Notify::Key::CtrlType, 2}});
        return;
    }
    if (command && m_flag == ModeSelect) {
        if (hit < 0)
            return;
        if (m_selectedIndexs.contains(hit)) {
            m_selectedIndexs.removeAll(hit);
            if (m_selIndex == hit)
                m_selIndex = m_selectedIndexs.isEmpty() ? -1 : m_selectedIndexs.last();
        } else {
            m_selectedIndexs.append(hit);
            m_selIndex = hit;
        }
        selectedView();
        postComboboxOption();
        return;
    }
    if (m_flag == ModeSelect) {
        if (hit >= 0) {
            if (!m_selectedIndexs.contains(hit))
                m_selectedIndexs = {hit};
            m_selIndex = hit;
            selectedView();
            postComboboxOption();
        } else {
            m_selectedIndexs.clear();
            m_selIndex = -1;
            selectedView();
        }
    }
    m_ptDrag = point;
    post(Notify::ChangeQuestionContent);
}

void QuestionSetView::mouseDragged(const QPointF &point)
{
    if (m_bInQuiz)
        return;
    if (m_flag == ModePen && m_pds && m_pds->strokeInProgress()) {
        m_pds->mouseDragged(point);
        return;
    }
    if (m_pressedBox && !m_pressedBox->mouseDragged(point))
        return;
    m_rectDrag = QRectF(m_ptDrag, point).normalized();
    if (m_flag == ModeSelect && m_bCtrl && topBoxAt(m_ptDrag) >= 0) {
        const QPointF offset(std::trunc(point.x() - m_ptDrag.x()), std::trunc(point.y() - m_ptDrag.y()));
        for (int i : m_selectedIndexs) {
            MyTextView &box = *m_cellArray[i];
            box.setFrame(box.frame().translated(offset));
        }
        m_ptDrag += offset;
        post(Notify::ChangeQuestionContent);
    }
}

void QuestionSetView::mouseUp()
{
    if (m_flag == ModePen && m_pds && m_pds->strokeInProgress()) {
        m_pds->mouseUp();
        return;
    }
    MyTextView *pressed = m_pressedBox;
    m_pressedBox = nullptr;
    if (pressed && !pressed->mouseUp())
        return;
    if (!m_bCtrl || m_bInQuiz)
        return;
    if (m_flag == ModeDrawBoxes) {
        if (m_rectDrag.width() > 4 && m_rectDrag.height() > 4)
            addNilView(m_rectDrag);
        m_rectDrag = QRectF();
        post(Notify::ChangeQuestionContent);
    } else if (m_flag == ModeSelect) {
        for (qsizetype i = 0; i < m_cellArray.size(); ++i) {
            const MyTextView &box = *m_cellArray[i];
            if (!box.isHidden() && m_rectDrag.contains(box.frame()) && !m_rectDrag.isEmpty()
                && !m_selectedIndexs.contains(int(i)))
                m_selectedIndexs.append(int(i));
        }
        if (!m_selectedIndexs.isEmpty() && m_selIndex < 0)
            m_selIndex = m_selectedIndexs.last();
        selectedView();
        m_rectDrag = QRectF();
    }
}

bool QuestionSetView::keyDown(int key, const QString &text, bool command)
{
    if (key == Qt::Key_Up) {
        post(Notify::SmallQuestionCtrl, {{Notify::Key::PageQuestionNo, -1}, {Notify::Key::CtrlType, 1}});
    } else if (key == Qt::Key_Down) {
        post(Notify::SmallQuestionCtrl, {{Notify::Key::PageQuestionNo, -2}, {Notify::Key::CtrlType, 1}});
    } else if ((text == QLatin1String("c") && command) || text == QLatin1String("C")) {
        copySelect();
    } else if ((text == QLatin1String("v") && command) || text == QLatin1String("V")) {
        pasteSelect();
    } else if (key == Qt::Key_Delete || key == Qt::Key_Backspace || text == QString(QChar(127))) {
        if (m_bInQuiz)
            return true;
        if (m_bFreeStyle && m_bCtrl) {
            for (int i : m_selectedIndexs)
                if (m_cellArray[i]->toolTipNo() == MyTextView::RoleCapture)
                    m_cellArray[i]->setHidden(true);
            post(Notify::ChangeQuestionContent);
        } else if (m_bDelete && m_bCtrl) {
            deleteSelectView(m_selectedIndexs);
            m_selIndex = -1;
            post(Notify::ChangeQuestionContent);
        }
    } else {
        return false;
    }
    return true;
}

void QuestionSetView::copySelect()
{
    if (m_selectedIndexs.isEmpty())
        return;
    QList<MyTextViewPtr> copies;
    for (int i : m_selectedIndexs)
        copies.append(m_cellArray[i]->copy());
    PageEditAppDelegate::setCopyObjects(copies);
}

void QuestionSetView::pasteSelect()
{
    if (!m_bCtrl)
        return;
    const quint64 generation = PageEditAppDelegate::copyGeneration();
    if (generation != m_pasteGeneration) {
        m_nTime = 1;
        m_pasteGeneration = generation;
    }
    for (const auto &source : PageEditAppDelegate::copyObjects()) {
        auto box = source->copy();
        box->setToolTipNo(MyTextView::RoleNone);
        box->setFrame(source->frame().translated(10.0 * m_nTime, -10.0 * m_nTime));
        box->setBoundsOrigin(source->bounds().topLeft());
        takeBox(box);
    }
    ++m_nTime;
    post(Notify::ChangeQuestionContent);
}

void QuestionSetView::applyToSelection(const std::function<void(MyTextView &, const MyTextView &)> &change)
{
    const MyTextView *anchor = anchorBox();
    if (!anchor)
        return;
    for (int i : m_selectedIndexs)
        if (m_cellArray[i].get() != anchor)
            change(*m_cellArray[i], *anchor);
}

void QuestionSetView::alignLeft()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) { b.setFrame(QRectF(QPointF(a.frame().x(), b.frame().y()), b.frame().size())); });
}

void QuestionSetView::alignRight()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) {
        b.setFrame(QRectF(QPointF(a.frame().x() + a.frame().width() - b.frame().width(), b.frame().y()), b.frame().size()));
    });
}

void QuestionSetView::alignTop()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) {
        b.setFrame(QRectF(QPointF(b.frame().x(), a.frame().y() + a.frame().height() - b.frame().height()), b.frame().size()));
    });
}

void QuestionSetView::alignBottom()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) { b.setFrame(QRectF(QPointF(b.frame().x(), a.frame().y()), b.frame().size())); });
}

void QuestionSetView::makeSameHeight()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) { b.setFrame(QRectF(b.frame().topLeft(), QSizeF(b.frame().width(), a.frame().height()))); });
}

void QuestionSetView::makeSameWidth()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) { b.setFrame(QRectF(b.frame().topLeft(), QSizeF(a.frame().width(), b.frame().height()))); });
}

void QuestionSetView::makeSameSize()
{
    applyToSelection([](MyTextView &b, const MyTextView &a) { b.setFrame(QRectF(b.frame().topLeft(), a.frame().size())); });
}

void QuestionSetView::setOptionHide(int deviceType)
{
    if (deviceType < 0) {
        AppDelegateBase *app = AppDelegateBase::getAppDelegate();
        deviceType = app ? app->currentDeviceType() : 0;
    }
    const int type = m_nQuestionType;
    for (const auto &box : m_cellArray) {
        const int role = box->toolTipNo();
        if (role <= 1)
            continue;
        bool show;
        if (type == 5)
            show = role == 2 || role == 3;
        else if (deviceType == 1)
            show = type == 0;
        else
            show = !(type == 2 || type == 3 || type == 4);
        box->setHidden(!show);
    }
    post(Notify::ChangeQuestionContent);
}

bool QuestionSetView::getOptionHide(int role) const
{
    // The hidden state of the box of that role, wherever it stands in the list.
    MyTextView *box = boxWithRole(role);
    return box && box->isHidden();
}

void QuestionSetView::setVisibilityOfSelectView(const QList<int> &indexes, bool visible)
{
    for (int i : indexes)
        if (i >= 0 && i < m_cellArray.size() && m_cellArray[i]->toolTipNo() == MyTextView::RoleCapture)
            m_cellArray[i]->setHidden(!visible);
}

void QuestionSetView::fitToRect(const QRectF &target)
{
    const QSizeF size(target.width() - 2, target.height() - 2);
    const QSizeF old = frame().size();
    const double sx = old.width() > 0 ? size.width() / old.width() : 1.0;
    const double sy = old.height() > 0 ? size.height() / old.height() : 1.0;
    AuthoringView::setFrame(QRectF(target.topLeft(), size));
    setCursor(); // pending pen strokes become boxes before the boxes scale

    if (sx == 1.0 && sy == 1.0)
        return;
    for (const auto &box : m_cellArray) {
        const QRectF f = box->frame();
        box->setFrame(QRectF(f.x() * sx, f.y() * sy, f.width() * sx, f.height() * sy));
    }
}

void QuestionSetView::draw(QPainter &painter) const
{
    const double H = frame().height();
    const QRectF page(QPointF(0, 0), frame().size());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(page, Qt::white);
    if (m_bSel) {
        painter.setPen(QPen(Qt::blue, 12));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(page);
    }
    if (!m_bCtrl) {
        QFont font(QStringLiteral("Times"));
        font.setPixelSize(400);
        const QString number = QString::number(m_nQuNo);
        const QFontMetricsF fm(font);
        const double w = std::trunc(fm.horizontalAdvance(number));
        const double h = std::trunc(fm.height());
        painter.setFont(font);
        QColor blue(Qt::blue);
        blue.setAlphaF(0.1);
        painter.setPen(blue);
        painter.drawText(flipped(QRectF((page.width() - w) / 2, (page.height() - h) / 2, w + 100, h), H),
                         Qt::AlignLeft | Qt::AlignTop, number);
    }
    painter.save();
    painter.translate(0, H);
    painter.scale(1, -1);
    for (const auto &stroke : m_bpArray)
        stroke->draw(painter);
    painter.restore();
    if (!m_rectDrag.isEmpty()) {
        if (m_flag == ModeDrawBoxes) {
            painter.setPen(QPen(Qt::gray, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(flipped(m_rectDrag, H));
        } else if (m_flag == ModeSelect && m_dragFromEmpty) {
            QColor fill(Qt::blue);
            fill.setAlphaF(0.1);
            painter.fillRect(flipped(m_rectDrag, H), fill);
        }
    }
    for (const auto &box : m_cellArray)
        box->draw(painter, H);
    if (m_pds)
        m_pds->draw(painter, H);
    painter.restore();
}

QImage QuestionSetView::renderImage(double scale) const
{
    const QSize size = (frame().size() * scale).toSize();
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    draw(painter);
    painter.end();
    return image;
}

bool QuestionSetView::isEqualTo(const QuestionSetView &other) const
{
    if (m_cellArray.size() != other.m_cellArray.size())
        return false;
    for (qsizetype i = 0; i < m_cellArray.size(); ++i)
        if (!m_cellArray[i]->isEqualTo(*other.m_cellArray[i]))
            return false;
    // The answer and every stroke (loose, or still on the pen layer) count as content too.
    const BezierPathObject::List penA = m_pds ? m_pds->bezierPathObjects() : BezierPathObject::List();
    const BezierPathObject::List penB = other.m_pds ? other.m_pds->bezierPathObjects() : BezierPathObject::List();
    return m_nQuestionActionMode == other.m_nQuestionActionMode && m_nQuestionType == other.m_nQuestionType
           && m_nQuestionDifficulty == other.m_nQuestionDifficulty
           && m_nQuestionCorrectAnswer == other.m_nQuestionCorrectAnswer
           && m_strMultipleAnswer == other.m_strMultipleAnswer && m_strOtherAnswer == other.m_strOtherAnswer
           && m_strAnswer == other.m_strAnswer && m_nQuestionPoint == other.m_nQuestionPoint
           && m_nQuestionTimeLimit == other.m_nQuestionTimeLimit && m_nQuestionDePoint == other.m_nQuestionDePoint
           && m_nQuestionRushTimeLimit == other.m_nQuestionRushTimeLimit
           && m_strStandardCode == other.m_strStandardCode && m_strStandardTitle == other.m_strStandardTitle
           && BezierPathObject::listsEqual(m_bpArray, other.m_bpArray) && BezierPathObject::listsEqual(penA, penB);
}

std::shared_ptr<QuestionSetView> QuestionSetView::copy() const
{
    auto c = std::make_shared<QuestionSetView>(frame());
    c->copyViewFrom(*this);
    for (const auto &box : m_cellArray)
        c->takeBox(box->copy());
    c->m_flag = m_flag;
    c->m_bpArray = BezierPathObject::copyList(m_bpArray);
    if (m_pds)
        c->m_pds = m_pds->copy();
    c->m_bSel = m_bSel;
    c->m_colorSet = m_colorSet;
    c->m_nPenSize = m_nPenSize;
    c->m_nQuestionActionMode = m_nQuestionActionMode;
    c->m_nQuestionType = m_nQuestionType;
    c->m_nQuestionDifficulty = m_nQuestionDifficulty;
    c->m_nQuestionCorrectAnswer = m_nQuestionCorrectAnswer;
    c->m_strMultipleAnswer = m_strMultipleAnswer;
    c->m_strOtherAnswer = m_strOtherAnswer;
    c->m_strAnswer = m_strAnswer; // the snapshot must see answer edits
    c->m_nQuestionPoint = m_nQuestionPoint;
    c->m_nQuestionTimeLimit = m_nQuestionTimeLimit;
    c->m_nQuestionDePoint = m_nQuestionDePoint;
    c->m_nQuestionRushTimeLimit = m_nQuestionRushTimeLimit;
    c->m_strStandardCode = m_strStandardCode;
    c->m_strStandardTitle = m_strStandardTitle;
    return c;
}

void QuestionSetView::addArchiveClasses(KeyedUnarchiver::ClassTable &table)
{
    table.insert(QStringLiteral("QuestionSetView"), [] { return std::make_shared<QuestionSetView>(); });
    MyTextView::addArchiveClasses(table);
}

QStringList QuestionSetView::archiveClassNames() const
{
    return {QStringLiteral("QuestionSetView"), QStringLiteral("NSView"), QStringLiteral("NSResponder"),
            QStringLiteral("NSObject")};
}

QList<const KeyedArchiveObject *> QuestionSetView::archivedSubviews() const
{
    return KeyedArchiver::objects(m_cellArray);
}

void QuestionSetView::encodeWithCoder(KeyedArchiver &coder) const
{
    encodeView(coder);
    coder.encodeObjectArray(KeyedArchiver::objects(m_cellArray));
    coder.encodeRect(QRectF()); // viewFrame: nothing sets it
    coder.encodeIntArray({});   // selectedIndexs: a written page has no selection
    coder.encodeObjectArray(KeyedArchiver::objects(m_bpArray));
    coder.encodeInt(m_nQuestionActionMode);
    coder.encodeInt(m_nQuestionDifficulty);
    coder.encodeInt(m_nQuestionCorrectAnswer);
    coder.encodeString(m_strMultipleAnswer);
    coder.encodeString(m_strOtherAnswer);
    coder.encodeString(m_strAnswer);
    coder.encodeInt(m_nQuestionPoint);
    coder.encodeInt(m_nQuestionTimeLimit);
    coder.encodeInt(m_nQuestionDePoint);
    coder.encodeInt(m_nQuestionRushTimeLimit);
    coder.encodeInt(m_nQuestionType);
    coder.encodeString(m_strStandardCode);
    coder.encodeString(m_strStandardTitle);
}

void QuestionSetView::initWithCoder(KeyedUnarchiver &coder)
{
    decodeView(coder);
    auto boxes = coder.decodeArrayOfClass<MyTextView>();
    coder.decodeRect();
    coder.decodeIntArray();
    const auto strokes = coder.decodeArrayOfClass<BezierPathObject>();
    qint64 numbers[3];
    for (qint64 &n : numbers)
        n = coder.decodeInt();
    const QString multiple = coder.decodeString();
    const QString other = coder.decodeString();
    const QString answer = coder.decodeString();
    qint64 limits[5];
    for (qint64 &n : limits)
        n = coder.decodeInt();
    const QString code = coder.decodeString();
    const QString title = coder.decodeString();
    if (coder.failed())
        return;
    for (qint64 n : numbers)
        if (!fitsInt32(n))
            return coder.fail(QStringLiteral("number out of range"));
    for (qint64 n : limits)
        if (!fitsInt32(n))
            return coder.fail(QStringLiteral("number out of range"));
    if (limits[4] < 0 || limits[4] > 5)
        return coder.fail(QStringLiteral("unknown question type"));

    m_cellArray.clear();
    for (auto box : boxes) {
        // A box that the file also places elsewhere becomes a box of its own here.
        if (box->archivedSuperviewObject() && box->archivedSuperviewObject() != this)
            box = box->copy();
        else if (indexOfBox(box.get()) >= 0)
            box = box->copy();
        takeBox(box);
    }
    m_bpArray = strokes;
    m_nQuestionActionMode = int(numbers[0]);
    m_nQuestionDifficulty = int(numbers[1]);
    m_nQuestionCorrectAnswer = int(numbers[2]);
    m_strMultipleAnswer = multiple.isNull() ? QString() : multiple;
    m_strOtherAnswer = other.isNull() ? QString() : other;
    m_strAnswer = answer.isNull() ? QStringLiteral("nocorrect") : answer;
    m_nQuestionPoint = int(limits[0]);
    m_nQuestionTimeLimit = int(limits[1]);
    m_nQuestionDePoint = int(limits[2]);
    m_nQuestionRushTimeLimit = int(limits[3]);
    m_nQuestionType = int(limits[4]);
    m_strStandardCode = code.isNull() ? QString() : code;
    m_strStandardTitle = title.isNull() ? QString() : title;
}
