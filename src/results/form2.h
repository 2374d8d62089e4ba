#pragma once

#include <QWidget>

class Globals;

// The results window of a finished game.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(Globals &globals);
    ~Form2() override;

private:
    Globals &m_globals;
};
