#pragma once

#include <QWidget>

class Globals;
class QComboBox;
class QRadioButton;
class QSlider;

// The audio options window. Its controls hold the audio preferences for the
// whole program.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(Globals &globals);
    ~Form3() override;

    void Form_Load();

    QComboBox *Combo1;
    QSlider *Slider1;
    QSlider *Slider2;
    QRadioButton *Option1;
    QRadioButton *Option2;

private:
    Globals &m_globals;
};
