// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemaudio.h"

#include "audio/helperspeechengine.h"
#include "core/programmodule.h"

using namespace Qt::StringLiterals;

namespace {

// The sound player of the sound module (QtSoundPlayer), loaded when it is
// first told anything: the first sound, not the start of the program, loads
// Qt Multimedia.
class ModuleSoundPlayer : public SoundPlayer
{
public:
    void setVolume(int volume) override { player().setVolume(volume); }
    PlayState playState() const override { return m_player ? m_player->playState() : PlayState::Stopped; }
    void stop() override { player().stop(); }
    void setSource(const QString &path) override { player().setSource(path); }
    void play() override { player().play(); }
    void close() override { player().close(); }

private:
    SoundPlayer &player()
    {
        if (!m_player) {
            using NewPlayer = SoundPlayer *(*)();
            const auto newPlayer
                = reinterpret_cast<NewPlayer>(programModuleFunction(u"sound"_s, "lexidrillNewSoundPlayer"));
            m_player.reset(newPlayer());
        }
        return *m_player;
    }

    std::unique_ptr<SoundPlayer> m_player;
};

} // namespace

std::unique_ptr<SpeechEngine> createSystemSpeechEngine(std::function<void(bool)> busy)
{
    SpeechHelper helper = SpeechHelper::ofProgram();
    helper.keepSpare = true;
    return std::make_unique<HelperSpeechEngine>(std::move(helper), SpeechLimits(), std::move(busy));
}

std::unique_ptr<SoundPlayer> createSystemSoundPlayer()
{
    return std::make_unique<ModuleSoundPlayer>();
}
