// SPDX-License-Identifier: GPL-3.0-or-later
#include "deferredspeechengine.h"

#include <QEvent>
#include <QTimer>

namespace {

// A voice made before the engine: it makes its real voice when first used.
class PendingVoice : public SpeechVoice
{
public:
    explicit PendingVoice(DeferredSpeechEngine &engine) : m_engine(engine) { }

    QStringList voices() const override { return voice().voices(); }
    void setVoice(int position) override { voice().setVoice(position); }
    void setVolume(int volume) override { voice().setVolume(volume); }
    void setRate(int rate) override { voice().setRate(rate); }
    void speak(const QString &text) override { voice().speak(text); }
    void speakAndWait(const QString &text) override { voice().speakAndWait(text); }
    void whenSpoken(std::function<void()> then) override { voice().whenSpoken(std::move(then)); }

private:
    SpeechVoice &voice() const
    {
        if (!m_voice)
            m_voice = m_engine.engine().createVoice();
        return *m_voice;
    }

    DeferredSpeechEngine &m_engine;
    mutable std::unique_ptr<SpeechVoice> m_voice;
};

class FirstPaint : public QObject
{
public:
    FirstPaint(DeferredSpeechEngine &engine, QObject &window) : QObject(&window), m_engine(engine) { }

    // Once the paint has been handled, so that the window is on screen first.
    void startSoon()
    {
        QTimer::singleShot(0, this, [this] {
            m_engine.start();
            deleteLater();
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            startSoon();
        }
        return false;
    }

private:
    DeferredSpeechEngine &m_engine;
};

} // namespace

DeferredSpeechEngine::DeferredSpeechEngine(Factory factory) : m_factory(std::move(factory)) { }

DeferredSpeechEngine::~DeferredSpeechEngine() = default;

void DeferredSpeechEngine::start()
{
    if (m_engine)
        return;
    m_engine = m_factory();
    const auto waiting = std::exchange(m_waiting, {});
    for (const auto &[context, then] : waiting) {
        if (context)
            m_engine->whenStarted(context, then);
    }
}

SpeechEngine &DeferredSpeechEngine::engine()
{
    start();
    return *m_engine;
}

std::unique_ptr<SpeechVoice> DeferredSpeechEngine::createVoice()
{
    if (!m_engine)
        return std::make_unique<PendingVoice>(*this);
    return m_engine->createVoice();
}

void DeferredSpeechEngine::whenStarted(QObject *context, std::function<void()> then)
{
    if (m_engine)
        m_engine->whenStarted(context, std::move(then));
    else
        m_waiting.append({context, std::move(then)});
}

QStringList DeferredSpeechEngine::voicesAnew()
{
    return engine().voicesAnew();
}

void startAfterFirstPaint(DeferredSpeechEngine &engine, QObject &window, int latestMs)
{
    auto *watcher = new FirstPaint(engine, window);
    window.installEventFilter(watcher);
    QTimer::singleShot(latestMs, watcher, [&engine] { engine.start(); });
}

bool DeferredSpeechEngine::voicesPending() const
{
    return !m_engine || m_engine->voicesPending();
}
