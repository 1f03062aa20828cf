#pragma once
// The editor's image control: shows the graph's raster image at its own size, remakes the image
// when the control is resized, and passes the mouse on in image pixels.
#include <QImage>
#include <QWidget>

namespace tgm {

class GraphImage : public QWidget {
    Q_OBJECT
public:
    explicit GraphImage(QWidget* parent = nullptr);
    // The drawing surface; the same object for the control's life, remade on every resize.
    QImage& image() { return image_; }

signals:
    void pressed(int x, int y);
    // `dragging`: the left button is held.
    void moved(int x, int y, bool dragging);
    void released(int x, int y);
    // The mouse left the control.
    void left();
    // The image was remade at the control's new size and is white.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage image_;
};

} // namespace tgm
