#include "SlideShowWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfDocument>
#include <QScreen>

SlideShowWindow::SlideShowWindow() : m_pdf(std::make_unique<QPdfDocument>())
{
    setObjectName(QStringLiteral("SlideShowWindow"));
    setTitle(QStringLiteral("Pollix Slide Show"));
    setFlags(Qt::Window | Qt::FramelessWindowHint);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

SlideShowWindow::~SlideShowWindow() = default;

void SlideShowWindow::setSlide(int index, int count)
{
    m_index = index;
    m_count = count;
    update();
}

bool SlideShowWindow::setPdf(const QString &path)
{
    m_cache = QImage();
    m_cachedIndex = -1;
    m_pdf->close();
    const bool ok = !path.isEmpty() && m_pdf->load(path) == QPdfDocument::Error::None;
    if (ok)
        m_message.clear();
    update();
    return ok;
}

void SlideShowWindow::setMessage(const QString &text)
{
    m_message = text;
    update();
}

void SlideShowWindow::setReservedMargins(const QMargins &margins)
{
    const QMargins m(qMax(0, margins.left()), qMax(0, margins.top()), qMax(0, margins.right()), qMax(0, margins.bottom()));
    if (m == m_reserved)
        return;
    m_reserved = m;
    update();
}

QRect SlideShowWindow::freeArea() const
{
    const QSize whole = size().isEmpty() ? QSize(1280, 720) : size();
    const QRect area = QRect(QPoint(0, 0), whole).marginsRemoved(m_reserved);
    // Windows that would leave no room at all: the page keeps at least a sliver in the middle.
    return area.isValid() ? area : QRect(QPoint(0, 0), whole);
}

QRect SlideShowWindow::pageRect()
{
    const QImage page = currentPage();
    if (page.isNull())
        return {};
    const QRect area = freeArea();
    const QSize shown = (QSizeF(page.size()) / devicePixelRatio()).toSize();
    return QRect(area.x() + (area.width() - shown.width()) / 2, area.y() + (area.height() - shown.height()) / 2, shown.width(),
                 shown.height());
}

bool SlideShowWindow::hasPages() const
{
    return m_pdf->status() == QPdfDocument::Status::Ready && m_pdf->pageCount() > 0;
}

int SlideShowWindow::pageCount() const
{
    return hasPages() ? m_pdf->pageCount() : 0;
}

QImage SlideShowWindow::currentPage()
{
    if (!hasPages() || m_index < 0 || m_index >= m_pdf->pageCount())
        return QImage();
    const QSizeF page = m_pdf->pagePointSize(m_index);
    const QSizeF area = QSizeF(freeArea().size()) * devicePixelRatio();
    // Rounded down: a page a fraction wider than its room would lose its edge.
    const QSizeF scaled = page.scaled(area, Qt::KeepAspectRatio);
    const QSize fitted(qMax(1, int(scaled.width())), qMax(1, int(scaled.height())));
    if (m_cachedIndex != m_index || m_cache.size() != fitted) {
        m_cache = m_pdf->render(m_index, fitted);
        m_cachedIndex = m_index;
    }
    return m_cache;
}

void SlideShowWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::black);
    const QImage page = currentPage();
    if (!page.isNull()) {
        painter.drawImage(pageRect(), page);
        return;
    }
    painter.setPen(QColor(230, 230, 230));
    QFont font = painter.font();
    font.setPixelSize(qMax(16, height() / 20));
    painter.setFont(font);
    const QString head = m_count > 0 ? QStringLiteral("%1 / %2").arg(m_index + 1).arg(m_count) : QString();
    const QString text = m_message.isEmpty() ? head : head + QStringLiteral("\n\n") + m_message;
    painter.drawText(freeArea().adjusted(40, 40, -40, -40), Qt::AlignCenter | Qt::TextWordWrap, text);
}

void SlideShowWindow::step(int s)
{
    if (m_stepHandler)
        m_stepHandler(s);
}

void SlideShowWindow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        step(Exit);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_N:
        step(Next);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
    case Qt::Key_P:
        step(Previous);
        break;
    case Qt::Key_Home:
        step(First);
        break;
    case Qt::Key_End:
        step(Last);
        break;
    default:
        QRasterWindow::keyPressEvent(event);
    }
}

void SlideShowWindow::closeEvent(QCloseEvent *event)
{
    // Only the window system's request (Alt+F4) is the presenter's: a closed window would lose
    // its native window (the windows kept above the show are its transients and would go with
    // it), and with the main window hidden during a run the application would take it for its
    // last window and try to quit. The application's own close (its quit) closes it as ever.
    if (!event->spontaneous()) {
        QRasterWindow::closeEvent(event);
        return;
    }
    event->ignore();
    step(Exit);
}

void SlideShowWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        step(Next);
    else if (event->button() == Qt::RightButton)
        step(Previous);
}
