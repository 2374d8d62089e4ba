// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// Every key of the settings store with its default. Values are stored as
// text; the numbers below are written as their decimal text.
namespace SettingKeys {

struct Number
{
    QStringView key;
    int defaultValue;
};

// The word list in use. Its default is a file beside the program,
// ProgramFiles::kFirstSample.
inline constexpr QStringView kDictionary = u"Dictionary";

// Position of the chosen voice in the engine's voice list (the voice list
// may leave some of those out).
inline constexpr Number kVoice{u"Combo1", 0};
// The name of the voice the learner chose, as the voice list shows it: the
// list's order changes with the voices installed and the desktop's language,
// so the voice is found again by its name. Absent until the learner chooses.
inline constexpr QStringView kVoiceName = u"Voice Name";
inline constexpr Number kVolume{u"Volume Level", 100};
inline constexpr Number kRate{u"Speech Rate", -4};
// The two feedback-sound options, as the truth texts "True" and "False".
inline constexpr Number kPlaySounds{u"Option1", 1};
inline constexpr Number kNoSounds{u"Option2", 0};
// "True" while the voice list shows every voice, eSpeak NG's variants
// included, else "False".
inline constexpr Number kShowAllVoices{u"Show All Voices", 0};
// "True" while the main window shows the sentence of the word asked.
inline constexpr Number kShowSentence{u"Show Sentence", 1};

// The learner whose answers are recorded; absent, the login name.
inline constexpr QStringView kLearner = u"Learner";
// "True" while answers are recorded in the practice history, else "False".
inline constexpr Number kKeepHistory{u"Keep Practice History", 1};
// "True" while each pass of a game asks the learner's words to work on first.
inline constexpr Number kWordsToWorkOnFirst{u"Words To Work On First", 0};

} // namespace SettingKeys
