// SPDX-License-Identifier: GPL-3.0-or-later
#include "flitespeech.h"

#include "speechhelper/soundstart.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>

extern "C" {
#include <flite/cst_audio.h>
#include <flite/flite.h>
// Each voice library's entry point; flite's headers leave them to the caller.
cst_voice *register_cmu_us_awb(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
cst_voice *register_cmu_us_kal(const char *voxdir);
}

using namespace Qt::StringLiterals;

namespace {

struct BuiltInVoice
{
    const char *name;
    QLocale::Territory territory;
    int sampleRate;
    cst_voice *(*load)(const char *);
};

// awb speaks with a Scottish accent, the others with an American one.
constexpr BuiltInVoice kVoices[] = {
    {"awb", QLocale::UnitedKingdom, 16000, register_cmu_us_awb},
    {"rms", QLocale::UnitedStates, 16000, register_cmu_us_rms},
    {"slt", QLocale::UnitedStates, 16000, register_cmu_us_slt},
    {"kal16", QLocale::UnitedStates, 16000, register_cmu_us_kal16},
    {"kal", QLocale::UnitedStates, 8000, register_cmu_us_kal},
};

// flite hands over a word's sound piece by piece while it makes it; each
// piece goes to the one word being made.
std::function<bool(const cst_wave &, int start, int size)> pieceTaker;

int takePiece(const cst_wave *wave, int start, int size, int, cst_audio_streaming_info *)
{
    return !pieceTaker || pieceTaker(*wave, start, size) ? CST_AUDIO_STREAM_CONT : CST_AUDIO_STREAM_STOP;
}

// Voices are loaded when first spoken with, and kept: loading one takes
// longer than a word.
cst_voice *loaded(qsizetype position)
{
    static cst_voice *voices[std::size(kVoices)] = {};
    static const bool initialised = [] {
        flite_init();
        return true;
    }();
    Q_UNUSED(initialised);
    if (!voices[position]) {
        cst_voice *voice = kVoices[position].load(nullptr);
        cst_audio_streaming_info *streaming = new_audio_streaming_info();
        streaming->asc = takePiece;
        // The voice owns it from here.
        feat_set(voice->features, "streaming_info", audio_streaming_info_val(streaming));
        voices[position] = voice;
    }
    return voices[position];
}

std::span<const qint16> samplesOf(const QByteArray &sound)
{
    return {reinterpret_cast<const qint16 *>(sound.constData()), size_t(sound.size() / 2)};
}

// Where sound goes: a PulseAudio client plays on the sink PULSE_SINK names,
// but Qt names the default device itself, which would skip that choice.
QAudioDevice outputDevice()
{
    const QByteArray wanted = qgetenv("PULSE_SINK");
    if (!wanted.isEmpty()) {
        for (const QAudioDevice &device : QMediaDevices::audioOutputs()) {
            if (device.id() == wanted)
                return device;
        }
    }
    return QMediaDevices::defaultAudioOutput();
}

// The server plays a stream about a buffer's worth after it gets it. Its
// own buffer would hold two seconds; 40 ms keeps the start and the end of a
// word close to its sound (40 ms in Qt 6.4's pull mode played nothing, hence
// push mode).
constexpr qint64 kBufferUs = 40'000;
constexpr int kFeedMs = 10;
// How far ahead of what is heard a word is handed over: far enough that a
// late helper leaves no gap in it, near enough that a volume change is heard
// while it plays.
constexpr qint64 kAheadMs = 200;
// An output stays open between words, and its object is deleted only when
// the sound device changes: closing it drops what the server has not played
// yet, and Qt 6.4 calls into the object when the server reports its sound
// played out, even after the object was deleted (the helper crashed that way
// once in a few hundred words). Left idle this long, an output is closed so
// that the sound device can rest.
constexpr int kIdleMs = 30'000;

// A sound output for one sample rate, kept for the helper's life.
struct Output
{
    QAudioDevice device;
    std::unique_ptr<QAudioSink> sink;
    QIODevice *input = nullptr; // while open
};

} // namespace

struct FliteSpeech::Playback
{
    // Sample rate -> its output; the map keeps each where it is.
    std::map<int, Output> outputs;
    Output *output = nullptr; // the word's
    // The word from its first sound (soundStart) on, `handedOver` bytes of
    // it handed over; until that sound is found, all made so far (flite's
    // pause lasts a fraction of a second).
    QByteArray sound;
    qsizetype handedOver = 0;
    bool soundFound = false;
    bool made = false;
    QTimer feed;
    QTimer drained;
    QElapsedTimer playing; // since the word began
    QTimer idle;
    SpeechBackend::Listener listener;
    bool began = false;
    bool outputLost = false;
    int rate = 0; // the word's
    // Words are made one after the other on `maker`, the latest numbered
    // `word`; what is made comes back to `receiver`, on this thread.
    std::atomic<quint64> word = 0;
    QObject receiver;
    QThread maker;
    QObject makerContext;

    bool open() const { return output && output->input; }
};

FliteSpeech::FliteSpeech() : m_playback(std::make_unique<Playback>())
{
    Playback &playback = *m_playback;
    playback.feed.setInterval(kFeedMs);
    QObject::connect(&playback.feed, &QTimer::timeout, [this] { feed(); });
    playback.drained.setSingleShot(true);
    QObject::connect(&playback.drained, &QTimer::timeout, [this] { finish(); });
    playback.makerContext.moveToThread(&playback.maker);
    playback.maker.start();
    playback.idle.setSingleShot(true);
    playback.idle.setInterval(kIdleMs);
    QObject::connect(&playback.idle, &QTimer::timeout, [this] {
        for (auto &[rate, output] : m_playback->outputs) {
            if (output.input)
                output.sink->stop();
            output.input = nullptr;
        }
    });
}

FliteSpeech::~FliteSpeech()
{
    discard();
    m_playback->maker.quit();
    m_playback->maker.wait();
}

QList<ListedVoice> FliteSpeech::voices()
{
    QList<ListedVoice> listed;
    for (const BuiltInVoice &voice : kVoices)
        listed.append({QLocale(QLocale::English, voice.territory), QString::fromLatin1(voice.name)});
    return listed;
}

void FliteSpeech::speak(qsizetype voice, const QString &text, const VoiceSettings &settings,
                        SpeechBackend::Listener progress)
{
    discard();
    Playback &playback = *m_playback;
    playback.listener = std::move(progress);
    if (voice < 0 || voice >= qsizetype(std::size(kVoices))) {
        playback.listener(SpeechProgress::Failed, u"flite has no voice %1"_s.arg(voice));
        return;
    }
    const int rate = kVoices[voice].sampleRate;
    playback.output = &playback.outputs[rate];
    playback.sound.clear();
    playback.handedOver = 0;
    playback.soundFound = false;
    playback.made = false;
    playback.idle.stop();
    if (!openOutput(rate)) {
        fail(u"The sound output could not be opened"_s, true);
        return;
    }
    playback.output->sink->setVolume(engineVolume(settings.volume));

    // The word plays while the rest of it is made.
    playback.rate = rate;
    const quint64 word = ++playback.word;
    const double stretch = VoiceOrder::durationStretch(settings.rate);
    QMetaObject::invokeMethod(&playback.makerContext, [this, word, voice, text, stretch] {
        Playback &shared = *m_playback;
        const auto current = [&] { return shared.word == word; };
        if (!current())
            return;
        const bool said = synthesise(
            voice, text, stretch,
            [&](std::span<const qint16> piece, int pieceRate) {
                QByteArray bytes(reinterpret_cast<const char *>(piece.data()), qsizetype(piece.size()) * 2);
                QMetaObject::invokeMethod(&shared.receiver,
                                          [this, word, bytes, pieceRate] { take(word, bytes, pieceRate); });
            },
            current);
        QMetaObject::invokeMethod(&shared.receiver, [this, word, said] { made(word, said); });
    });
}

void FliteSpeech::take(quint64 word, const QByteArray &piece, int pieceRate)
{
    Playback &now = *m_playback;
    if (word != now.word || !now.open() || pieceRate != now.rate)
        return;
    now.sound.append(piece);
    if (!now.soundFound) {
        const std::optional<qsizetype> first = soundStart(samplesOf(now.sound), now.rate, false);
        if (!first)
            return;
        now.sound.remove(0, *first * 2);
        now.soundFound = true;
    }
    feed();
}

void FliteSpeech::made(quint64 word, bool said)
{
    Playback &playback = *m_playback;
    if (word != playback.word)
        return;
    if (!said) {
        fail(u"flite could not say the word"_s);
        return;
    }
    if (!playback.open())
        return;
    if (!playback.soundFound) {
        // It never grew loud: from its first sound, if it has one.
        playback.sound.remove(0, *soundStart(samplesOf(playback.sound), playback.rate, true) * 2);
        playback.soundFound = true;
    }
    playback.made = true;
    feed();
}

bool FliteSpeech::synthesise(qsizetype voice, const QString &text, double durationStretch, const PieceTaker &take,
                             const std::function<bool()> &goOn)
{
    if (voice < 0 || voice >= qsizetype(std::size(kVoices)))
        return false;
    cst_voice *engine = loaded(voice);
    feat_set_float(engine->features, "duration_stretch", float(durationStretch));
    pieceTaker = [&take, &goOn](const cst_wave &wave, int start, int size) {
        if (goOn && !goOn())
            return false;
        if (wave.num_channels == 1)
            take(std::span<const qint16>(wave.samples + start, size_t(size)), wave.sample_rate);
        return true;
    };
    // flite draws the noise of unvoiced sounds from rand(); started alike,
    // a repeated word sounds the same as it did the first time.
    std::srand(1);
    cst_utterance *utterance = flite_synth_text(text.toUtf8().constData(), engine);
    pieceTaker = nullptr;
    if (!utterance)
        return false;
    delete_utterance(utterance);
    return true;
}

bool FliteSpeech::openOutput(int rate)
{
    Output &output = *m_playback->output;
    const QAudioDevice device = outputDevice();
    if (output.sink && output.device != device) {
        // Another device was chosen since the last word.
        output.sink->stop();
        output.sink.reset();
        output.input = nullptr;
    }
    if (!output.sink) {
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        output.device = device;
        output.sink = std::make_unique<QAudioSink>(device, format);
        output.sink->setBufferSize(format.bytesForDuration(kBufferUs));
        QAudioSink *sink = output.sink.get();
        QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, &output](QAudio::State state) {
            if (state != QAudio::StoppedState || output.sink->error() == QAudio::NoError)
                return;
            output.input = nullptr;
            if (m_playback->output == &output && m_playback->listener)
                fail(u"The sound output could not play the word"_s, true);
        });
    }
    if (!output.input) {
        output.input = output.sink->start();
        if (output.input && output.sink->error() == QAudio::OpenError)
            output.input = nullptr;
    }
    return output.input != nullptr;
}

void FliteSpeech::feed()
{
    Playback &playback = *m_playback;
    if (!playback.open())
        return;
    const QAudioFormat format = playback.output->sink->format();
    const qint64 aheadMs = kAheadMs + (playback.began ? playback.playing.elapsed() : 0);
    const qsizetype due = std::min<qsizetype>(playback.sound.size(), format.bytesForDuration(aheadMs * 1000));
    if (playback.handedOver < due) {
        const qint64 written = playback.output->input->write(playback.sound.constData() + playback.handedOver,
                                                             due - playback.handedOver);
        if (written > 0)
            playback.handedOver += written;
    }
    if (!playback.began && (playback.handedOver > 0 || playback.made)) {
        // A word without a sound has still been said.
        playback.began = true;
        playback.playing.start();
        playback.listener(SpeechProgress::Began, {});
    }
    if (!playback.open() || !playback.made)
        return;
    if (playback.handedOver < playback.sound.size()) {
        playback.feed.start();
        return;
    }
    playback.feed.stop();
    // All of it is with the server; it ends as long after its first sound
    // as it lasts, and a buffer's worth later than that at the most.
    const qint64 lastsMs = format.durationForBytes(int(playback.sound.size())) / 1000;
    const qint64 bufferMs = format.durationForBytes(int(playback.output->sink->bufferSize())) / 1000;
    playback.drained.start(int(std::max<qint64>(0, lastsMs - playback.playing.elapsed()) + bufferMs));
}

void FliteSpeech::finish()
{
    Playback &playback = *m_playback;
    playback.output = nullptr;
    playback.idle.start();
    if (playback.began) {
        playback.began = false;
        if (playback.listener)
            playback.listener(SpeechProgress::Ended, {});
    }
}

void FliteSpeech::fail(const QString &problem, bool outputLost)
{
    Playback &playback = *m_playback;
    playback.outputLost = playback.outputLost || outputLost;
    const SpeechBackend::Listener listener = std::exchange(playback.listener, nullptr);
    stop();
    if (listener)
        listener(SpeechProgress::Failed, problem);
}

void FliteSpeech::stop()
{
    Playback &playback = *m_playback;
    ++playback.word;
    playback.feed.stop();
    playback.drained.stop();
    if (playback.open()) {
        // Cut short: what the server holds of it goes too.
        playback.output->sink->stop();
        playback.output->input = nullptr;
    }
    finish();
}

void FliteSpeech::discard()
{
    m_playback->listener = nullptr;
    stop();
}

bool FliteSpeech::outputLost() const
{
    return m_playback->outputLost;
}

void FliteSpeech::setVolume(int volume)
{
    if (m_playback->open())
        m_playback->output->sink->setVolume(engineVolume(volume));
}
