#include "qtspeechengine.h"

#include "audio/voiceorder.h"
#include "core/failure.h"

#include <QEventLoop>
#include <QTextToSpeech>
#include <QTimer>
#include <QVoice>

using namespace Qt::StringLiterals;

namespace {

const QString flite = u"flite"_s;

// speakAndWait gives up when speech has not begun this long after the text
// was handed over, or has not ended this long after that.
constexpr int startTimeoutMs = 5000;
constexpr int speechTimeoutMs = 60000;

// Why the engine asked for by `requested` (empty: the default one) cannot be
// used; empty when it can.
QString problemWith(const QTextToSpeech &tts, const QString &requested)
{
    if (tts.engine().isEmpty())
        return u"%1: not installed"_s.arg(requested.isEmpty() ? u"default engine"_s : requested);
    if (tts.state() == QTextToSpeech::Error)
        return u"%1: %2"_s.arg(tts.engine(), tts.errorString());
    if (tts.availableLocales().isEmpty())
        return u"%1: offers no voices"_s.arg(tts.engine());
    return {};
}

} // namespace

namespace QtSpeech {

// One voice of the program's voice list.
struct CatalogEntry
{
    QLocale locale;
    QVoice voice;
};

// The shared engine, its voice list, and which voice object spoke last.
class Backend
{
public:
    explicit Backend(std::unique_ptr<QTextToSpeech> tts) : m_tts(std::move(tts)) {}

    QTextToSpeech &tts() { return *m_tts; }
    bool rateChangesWork() const { return m_tts->engine() != flite; }

    const QList<CatalogEntry> &catalog()
    {
        if (!m_catalogBuilt)
            buildCatalog();
        return m_catalog;
    }

    const QStringList &voiceNames()
    {
        catalog();
        return m_names;
    }

    const void *lastSpeaker = nullptr;

private:
    // The engine lists its voices per locale; they are gathered once, because
    // the engine itself reads them only when it starts.
    void buildCatalog()
    {
        const QLocale initialLocale = m_tts->locale();
        const QVoice initialVoice = m_tts->voice();

        QList<ListedVoice> listed;
        QList<CatalogEntry> entries;
        const QList<QLocale> locales = m_tts->availableLocales();
        for (const QLocale &locale : locales) {
            m_tts->setLocale(locale);
            for (const QVoice &voice : m_tts->availableVoices()) {
                listed.append({locale, voice.name()});
                entries.append({locale, voice});
            }
        }

        QLocale preferredLocale = initialLocale;
        QString preferredName = initialVoice.name();
        if (const auto user = VoiceOrder::userLocale(locales, QLocale::system())) {
            m_tts->setLocale(*user);
            preferredLocale = *user;
            preferredName = m_tts->voice().name();
        }
        qsizetype preferred = -1;
        for (qsizetype i = 0; i < listed.size() && preferred < 0; ++i) {
            if (listed[i].locale.name() == preferredLocale.name() && listed[i].name == preferredName)
                preferred = i;
        }

        for (const qsizetype position : VoiceOrder::arrange(listed, preferred)) {
            m_catalog.append(entries[position]);
            m_names.append(VoiceOrder::displayName(listed[position]));
        }
        m_catalogBuilt = true;
    }

    std::unique_ptr<QTextToSpeech> m_tts;
    bool m_catalogBuilt = false;
    QList<CatalogEntry> m_catalog;
    QStringList m_names;
};

namespace {

class Voice : public SpeechVoice
{
public:
    explicit Voice(std::shared_ptr<Backend> backend) : m_backend(std::move(backend)) {}

    ~Voice() override
    {
        if (m_backend->lastSpeaker != this)
            return;
        m_backend->tts().stop();
        m_backend->lastSpeaker = nullptr;
    }

    QStringList voices() const override { return m_backend->voiceNames(); }

    void setVoice(int position) override
    {
        const qsizetype count = m_backend->catalog().size();
        if (position < 0 || position >= count)
            throw Failure(u"There is no voice at position %1; %2 voices are installed."_s.arg(position).arg(count));
        m_position = position;
    }

    void setVolume(int volume) override
    {
        m_volume = volume;
        if (m_backend->lastSpeaker == this)
            m_backend->tts().setVolume(VoiceOrder::engineVolume(m_volume));
    }

    void setRate(int rate) override
    {
        m_rate = rate;
        if (m_backend->lastSpeaker == this)
            m_backend->tts().setRate(VoiceOrder::engineRate(m_rate, m_backend->rateChangesWork()));
    }

    void speak(const QString &text) override
    {
        QTextToSpeech &tts = m_backend->tts();
        if (tts.state() == QTextToSpeech::Speaking || tts.state() == QTextToSpeech::Paused)
            tts.stop();
        // A word that failed before leaves the engine in its error state; only
        // an engine that lost its set-up cannot speak this one.
        const bool broken = tts.state() == QTextToSpeech::Error
            && (tts.errorReason() == QTextToSpeech::ErrorReason::Initialization
                || tts.errorReason() == QTextToSpeech::ErrorReason::Configuration);
        if (broken)
            throw Failure(u"The speech engine could not speak: %1"_s.arg(tts.errorString()));
        applySettings();
        m_backend->lastSpeaker = this;
        tts.say(text);
    }

    // Runs a local event loop until the engine has begun and then left the
    // Speaking state; gives up after the timeouts above and stops the speech.
    void speakAndWait(const QString &text) override
    {
        if (text.isEmpty())
            return;
        QTextToSpeech &tts = m_backend->tts();
        QEventLoop loop;
        bool began = false;
        bool ended = false;
        QString problem;
        QObject::connect(&tts, &QTextToSpeech::stateChanged, &loop, [&](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Speaking) {
                began = true;
            } else if (state == QTextToSpeech::Error) {
                problem = tts.errorString();
                loop.quit();
            } else if (began) {
                ended = true;
                loop.quit();
            }
        });
        QTimer startTimer;
        startTimer.setSingleShot(true);
        QObject::connect(&startTimer, &QTimer::timeout, &loop, [&] {
            if (!began) {
                problem = u"speech did not begin"_s;
                loop.quit();
            }
        });
        QTimer speechTimer;
        speechTimer.setSingleShot(true);
        QObject::connect(&speechTimer, &QTimer::timeout, &loop, [&] {
            problem = u"speech did not end in time"_s;
            loop.quit();
        });

        speak(text);
        startTimer.start(startTimeoutMs);
        speechTimer.start(speechTimeoutMs);
        loop.exec();
        if (!ended) {
            tts.stop();
            throw Failure(u"The speech engine could not speak: %1"_s.arg(problem));
        }
    }

private:
    void applySettings()
    {
        QTextToSpeech &tts = m_backend->tts();
        const QList<CatalogEntry> &catalog = m_backend->catalog();
        if (m_position < catalog.size()) {
            tts.setLocale(catalog[m_position].locale);
            tts.setVoice(catalog[m_position].voice);
        }
        tts.setVolume(VoiceOrder::engineVolume(m_volume));
        tts.setRate(VoiceOrder::engineRate(m_rate, m_backend->rateChangesWork()));
    }

    std::shared_ptr<Backend> m_backend;
    int m_position = 0;
    int m_volume = 100;
    int m_rate = 0;
};

} // namespace
} // namespace QtSpeech

QtSpeechEngine::QtSpeechEngine(QStringList engines) : m_engines(std::move(engines)) {}

QtSpeechEngine::~QtSpeechEngine() = default;

std::unique_ptr<SpeechVoice> QtSpeechEngine::createVoice()
{
    backend();
    return std::make_unique<QtSpeech::Voice>(m_backend);
}

QString QtSpeechEngine::engineName()
{
    return backend().tts().engine();
}

QTextToSpeech &QtSpeechEngine::textToSpeech()
{
    return backend().tts();
}

QtSpeech::Backend &QtSpeechEngine::backend()
{
    if (m_backend)
        return *m_backend;

    QStringList tried;
    QStringList problems;
    std::unique_ptr<QTextToSpeech> lastResort;
    const auto attempt = [&](const QString &name) {
        if (m_backend || (!name.isEmpty() && tried.contains(name)))
            return;
        auto tts = name.isEmpty() ? std::make_unique<QTextToSpeech>() : std::make_unique<QTextToSpeech>(name);
        tried.append(tts->engine().isEmpty() ? name : tts->engine());
        if (const QString problem = problemWith(*tts, name); !problem.isEmpty()) {
            problems.append(problem);
            return;
        }
        if (tts->engine() == flite && m_engines.isEmpty())
            lastResort = std::move(tts);
        else
            m_backend = std::make_shared<QtSpeech::Backend>(std::move(tts));
    };

    if (m_engines.isEmpty()) {
        attempt(QString());
        QStringList others = QTextToSpeech::availableEngines();
        others.removeAll(flite);
        for (const QString &name : std::as_const(others))
            attempt(name);
        if (!lastResort && QTextToSpeech::availableEngines().contains(flite))
            attempt(flite);
    } else {
        for (const QString &name : std::as_const(m_engines))
            attempt(name);
    }
    if (!m_backend && lastResort)
        m_backend = std::make_shared<QtSpeech::Backend>(std::move(lastResort));
    if (!m_backend) {
        const QString why = problems.isEmpty() ? u"no speech engine is installed"_s : problems.join(u"; ");
        throw Failure(u"No speech engine works (%1)."_s.arg(why));
    }
    return *m_backend;
}
