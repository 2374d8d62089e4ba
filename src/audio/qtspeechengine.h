#pragma once

#include "audio/speechengine.h"

#include <QString>
#include <QStringList>

#include <memory>

class QTextToSpeech;

namespace QtSpeech {
class Backend;
}

// The speech engine over Qt's text to speech.
//
// One QTextToSpeech serves every voice object of the program: starting one
// takes seconds (the engine connects and lists its voices), far too long to
// do for every word. Each voice object keeps its own voice, volume and rate
// and applies them when it speaks; speaking with one voice object ends what
// another was saying, so words never overlap. speakAndWait() runs a local
// event loop until the engine has spoken (so window events are handled
// meanwhile) and gives up after a timeout.
//
// The engine is chosen on first use: the platform's default one when it
// works, else the others, with flite last because Debian's build of it stops
// with "Audio streaming error." on many words at any rate but the normal one
// (so there every rate is spoken at the normal pace). When none works,
// createVoice() throws, and tries again on each later call.
class QtSpeechEngine : public SpeechEngine
{
public:
    // `engines`: the engines to try in order; empty for the choice above.
    explicit QtSpeechEngine(QStringList engines = {});
    ~QtSpeechEngine() override;

    std::unique_ptr<SpeechVoice> createVoice() override;

    // The name of the engine in use ("speechd", "flite"...); throws Failure
    // when none works.
    QString engineName();
    // The shared engine itself, for measuring and testing.
    QTextToSpeech &textToSpeech();

private:
    QtSpeech::Backend &backend();

    QStringList m_engines;
    std::shared_ptr<QtSpeech::Backend> m_backend;
};
