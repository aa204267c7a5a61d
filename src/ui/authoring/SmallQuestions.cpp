#include "SmallQuestions.h"

#include "Questions.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <cmath>

SmallQuestions::SmallQuestions(const QSize &size, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SmallQuestions"));
    resize(size);
    m_nHeight = size.height();
    m_nCurrentHeight = m_nHeight;
    NotificationCenter::defaultCenter()->addObserver(this, Notify::SmallQuestionCtrl,
                                                     [this](const Notification &n) { smallQuestionCtrl(n.userInfo, n.object); });
}

SmallQuestions::~SmallQuestions()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
}

QSizeF SmallQuestions::thumbSize() const
{
    return m_slotSize;
}

double SmallQuestions::thumbScale(const QuestionSetView &thumb) const
{
    // A page laid out again to fill a run's canvas is larger than the page the strip was built
    // from; it is drawn smaller, so that every thumbnail keeps its slot.
    const QSizeF frame = thumb.frame().size();
    if (frame.isEmpty() || m_slotSize.isEmpty())
        return kScale;
    return std::min(kScale, std::min(m_slotSize.width() / frame.width(), m_slotSize.height() / frame.height()));
}

void SmallQuestions::recomputeHeight()
{
    const double h = thumbSize().height();
    m_nCurrentHeight = std::max(m_nHeight, int(m_array.size() * (h + 10) + 10));
    resize(width(), m_nCurrentHeight);
    setMinimumHeight(m_nCurrentHeight);
}

QRect SmallQuestions::thumbnailRect(int n) const
{
    if (n < 1 || n > m_array.size())
        return QRect();
    const QSizeF s = thumbSize();
    // Thumbnail n lies n × (height + 10) below the top edge of the strip, measured to its bottom.
    return QRectF(10, (n - 1) * (s.height() + 10) + 10, s.width(), s.height()).toAlignedRect();
}

void SmallQuestions::addQuestion(int n, const QuestionSetViewPtr &page)
{
    n = qBound(0, n, int(m_array.size()));
    page->setBDelete(m_bDelete);
    auto thumb = page->copy();
    thumb->setBCtrl(false);
    if (m_array.isEmpty())
        m_slotSize = thumb->frame().size() * kScale;
    m_array.insert(n, thumb);
    recomputeHeight();
    m_nCurrentQuNo = n + 1;
    reloadAllQuestion();
}

void SmallQuestions::upDateQuestion(int n, const QuestionSetViewPtr &page)
{
    if (n < 1 || n > m_array.size())
        return;
    const bool selected = m_array[n - 1]->bSel();
    auto thumb = page->copy();
    thumb->setBCtrl(false);
    thumb->setNQuNo(n);
    thumb->setBDelete(m_bDelete);
    thumb->setBSel(selected);
    const int type = thumb->nQuestionType();
    for (const auto &box : thumb->cellArray()) {
        const int role = box->toolTipNo();
        bool shown = true;
        if (type == 2 || type == 3 || type == 4)
            shown = role <= 1;
        else if (type == 5)
            shown = role <= 3;
        if (!shown)
            box->setHidden(true);
    }
    m_array[n - 1] = thumb;
    update();
}

void SmallQuestions::DeleteQuestion(int n)
{
    if (n < 1 || n > m_array.size())
        return;
    m_array.removeAt(n - 1);
    if (m_array.isEmpty())
        m_slotSize = QSizeF();
    m_nCurrentQuNo = n > m_array.size() ? n - 1 : n;
    recomputeHeight();
    if (m_array.isEmpty())
        m_nCurrentQuNo = 0;
    else
        reloadAllQuestion();
    update();
}

void SmallQuestions::changeSelQuestion(int n)
{
    if (n < 1 || n > m_array.size())
        return;
    if (m_nCurrentQuNo >= 1 && m_nCurrentQuNo <= m_array.size()) {
        m_array[m_nCurrentQuNo - 1]->setBFreeStyle(m_bIsFreeStyle);
        m_array[m_nCurrentQuNo - 1]->setBSel(false);
    }
    m_array[n - 1]->setBSel(true);
    m_nCurrentQuNo = n;
    update();
    NotificationCenter::defaultCenter()->postNotification(Notify::ChangeQuestionDisplay,
                                                          {{Notify::Key::PageQuestionNo, n}}, this);
}

void SmallQuestions::selectedQuestionNo(int n)
{
    changeSelQuestion(n);
    moveScrollPoint(n);
}

void SmallQuestions::reloadAllQuestion()
{
    for (qsizetype i = 0; i < m_array.size(); ++i) {
        QuestionSetView &thumb = *m_array[i];
        thumb.setSelection({}, -1);
        thumb.setBSel(int(i) + 1 == m_nCurrentQuNo);
        thumb.setBCtrl(false);
        thumb.setNQuNo(int(i) + 1);
    }
    update();
    moveScrollPoint(m_nCurrentQuNo);
}

void SmallQuestions::moveScrollPoint(int n)
{
    if (m_array.size() < 2 || n < 1 || n > m_array.size())
        return;
    const QRect r = thumbnailRect(n);
    PollixLogf("%f %f", 0.0, double(r.top()));
    // Bring the thumbnail into view in the scroll area that holds the strip, if any.
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w)) {
            area->ensureVisible(r.center().x(), r.center().y(), 10, r.height() / 2 + 10);
            break;
        }
    }
}

void SmallQuestions::removeAllQuestions()
{
    m_array.clear();
    m_slotSize = QSizeF();
    m_nCurrentQuNo = 0;
    recomputeHeight();
    update();
}

void SmallQuestions::smallQuestionCtrl(const QVariantMap &info, QObject *sender)
{
    const int type = info.value(Notify::Key::CtrlType).toInt();
    if (type == 1) {
        // Arrow keys of a page: only the pages of our canvas steer this strip.
        if (m_canvas && sender && !m_canvas->ownsPage(sender) && !m_controllers.contains(sender))
            return;
        const int q = info.value(Notify::Key::PageQuestionNo).toInt();
        int target = 0;
        if (q >= 1 && q <= m_array.size())
            target = q;
        else if (q == -1 && m_nCurrentQuNo >= 2)
            target = m_nCurrentQuNo - 1;
        else if (q == -2 && m_nCurrentQuNo < m_array.size())
            target = m_nCurrentQuNo + 1;
        if (target)
            selectedQuestionNo(target);
    } else if (type == 2) {
        QObject *pressed = info.value(Notify::Key::SelectQuestionObject).value<QObject *>();
        for (qsizetype i = 0; i < m_array.size(); ++i)
            if (m_array[i].get() == pressed)
                changeSelQuestion(int(i) + 1);
    }
}

void SmallQuestions::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x80, 0x80, 0x80)); // the knob colour
    for (qsizetype i = 0; i < m_array.size(); ++i) {
        const QRect r = thumbnailRect(int(i) + 1);
        painter.save();
        // A box reaching past its page must not draw over the neighbouring thumbnails.
        painter.setClipRect(r);
        painter.translate(r.topLeft());
        const double scale = thumbScale(*m_array[i]);
        painter.scale(scale, scale);
        m_array[i]->draw(painter);
        painter.restore();
    }
}

void SmallQuestions::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    for (qsizetype i = 0; i < m_array.size(); ++i) {
        const QRect r = thumbnailRect(int(i) + 1);
        if (!r.contains(p))
            continue;
        // Held here: the press may lead to thumbnails being rebuilt while it is handled.
        const QuestionSetViewPtr thumb = m_array[i];
        // The thumbnail is not editable: its press selects it through "SmallQuestionCtrl".
        const double scale = thumbScale(*thumb);
        const QPointF local((p.x() - r.x()) / scale, thumb->frame().height() - (p.y() - r.y()) / scale);
        thumb->mouseDown(local);
        thumb->mouseUp();
        return;
    }
}
