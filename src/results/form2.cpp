#include "form2.h"

#include "shell/globals.h"

Form2::Form2(Globals &globals) : QWidget(nullptr), m_globals(globals)
{
    setObjectName(QStringLiteral("Form2"));
}

Form2::~Form2() = default;
