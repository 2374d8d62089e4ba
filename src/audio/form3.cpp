#include "form3.h"

#include "shell/globals.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSlider>

using namespace Qt::StringLiterals;

Form3::Form3(Globals &globals) : QWidget(nullptr), m_globals(globals)
{
    setObjectName(u"Form3"_s);
    Combo1 = new QComboBox(this);
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setRange(0, 100);
    Slider2 = new QSlider(Qt::Horizontal, this);
    Slider2->setRange(-10, 10);
    Option1 = new QRadioButton(u"Play sounds"_s, this);
    Option2 = new QRadioButton(u"Do not play sounds"_s, this);
}

Form3::~Form3() = default;

void Form3::Form_Load()
{
}
