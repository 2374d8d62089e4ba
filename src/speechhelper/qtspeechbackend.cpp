// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtspeechbackend.h"

#include "core/failure.h"
#include "speechhelper/flitespeech.h"
#include "speechhelper/voiceorder.h"

#include <QProcess>
#include <QTextToSpeech>
#include <QVoice>

#ifdef Q_OS_LINUX
#include <locale.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString flite = u"flite"_s;
const QString speechd = u"speechd"_s;

// How long speech-dispatcher may take to start: it loads its voices first.
constexpr int kDaemonStartMs = 10000;

// speech-dispatcher will not start in a locale that is not installed on the
// machine ("setlocale: No such file or directory"), and Qt starts it with the
// program's environment, so a LANG naming such a locale would silence the
// program. Then it is started here, in a locale every system has; the
// learner's locale still orders the voices. The speech-dispatcher that runs
// already, or one at an address of the user's own, is left alone.
void startSpeechDispatcherIfLocaleMissing()
{
#ifdef Q_OS_LINUX
    if (const locale_t named = newlocale(LC_ALL_MASK, "", locale_t(nullptr))) {
        freelocale(named);
        return;
    }
    if (qEnvironmentVariableIsSet("SPEECHD_ADDRESS"))
        return;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    QProcess daemon;
    daemon.setProcessEnvironment(environment);
    daemon.setStandardOutputFile(QProcess::nullDevice());
    daemon.setStandardErrorFile(QProcess::nullDevice());
    // --spawn: start unless one runs already, and return once it serves.
    daemon.start(u"speech-dispatcher"_s, {u"--spawn"_s});
    if (daemon.waitForStarted(kDaemonStartMs) && !daemon.waitForFinished(kDaemonStartMs))
        daemon.kill();
#endif
}

// Why the engine named `requested` cannot be used; empty when it can.
QString problemWith(const QTextToSpeech &tts, const QString &requested)
{
    if (tts.engine().isEmpty())
        return u"%1: not installed"_s.arg(requested);
    if (tts.state() == QTextToSpeech::Error)
        return u"%1: %2"_s.arg(tts.engine(), tts.errorString());
    if (tts.availableLocales().isEmpty())
        return u"%1: offers no voices"_s.arg(tts.engine());
    return {};
}

// One voice of the program's voice list: one of Qt's engine, or one of
// flite's built in (`builtIn`, its position in FliteSpeech::voices()).
struct CatalogEntry
{
    QLocale locale;
    QVoice voice;
    qsizetype builtIn = -1;
};

// Qt's text to speech and flite's built-in voices with the program's voice
// list. Either may be missing, not both.
class QtSpeechBackend : public SpeechBackend
{
public:
    QtSpeechBackend(std::unique_ptr<QTextToSpeech> tts, std::unique_ptr<FliteSpeech> builtIn)
        : m_tts(std::move(tts)), m_builtIn(std::move(builtIn))
    {
        buildCatalog();
        if (!m_tts)
            return;
        QObject::connect(m_tts.get(), &QTextToSpeech::stateChanged, m_tts.get(), [this](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Speaking) {
                m_began = true;
                report(SpeechProgress::Began);
            } else if (state == QTextToSpeech::Error) {
                m_began = false;
                report(SpeechProgress::Failed, m_tts->errorString());
            } else if (m_began) {
                // A Ready left over from stopping the previous text comes
                // before this one began and is not its end.
                m_began = false;
                report(SpeechProgress::Ended);
            }
        });
    }

    QString name() const override { return m_tts ? m_tts->engine() : flite; }
    QStringList voices() override { return m_names; }

    void speak(const QString &text, const VoiceSettings &settings) override
    {
        const bool known = settings.position >= 0 && settings.position < m_catalog.size();
        const qsizetype builtIn = known ? m_catalog[settings.position].builtIn : -1;
        if (m_builtIn)
            m_builtIn->discard();
        if (builtIn >= 0 || !m_tts) {
            if (m_tts)
                stopQt();
            m_builtIn->speak(std::max<qsizetype>(builtIn, 0), text, settings,
                             [this](SpeechProgress progress, const QString &problem) { report(progress, problem); });
            return;
        }
        QTextToSpeech &tts = *m_tts;
        if (tts.state() == QTextToSpeech::Speaking || tts.state() == QTextToSpeech::Paused)
            tts.stop();
        // A word that failed before leaves the engine in its error state; only
        // an engine that lost its set-up cannot speak this one.
        const bool broken = tts.state() == QTextToSpeech::Error
            && (tts.errorReason() == QTextToSpeech::ErrorReason::Initialization
                || tts.errorReason() == QTextToSpeech::ErrorReason::Configuration);
        if (broken)
            throw Failure(u"The speech engine could not speak: %1"_s.arg(tts.errorString()));
        if (known) {
            tts.setLocale(m_catalog[settings.position].locale);
            tts.setVoice(m_catalog[settings.position].voice);
        }
        setVolume(settings.volume);
        setRate(settings.rate);
        m_began = false;
        tts.say(text);
    }

    void stop() override
    {
        if (m_builtIn)
            m_builtIn->stop();
        if (m_tts)
            m_tts->stop();
    }
    void setVolume(int volume) override
    {
        if (m_builtIn)
            m_builtIn->setVolume(volume);
        if (m_tts)
            m_tts->setVolume(engineVolume(volume));
    }
    bool outputLost() const override { return m_builtIn && m_builtIn->outputLost(); }
    // flite's built-in voices take the rate with each word.
    void setRate(int rate) override
    {
        if (m_tts)
            m_tts->setRate(VoiceOrder::engineRate(rate, m_tts->engine() != flite));
    }

private:
    // Ends Qt's word without its end being taken for the next word's.
    void stopQt()
    {
        m_began = false;
        if (m_tts->state() == QTextToSpeech::Speaking || m_tts->state() == QTextToSpeech::Paused)
            m_tts->stop();
    }

    // The engine lists its voices per locale; they are gathered once, because
    // the engine itself reads them only when it starts. flite's built-in
    // voices stand in for the same voices of the engine (speech-dispatcher's
    // flite module speaks kal16, Qt's flite engine all of them).
    void buildCatalog()
    {
        QList<ListedVoice> listed;
        QList<CatalogEntry> entries;
        QStringList builtInNames;
        if (m_builtIn) {
            const QList<ListedVoice> builtIn = FliteSpeech::voices();
            for (qsizetype i = 0; i < builtIn.size(); ++i) {
                listed.append(builtIn[i]);
                entries.append({builtIn[i].locale, QVoice(), i});
                builtInNames.append(builtIn[i].name);
            }
        }

        const QLocale learner = VoiceOrder::learnerLocale(QLocale::system());
        QLocale preferredLocale = learner;
        QString preferredName;
        std::optional<QLocale> user;
        if (m_tts) {
            preferredLocale = m_tts->locale();
            preferredName = m_tts->voice().name();
            const QList<QLocale> locales = m_tts->availableLocales();
            for (const QLocale &locale : locales) {
                m_tts->setLocale(locale);
                for (const QVoice &voice : m_tts->availableVoices()) {
                    if (locale.language() == QLocale::English
                        && builtInNames.contains(voice.name(), Qt::CaseInsensitive))
                        continue;
                    listed.append({locale, voice.name()});
                    entries.append({locale, voice});
                }
            }
            user = VoiceOrder::userLocale(locales, learner);
            if (user) {
                m_tts->setLocale(*user);
                preferredLocale = *user;
                preferredName = m_tts->voice().name();
            }
        }
        if (!builtInNames.isEmpty() && learner.language() == QLocale::English)
            user = learner;
        qsizetype preferred = -1;
        for (qsizetype i = 0; i < listed.size() && preferred < 0; ++i) {
            if (entries[i].builtIn < 0 && listed[i].locale.name() == preferredLocale.name()
                && listed[i].name == preferredName)
                preferred = i;
        }

        // Without a voice in the learner's language, the engine's default
        // voice tells which language leads. Qt's own flite engine drops words
        // with every voice but its default, awb ("Audio streaming error.",
        // and at times a crash after it), so there its default leads.
        const bool byClarity = !m_tts || m_tts->engine() != flite;
        for (const qsizetype position :
             VoiceOrder::arrange(listed, preferred, user ? learner : preferredLocale, byClarity)) {
            m_catalog.append(entries[position]);
            m_names.append(VoiceOrder::displayName(listed[position]));
        }
    }

    std::unique_ptr<QTextToSpeech> m_tts;
    std::unique_ptr<FliteSpeech> m_builtIn;
    QList<CatalogEntry> m_catalog;
    QStringList m_names;
    bool m_began = false;
};

} // namespace

std::unique_ptr<SpeechBackend> startQtSpeechBackend(const QStringList &engines)
{
    std::unique_ptr<QTextToSpeech> chosen;
    QStringList tried;
    QStringList problems;
    const auto attempt = [&](const QString &name) {
        if (chosen || tried.contains(name))
            return;
        if (name == speechd)
            startSpeechDispatcherIfLocaleMissing();
        auto tts = std::make_unique<QTextToSpeech>(name);
        tried.append(name);
        if (const QString problem = problemWith(*tts, name); !problem.isEmpty())
            problems.append(problem);
        else
            chosen = std::move(tts);
    };

    // Qt's flite engine is left out beside the built-in voices: it would add
    // the same ones, losing words, and load flite a second time in this
    // process, both working on the library's one set of voices.
    const bool builtInFlite = engines.isEmpty();
    QStringList names = engines;
    if (builtInFlite) {
        names = QTextToSpeech::availableEngines();
        names.removeAll(flite);
        if (names.removeAll(speechd) > 0)
            names.prepend(speechd);
    }
    for (const QString &name : std::as_const(names))
        attempt(name);
    std::unique_ptr<FliteSpeech> builtIn;
    if (builtInFlite)
        builtIn = std::make_unique<FliteSpeech>();
    if (!chosen && !builtIn) {
        const QString why = problems.isEmpty() ? u"no speech engine is installed"_s : problems.join(u"; ");
        throw Failure(u"No speech engine works (%1)."_s.arg(why));
    }
    return std::make_unique<QtSpeechBackend>(std::move(chosen), std::move(builtIn));
}
