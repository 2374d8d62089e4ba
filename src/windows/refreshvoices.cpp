// SPDX-License-Identifier: GPL-3.0-or-later
#include "refreshvoices.h"

#include "audio/speakword.h"
#include "core/errorreport.h"
#include "core/settingconversions.h"
#include "core/settingkeys.h"
#include "program/programstate.h"
#include "windows/form3.h"
#include "windows/navigator.h"

#include <QComboBox>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// A list position is a 16-bit whole number; halves go to the even neighbour.
int listPosition(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw Failure(u"Overflow"_s);
    return int(rounded);
}

} // namespace

void RefreshVoices(ProgramState &state, Navigator &navigator, bool showDone)
{
    // The silent refresh does not hold the window while the engine starts:
    // the main window's load step refreshes the list once the start has ended.
    if (!showDone && state.speech().voicesPending())
        return;
    Steps s(state.prompts(), u"modDictionary", u"RefreshVoices");
    std::unique_ptr<SpeechVoice> enumeration;
    s.step(100, [&] { enumeration = state.speech().createVoice(); });
    // The first touch of the list loads the options window, whose own load
    // step refreshes the list before this call rebuilds it.
    s.step(102, [&] { navigator.audioOptions().clearVoices(); });
    QStringList voices;
    // Refresh List asks the engine anew; the rest read the last list.
    s.step(104, [&] { voices = showDone ? state.speech().voicesAnew() : voiceOf(enumeration).voices(); });
    for (const QString &description : std::as_const(voices))
        s.step(106, [&] { navigator.audioOptions().addVoice(description); });
    // The voice chosen by name wherever it is now listed, else the saved
    // position. A saved position beyond the voices now installed selects
    // nothing and is kept, so that it comes back when the voice is installed
    // again.
    const auto savedChoice = [&] {
        const QString name = state.ReadSetting(SettingKeys::kVoiceName.toString(), QString());
        const int named = name.isEmpty() ? -1 : navigator.audioOptions().Combo1->findText(name);
        if (named >= 0)
            return double(named);
        return SettingConversions::lenientNumber(state.ReadSetting(SettingKeys::kVoice));
    };
    if (s.test(108, [&] { return savedChoice() < navigator.audioOptions().Combo1->count(); }))
        s.step(110, [&] { navigator.audioOptions().setVoiceIndex(listPosition(savedChoice())); });
    s.step(112, [&] { enumeration.reset(); });
    if (s.test(114, [&] { return navigator.audioOptions().Combo1->count() >= 1; })) {
        if (s.test(116, [&] { return showDone; })) {
            s.step(118, [&] {
                state.prompts().message(u"Done."_s + u"\r\r"_s
                                        + u"List has been refreshed with the latest voices found within the "
                                          "'Text to Speech' feature in the Windows Control Panel."_s);
            });
        }
    } else {
        s.step(120, [&] {
            state.prompts().message(
                u"No voices found within the 'Text to Speech' feature in the Windows Control Panel."_s);
        });
    }
}
