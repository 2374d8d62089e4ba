#include "globals.h"

#include "audio/form3.h"
#include "results/form2.h"
#include "shell/utilities.h"

Globals::Globals(const Services &services) : m_services(services)
{
    if (!m_services.random)
        m_services.random = &systemRandom();
}

Globals::~Globals()
{
    ending = true;
    delete m_form3.data();
    delete form2.data();
}

QString Globals::besideProgram(QStringView literal) const
{
    return ::besideProgram(m_services.programFolder, literal);
}

QString Globals::ReadSetting(const QString &key, const QString &defaultValue) const
{
    return m_services.settings->ReadSetting(key, defaultValue);
}

QString Globals::ReadSetting(const QString &key, int defaultValue) const
{
    return m_services.settings->ReadSetting(key, defaultValue);
}

void Globals::WriteSetting(const QString &key, const QString &value) const
{
    m_services.settings->WriteSetting(key, value);
}

Form3 &Globals::form3()
{
    if (m_form3.isNull()) {
        // Known as loaded before its load step runs, so that the load step's
        // own reads of its controls do not load it a second time.
        m_form3 = new Form3(*this);
        m_form3->Form_Load();
    }
    return *m_form3;
}
