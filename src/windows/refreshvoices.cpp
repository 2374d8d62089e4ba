#include "refreshvoices.h"

#include "audio/form3.h"
#include "audio/speakword.h"
#include "shell/errorreport.h"
#include "shell/globals.h"
#include "shell/settingconversions.h"

#include <QComboBox>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kChoiceKey = u"Combo1"_s;

// A list position is a 16-bit whole number; halves go to the even neighbour.
int listPosition(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw Failure(u"Overflow"_s);
    return int(rounded);
}

} // namespace

void RefreshVoices(Globals &globals, bool showDone)
{
    Steps s(globals.prompts(), u"modDictionary", u"RefreshVoices");
    std::unique_ptr<SpeechVoice> enumeration;
    s.step(100, [&] { enumeration = globals.speech().createVoice(); });
    // The first touch of the list loads the options window, whose own load
    // step refreshes the list before this call rebuilds it.
    s.step(102, [&] { globals.form3().clearVoices(); });
    QStringList voices;
    s.step(104, [&] { voices = voiceOf(enumeration).voices(); });
    for (const QString &description : std::as_const(voices))
        s.step(106, [&] { globals.form3().addVoice(description); });
    const auto savedChoice = [&] {
        return SettingConversions::lenientNumber(globals.ReadSetting(kChoiceKey, 0));
    };
    // A saved choice beyond the voices now installed selects nothing and is
    // kept, so that it comes back when the voice is installed again.
    if (s.test(108, [&] { return savedChoice() < globals.form3().Combo1->count(); }))
        s.step(110, [&] { globals.form3().setVoiceIndex(listPosition(savedChoice())); });
    s.step(112, [&] { enumeration.reset(); });
    if (s.test(114, [&] { return globals.form3().Combo1->count() >= 1; })) {
        if (s.test(116, [&] { return showDone; })) {
            s.step(118, [&] {
                globals.prompts().message(u"Done."_s + u"\r\r"_s
                    + u"List has been refreshed with the latest voices found within the "
                      "'Text to Speech' feature in the Windows Control Panel."_s);
            });
        }
    } else {
        s.step(120, [&] {
            globals.prompts().message(
                u"No voices found within the 'Text to Speech' feature in the Windows Control Panel."_s);
        });
    }
}
