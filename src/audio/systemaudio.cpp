#include "systemaudio.h"

#include "shell/failure.h"

namespace {
class NoSpeechEngine : public SpeechEngine
{
public:
    std::unique_ptr<SpeechVoice> createVoice() override { throw Failure(QStringLiteral("No speech engine")); }
};
class NoSoundPlayer : public SoundPlayer
{
public:
    void setVolume(int) override {}
    PlayState playState() const override { return PlayState::Stopped; }
    void stop() override {}
    void setSource(const QString &) override {}
    void play() override {}
    void close() override {}
};
} // namespace

std::unique_ptr<SpeechEngine> createSystemSpeechEngine() { return std::make_unique<NoSpeechEngine>(); }
std::unique_ptr<SoundPlayer> createSystemSoundPlayer() { return std::make_unique<NoSoundPlayer>(); }
