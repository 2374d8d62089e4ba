// SPDX-License-Identifier: GPL-3.0-or-later
#include "app.h"

#include "core/failure.h"
#include "widgets/windowrole.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

int App::Preferences::volume() const
{
    return m_app.audioOptions().volume();
}

int App::Preferences::rate() const
{
    return m_app.audioOptions().rate();
}

int App::Preferences::voicePosition() const
{
    return m_app.audioOptions().voicePosition();
}

bool App::Preferences::playSounds() const
{
    return m_app.audioOptions().playSounds();
}

bool App::Preferences::saySentence() const
{
    return m_app.audioOptions().saySentence();
}

App::App(const Services &services, InputQueue *input)
    : m_ownInput(input ? nullptr : std::make_unique<InputQueue>()), m_input(input ? input : m_ownInput.get()),
      m_state(services, m_preferences)
{
    installWindowRole();
}

App::~App()
{
    m_ending = true;
    delete m_form5.data();
    delete m_form4.data();
    delete m_form3.data();
    delete m_form2.data();
    m_form1.reset();
}

Form1 &App::start(const QString &givenList)
{
    m_form1 = std::make_unique<Form1>(m_state, *this);
    m_form1->Form_Load(givenList);
    return *m_form1;
}

Form2 *App::loadedResults() const
{
    return m_form2.data();
}

Form4 *App::loadedProgress() const
{
    return m_form4.data();
}

Form5 *App::loadedWordListEditor() const
{
    return m_form5.data();
}

Form3 &App::audioOptions()
{
    if (m_form3.isNull()) {
        // Known as loaded before its load step runs, so that the load step's
        // own reads of its controls do not load it a second time.
        m_form3 = new Form3(m_state, *this);
        m_form3->Form_Load();
    }
    return *m_form3;
}

Form2 &App::results()
{
    if (m_form2.isNull()) {
        m_form2 = new Form2(m_state, *this);
        m_form2->Form_Load();
    }
    return *m_form2;
}

Form4 &App::progress(const QString &listPath)
{
    if (m_form4.isNull()) {
        m_form4 = new Form4(m_state, *this);
        m_form4->Form_Load(listPath);
    }
    return *m_form4;
}

Form5 &App::wordListEditor(const QString &listPath)
{
    if (m_form5.isNull()) {
        m_form5 = new Form5(m_state, *this);
        m_form5->Form_Load(listPath);
    }
    return *m_form5;
}

void App::useWordList(const QString &path)
{
    if (!m_form1)
        throw Failure(u"The main window is not loaded"_s);
    m_form1->useWordList(path);
}

void App::showMainWindow()
{
    if (!m_form1)
        throw Failure(u"The main window is not loaded"_s);
    m_form1->show();
}

void App::practise(const QStringList &words)
{
    showMainWindow();
    m_form1->startGameOver(words);
}

void App::returnToMainWindow()
{
    if (!m_ending && m_form1)
        m_form1->show();
}

void App::endProgram()
{
    m_ending = true;
    QCoreApplication::quit();
}
