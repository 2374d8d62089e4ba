// SPDX-License-Identifier: GPL-3.0-or-later
#include "flitespeech.h"

#include "audio/soundstart.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <functional>
#include <iterator>

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
std::function<void(const cst_wave &, int start, int size)> pieceTaker;

int takePiece(const cst_wave *wave, int start, int size, int, cst_audio_streaming_info *)
{
    if (pieceTaker)
        pieceTaker(*wave, start, size);
    return CST_AUDIO_STREAM_CONT;
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

// The sound is handed to Qt's audio output as fast as it takes it, so that
// the sound server starts playing at once instead of waiting for its buffer
// to fill period by period. A word has ended when all of it was handed over
// and a buffer's worth has played since: the server holds no more than that.
// The server's own buffer would hold two seconds; 40 ms keeps the start and
// the end of a word close to its sound (40 ms in Qt 6.4's pull mode played
// nothing, hence push mode).
constexpr qint64 kBufferUs = 40'000;
constexpr int kFeedMs = 10;

} // namespace

struct FliteSpeech::Playback
{
    // The word from its first sound (soundStart) on, `handedOver` bytes of
    // it handed over; before that sound, the last lead-in's worth of pause.
    QByteArray sound;
    qsizetype handedOver = 0;
    bool soundFound = false;
    bool made = false;
    std::unique_ptr<QAudioSink> sink;
    QIODevice *input = nullptr;
    QTimer feed;
    QTimer drained;
    SpeechBackend::Listener listener;
    bool began = false;
};

FliteSpeech::FliteSpeech() : m_playback(std::make_unique<Playback>())
{
    m_playback->feed.setInterval(kFeedMs);
    QObject::connect(&m_playback->feed, &QTimer::timeout, [this] { feed(); });
    m_playback->drained.setSingleShot(true);
    QObject::connect(&m_playback->drained, &QTimer::timeout, [this] { stop(); });
}

FliteSpeech::~FliteSpeech()
{
    discard();
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
        playback.listener(SpeechBackend::Progress::Failed, u"flite has no voice %1"_s.arg(voice));
        return;
    }

    QAudioFormat format;
    format.setSampleRate(kVoices[voice].sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    playback.sound.clear();
    playback.handedOver = 0;
    playback.soundFound = false;
    playback.made = false;
    playback.sink = std::make_unique<QAudioSink>(outputDevice(), format);
    playback.sink->setBufferSize(format.bytesForDuration(kBufferUs));
    playback.sink->setVolume(VoiceOrder::engineVolume(settings.volume));
    QAudioSink *sink = playback.sink.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, sink](QAudio::State state) {
        if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
            // It is still in its signal: gone once that has returned.
            m_playback->sink.release()->deleteLater();
            fail(u"The sound output could not play the word"_s);
        }
    });
    playback.input = playback.sink->start();
    if (!playback.input || playback.sink->error() == QAudio::OpenError) {
        fail(u"The sound output could not be opened"_s);
        return;
    }

    // The word plays while the rest of it is made.
    pieceTaker = [this, rate = format.sampleRate()](const cst_wave &wave, int start, int size) {
        Playback &now = *m_playback;
        if (!now.sink || wave.num_channels != 1 || wave.sample_rate != rate)
            return;
        now.sound.append(reinterpret_cast<const char *>(wave.samples + start), qsizetype(size) * 2);
        if (!now.soundFound) {
            const std::span<const qint16> samples(reinterpret_cast<const qint16 *>(now.sound.constData()),
                                                  size_t(now.sound.size() / 2));
            const qsizetype first = soundStart(samples, rate);
            now.soundFound = first < qsizetype(samples.size());
            const qsizetype keep = now.soundFound ? qsizetype(samples.size()) - first
                                                  : std::min<qsizetype>(samples.size(), rate / 100);
            now.sound.remove(0, now.sound.size() - keep * 2);
            if (!now.soundFound)
                return;
        }
        feed();
    };
    cst_voice *engine = loaded(voice);
    feat_set_float(engine->features, "duration_stretch", float(VoiceOrder::durationStretch(settings.rate)));
    cst_utterance *utterance = flite_synth_text(text.toUtf8().constData(), engine);
    pieceTaker = nullptr;
    if (!utterance) {
        fail(u"flite could not say the word"_s);
        return;
    }
    delete_utterance(utterance);
    if (!playback.sink)
        return;
    if (!playback.soundFound)
        playback.sound.clear();
    playback.made = true;
    feed();
    if (playback.sink)
        playback.feed.start();
}

void FliteSpeech::feed()
{
    Playback &playback = *m_playback;
    while (playback.sink && playback.handedOver < playback.sound.size()) {
        const qsizetype room
            = std::min<qsizetype>(playback.sink->bytesFree(), playback.sound.size() - playback.handedOver);
        if (room <= 0)
            return;
        const qint64 written = playback.input->write(playback.sound.constData() + playback.handedOver, room);
        if (written <= 0)
            return;
        playback.handedOver += written;
        if (!playback.began) {
            playback.began = true;
            playback.listener(SpeechBackend::Progress::Began, {});
        }
    }
    if (!playback.sink || !playback.made)
        return;
    if (!playback.began) {
        // A word without a sound has still been said.
        playback.began = true;
        playback.listener(SpeechBackend::Progress::Began, {});
    }
    if (!playback.drained.isActive()) {
        playback.feed.stop();
        playback.drained.start(int(playback.sink->format().durationForBytes(playback.sink->bufferSize()) / 1000));
    }
}

void FliteSpeech::fail(const QString &problem)
{
    Playback &playback = *m_playback;
    const SpeechBackend::Listener listener = std::exchange(playback.listener, nullptr);
    stop();
    if (listener)
        listener(SpeechBackend::Progress::Failed, problem);
}

void FliteSpeech::stop()
{
    Playback &playback = *m_playback;
    playback.feed.stop();
    playback.drained.stop();
    playback.input = nullptr;
    if (playback.sink) {
        // Unheard before it is stopped, so that its stop is not taken for a
        // failure.
        playback.sink->disconnect();
        playback.sink->stop();
        playback.sink.reset();
    }
    if (playback.began) {
        playback.began = false;
        if (playback.listener)
            playback.listener(SpeechBackend::Progress::Ended, {});
    }
}

void FliteSpeech::discard()
{
    m_playback->listener = nullptr;
    stop();
}

void FliteSpeech::setVolume(int volume)
{
    if (m_playback->sink)
        m_playback->sink->setVolume(VoiceOrder::engineVolume(volume));
}
