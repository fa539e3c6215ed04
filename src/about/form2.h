#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QLabel;

namespace about {

// The About window: the program's name, version, icon and credit over a picture, shown by the
// About command for the length of a sound. It is also the first window the program loads,
// hidden: its load handler is the launch, which the program hands in.
//
// A fixed 398 x 299 client area inside a 3-pixel frame that the window draws itself, with no
// caption bar and no task-bar entry; centred on the primary screen whenever it is shown. It
// ignores every click and key.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    using LoadHandler = std::function<void(Form2 &)>;

    static constexpr int FrameWidth = 3; // the thin dialog frame, in pixels
    static constexpr QSize ClientSize { 398, 299 }; // 5970 x 4485 twips
    static constexpr const char *PicturePath = ":/about.bmp";

    explicit Form2(LoadHandler formLoad, QWidget *parent = nullptr);
    ~Form2() override;
    Q_DISABLE_COPY_MOVE(Form2)

    // Runs the load handler; the program calls it right after creating the window.
    void Form_Load();

    // Reads the picture and icon and places the labels; runs once, when the window is first
    // shown or drawn.
    void prepareLooks();

    QLabel *Label1 = nullptr; // the program's name
    QLabel *Label2 = nullptr; // the version, "v1.19"
    QLabel *Image1 = nullptr; // the program's icon
    QLabel *Label4 = nullptr; // the credit

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    LoadHandler m_formLoad;
    QImage m_picture;
};

} // namespace about
