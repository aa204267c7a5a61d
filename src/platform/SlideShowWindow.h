#pragma once

#include <QImage>
#include <QMargins>
#include <QRasterWindow>
#include <QString>

#include <functional>
#include <memory>

class QPdfDocument;

// The slide show on screen: a frameless full-screen window that paints one page of the deck's
// PDF, scaled to fit on black into the part of the screen that the windows standing over the
// show (a run's bar and student strip) leave free. Until the pages are ready it shows the slide number and a line of
// text. The keys and clicks a presenter uses step the show through the driver, which keeps the
// position: the window only draws the page it is told.
class SlideShowWindow : public QRasterWindow
{
    Q_OBJECT
public:
    SlideShowWindow();
    ~SlideShowWindow() override;

    // The window asks to step: +1 next, -1 previous, 0 exit, 1000 first, -1000 last.
    enum Step { Exit = 0, Next = 1, Previous = -1, First = 1000, Last = -1000 };
    void setStepHandler(std::function<void(int step)> handler) { m_stepHandler = std::move(handler); }

    void setSlide(int index, int count);
    int slideIndex() const { return m_index; }
    // The pages; an empty path or a failed load keeps the placeholder with the message.
    bool setPdf(const QString &path);
    void setMessage(const QString &text);
    // Room kept free at the window's edges for windows that stand over the show: the page is
    // drawn whole inside the rest. Zero margins give the page the whole screen.
    void setReservedMargins(const QMargins &margins);
    QMargins reservedMargins() const { return m_reserved; }
    // Where the page is drawn, in window points (empty without pages).
    QRect pageRect();
    bool hasPages() const;
    int pageCount() const;
    // The picture of the current page as drawn, for tests and screenshots.
    QImage currentPage();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // The window system's close (Alt+F4) ends the show as Escape does; the window itself stays,
    // only hidden.
    void closeEvent(QCloseEvent *event) override;

private:
    void step(int s);
    QRect freeArea() const;

    std::unique_ptr<QPdfDocument> m_pdf;
    std::function<void(int)> m_stepHandler;
    int m_index = 0;
    int m_count = 0;
    QString m_message;
    QImage m_cache;
    int m_cachedIndex = -1;
    QMargins m_reserved;
};
