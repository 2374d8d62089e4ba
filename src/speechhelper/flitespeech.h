// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speechhelper/speechbackend.h"
#include "speechhelper/voiceorder.h"

#include <QList>
#include <functional>
#include <memory>
#include <span>

// flite's English voices, synthesised in the speech helper itself and
// played through Qt's audio output. They are the clearest English voices
// Debian has; speech-dispatcher reaches only kal16 of them without a change
// to its configuration, and Qt's own flite engine drops words. A word starts
// playing while flite still makes the rest of it, on a thread of its own:
// a long word takes seconds to make, and meanwhile the helper answers the
// program and can cut the word short.
class FliteSpeech
{
public:
    FliteSpeech();
    ~FliteSpeech();
    FliteSpeech(const FliteSpeech &) = delete;
    FliteSpeech &operator=(const FliteSpeech &) = delete;

    // The voices built in, as listed.
    static QList<ListedVoice> voices();

    // A piece of a word's sound: 16-bit mono samples at `sampleRate`.
    using PieceTaker = std::function<void(std::span<const qint16> piece, int sampleRate)>;
    // Makes `text`'s sound in voice `voice`, handing it to `take` piece by
    // piece while flite makes the rest, as long as `goOn` holds; false when
    // flite cannot say it. A word sounds the same each time it is said,
    // whatever was said before.
    static bool synthesise(qsizetype voice, const QString &text, double durationStretch, const PieceTaker &take,
                           const std::function<bool()> &goOn = {});

    // Ends what is being said and plays `text` in voice `voice` (a position
    // of voices()); tells `progress` how it goes.
    void speak(qsizetype voice, const QString &text, const VoiceSettings &settings, SpeechBackend::Listener progress);
    // Ends what is being said; the listener hears that it ended.
    void stop();
    // Ends what is being said without telling the listener, as when another
    // word takes its place.
    void discard();
    // Also for the word being said, heard within a fifth of a second; a rate
    // applies from the next word.
    void setVolume(int volume);
    // A word failed because the sound output could not be opened or stopped
    // playing: the server went away, and Qt's sound system may not return.
    bool outputLost() const;

private:
    // Opens the output for this sample rate; false when it cannot be.
    bool openOutput(int rate);
    // A piece of word `word` made, and all of it made (`said` unless flite
    // could not say it); those of a word cut short are dropped.
    void take(quint64 word, const QByteArray &piece, int pieceRate);
    void made(quint64 word, bool said);
    void feed();
    // The word is over: the listener hears that it ended.
    void finish();
    void fail(const QString &problem, bool outputLost = false);

    struct Playback;
    std::unique_ptr<Playback> m_playback;
};
