// SPDX-License-Identifier: GPL-3.0-or-later
#include "programstate.h"

#include "audio/audiopreferences.h"
#include "audio/speakword.h"
#include "core/delay.h"
#include "core/failure.h"
#include "core/settingconversions.h"
#include "core/utilities.h"
#include "history/historystore.h"
#include "wordlist/recordingfolder.h"

#include <QHash>

ProgramState::ProgramState(const Services &services, AudioPreferences &audioPreferences)
    : practiceRecord(services.settings, services.prompts,
                     [file = services.historyFile]() -> std::unique_ptr<PracticeHistory> {
                         return std::make_unique<HistoryStore>(file.isEmpty() ? HistoryStore::defaultPath() : file);
                     }),
      m_services(services),
      m_recordedParts(audioPreferences, services.recordingOutput ? services.recordingOutput() : nullptr),
      m_prompt(m_partPlayer, services.pauses ? *services.pauses : m_timerPauses)
{
    if (!m_services.random)
        m_services.random = &systemRandom();
    if (!m_services.delay)
        m_services.delay = &realDelay();
    audio.prompts = m_services.prompts;
    audio.speech = m_services.speech;
    audio.player = m_services.player;
    audio.preferences = &audioPreferences;
    audio.delay = m_services.delay;
    audio.programFolder = m_services.programFolder;
    gameAudio.speakWord = [this](const QString &word) { sayPrompt(word); };
    gameAudio.stopPrompt = [this] { m_prompt.stop(); };
    gameAudio.playSound = [this](bool isCorrect) { PlaySound(audio, isCorrect); };
}

QString ProgramState::besideProgram(QStringView literal) const
{
    return ::besideProgram(m_services.programFolder, literal);
}

QString ProgramState::ReadSetting(const QString &key, const QString &defaultValue) const
{
    return m_services.settings->ReadSetting(key, defaultValue);
}

QString ProgramState::ReadSetting(const SettingKeys::Number &setting) const
{
    return m_services.settings->ReadSetting(setting);
}

void ProgramState::WriteSetting(QStringView key, const QString &value) const
{
    m_services.settings->WriteSetting(key.toString(), value);
}

bool ProgramState::copyAfterMiss() const
{
    try {
        return SettingConversions::truthValue(ReadSetting(SettingKeys::kCopyAfterMiss));
    } catch (const Failure &) {
        return false;
    }
}

void ProgramState::setCopyAfterMiss(bool on) const
{
    WriteSetting(SettingKeys::kCopyAfterMiss.key, on ? QStringLiteral("True") : QStringLiteral("False"));
}

void ProgramState::sayPrompt(const QString &word)
{
    const QString sentence = sentenceOf(word);
    if (listPath.isEmpty()) {
        m_recordedParts.setRecordings({}, {});
    } else {
        const RecordingFolder folder(listPath);
        m_recordedParts.setRecordings(folder.existing(word, RecordingPart::Word),
                                      sentence.isEmpty() ? QString() : folder.existing(word, RecordingPart::Sentence));
    }
    // A list without sentences reads no more options than before.
    m_prompt.play(promptParts(word, sentence, !sentence.isEmpty() && audio.preferences->saySentence()));
}

void ProgramState::practise(const QStringList &words)
{
    // Each word keeps the sentence of its first line in the list in use that
    // gives one. Only lines with a sentence are looked at: a list without
    // sentences costs nothing.
    QHash<QString, QStringView> sentences;
    for (const QString &word : words)
        sentences.insert(word, QStringView());
    for (qsizetype position = 1; position <= dictionary.count(); ++position) {
        const QStringView sentence = dictionary.sentenceView(position);
        if (sentence.isEmpty())
            continue;
        const auto found = sentences.find(dictionary.word(position));
        if (found != sentences.end() && found->isEmpty())
            *found = sentence;
    }
    WordStore store;
    QSet<QString> seen;
    for (const QString &word : words) {
        if (!seen.contains(word)) {
            seen.insert(word);
            store.append(word, dictionary.sentenceOf(word));
        }
    }
    m_practiceWords = std::move(store);
}

void ProgramState::setFirstWords(const QSet<QString> &words)
{
    m_firstWords = words;
    m_firstWordsList = dictionary.identity();
}

const QSet<QString> &ProgramState::firstWords() const
{
    static const QSet<QString> none;
    if (isPractising() || m_firstWordsList != dictionary.identity())
        return none;
    return m_firstWords;
}
