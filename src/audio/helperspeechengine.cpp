// SPDX-License-Identifier: GPL-3.0-or-later
#include "helperspeechengine.h"

#include "audio/helpersupervisor.h"
#include "audio/helpervoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

SpeechHelper SpeechHelper::ofProgram(QStringList engines)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = u"lexidrill-speech"_s;
    const QString beside = folder + u'/' + name;
    if (QFileInfo(beside).isExecutable())
        return {beside, std::move(engines)};
    return {QDir::cleanPath(folder + u'/' + QStringLiteral(LEXIDRILL_HELPER_FROM_PROGRAM) + u'/' + name),
            std::move(engines)};
}

HelperSpeechEngine::HelperSpeechEngine(SpeechHelper helper, SpeechLimits limits, BusyHook busy)
    : m_supervisor(std::make_shared<HelperSupervisor>(std::move(helper), limits, std::move(busy)))
{
    m_supervisor->current = m_supervisor->start();
}

HelperSpeechEngine::~HelperSpeechEngine()
{
    m_supervisor->shutDown();
}

std::unique_ptr<SpeechVoice> HelperSpeechEngine::createVoice()
{
    m_supervisor->use(false);
    return std::make_unique<HelperVoice>(m_supervisor);
}

void HelperSpeechEngine::whenStarted(QObject *context, std::function<void()> then)
{
    m_supervisor->whenStarted(context, std::move(then));
}

QStringList HelperSpeechEngine::voicesAnew()
{
    return m_supervisor->voicesAnew();
}

bool HelperSpeechEngine::voicesPending() const
{
    return m_supervisor->voicesPending();
}

QString HelperSpeechEngine::engineName()
{
    return m_supervisor->use(true)->name;
}

bool HelperSpeechEngine::speaking() const
{
    return m_supervisor->speaking;
}

SpeechMonitor &HelperSpeechEngine::monitor()
{
    return m_supervisor->monitor;
}

void HelperSpeechEngine::setLimits(const SpeechLimits &limits)
{
    m_supervisor->limits = limits;
}

int HelperSpeechEngine::helpersStarted() const
{
    return m_supervisor->helpersStarted;
}

int HelperSpeechEngine::helpersRunning() const
{
    return m_supervisor->helpersRunning();
}

int HelperSpeechEngine::helpersReady() const
{
    return m_supervisor->helpersReady();
}
