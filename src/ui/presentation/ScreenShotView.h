#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class ScreenShotCurtain;

// A picture of the whole main screen, taken when the view is made and shown full screen under
// the marking curtain. The view closes itself when the curtain's capture is over.
class ScreenShotView : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenShotView(QWidget *parent = nullptr);

    QImage imgScreenShot() const { return m_picture; }
    ScreenShotCurtain *curtain() const { return m_curtain; }

    // Where pictures come from: the main screen, unless a test says otherwise.
    using Source = std::function<QImage()>;
    static void setSource(Source source);
    static QImage imageOfScreenShot();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
    ScreenShotCurtain *m_curtain;
};
