#pragma once

#include <QWidget>

#include <functional>

class QLabel;

namespace about {

// The About window: the program's name, version, icon and credit over a picture, shown by the
// About command for the length of a sound. It is also the first window the program loads,
// hidden: its load handler is the launch, which the program hands in.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    using LoadHandler = std::function<void(Form2 &)>;

    explicit Form2(LoadHandler formLoad, QWidget *parent = nullptr);
    ~Form2() override;
    Q_DISABLE_COPY_MOVE(Form2)

    // Runs the load handler; the program calls it right after creating the window.
    void Form_Load();

    QLabel *Label1 = nullptr; // the program's name
    QLabel *Label2 = nullptr; // the version, "v1.19"
    QLabel *Image1 = nullptr; // the program's icon
    QLabel *Label4 = nullptr; // the credit

private:
    LoadHandler m_formLoad;
};

} // namespace about
