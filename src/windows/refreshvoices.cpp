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

// Speech Dispatcher names eSpeak NG's variants of a voice "<voice>+<variant>"
// ("English (America)+Adam"): thousands of them, most made for effect rather
// than for being understood.
bool isVariant(const QString &description)
{
    return description.contains(u'+');
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
    // The voice chosen by name wherever it is now listed, else the saved
    // position. A saved position beyond the voices now installed selects
    // nothing and is kept, so that it comes back when the voice is installed
    // again.
    const auto savedChoice = [&] {
        const QString name = state.ReadSetting(SettingKeys::kVoiceName.toString(), QString());
        const qsizetype named = name.isEmpty() ? -1 : voices.indexOf(name);
        if (named >= 0)
            return double(named);
        return SettingConversions::lenientNumber(state.ReadSetting(SettingKeys::kVoice));
    };
    // The voice to be selected is listed, a variant too.
    const bool showAll = navigator.audioOptions().showsAllVoices();
    const double chosen = showAll ? -1.0 : std::nearbyint(savedChoice());
    for (qsizetype i = 0; i < voices.size(); ++i) {
        if (showAll || double(i) == chosen || !isVariant(voices[i]))
            s.step(106, [&] { navigator.audioOptions().addVoice(voices[i], int(i)); });
    }
    if (s.test(108, [&] { return savedChoice() < voices.size(); }))
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
