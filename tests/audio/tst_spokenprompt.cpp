// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/spokenprompt.h"
#include "fakes.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Logs what the prompt asks of it; a part is heard when the test says.
class LoggingPlayer : public PartPlayer
{
public:
    void play(const PromptPart &part, std::function<void()> heard) override
    {
        log.append((part.kind == PromptPart::Kind::Word ? u"word "_s : u"sentence "_s) + part.text);
        m_heard = std::move(heard);
    }
    void silence() override
    {
        log.append(u"silence"_s);
        m_heard = {};
    }
    int endDelayMs(const PromptPart &part) const override { return part.kind == PromptPart::Kind::Sentence ? 60 : 40; }
    int startDelayMs(const PromptPart &part) const override
    {
        return part.kind == PromptPart::Kind::Sentence ? 240 : 60;
    }
    // The part under way is heard; false when nothing waits for that.
    bool finish()
    {
        const std::function<void()> heard = std::exchange(m_heard, {});
        if (heard)
            heard();
        return bool(heard);
    }

    QStringList log;

private:
    std::function<void()> m_heard;
};

const PromptParts kWeather = promptParts(u"weather"_s, u"The weather is fine."_s, true);

} // namespace

class tst_SpokenPrompt : public QObject
{
    Q_OBJECT

private slots:
    void playsPartAfterPart_data();
    void playsPartAfterPart();
};

// Steps: "heard" (the part under way ends), "pause" (the pause under way
// ends), "stop", "again" (the same prompt anew), "word" (a prompt of one
// part: "owl").
void tst_SpokenPrompt::playsPartAfterPart_data()
{
    QTest::addColumn<PromptParts>("prompt");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<bool>("playing");
    const QString word = u"word weather"_s;
    const QString sentence = u"sentence The weather is fine."_s;
    QTest::addRow("a whole prompt, a pause less the player's own delays before each part")
        << kWeather << QStringList{u"heard"_s, u"pause"_s, u"heard"_s, u"pause"_s, u"heard"_s}
        << QStringList{word, sentence, word} << QList<int>{420, 580} << false;
    QTest::addRow("the sentence waits for the word's end and the pause")
        << kWeather << QStringList{u"heard"_s} << QStringList{word} << QList<int>{420} << true;
    QTest::addRow("stopped in the first pause: nothing more")
        << kWeather << QStringList{u"heard"_s, u"stop"_s, u"pause"_s, u"heard"_s} << QStringList{word, u"silence"_s}
        << QList<int>{420} << false;
    QTest::addRow("stopped in the sentence: silenced, no pause follows")
        << kWeather << QStringList{u"heard"_s, u"pause"_s, u"stop"_s, u"heard"_s, u"pause"_s}
        << QStringList{word, sentence, u"silence"_s} << QList<int>{420} << false;
    QTest::addRow("stopped in the last word: silenced too")
        << kWeather << QStringList{u"heard"_s, u"pause"_s, u"heard"_s, u"pause"_s, u"stop"_s}
        << QStringList{word, sentence, word, u"silence"_s} << QList<int>{420, 580} << false;
    QTest::addRow("said again in the sentence: from its start, once")
        << kWeather << QStringList{u"heard"_s, u"pause"_s, u"again"_s, u"heard"_s, u"pause"_s}
        << QStringList{word, sentence, u"silence"_s, word, sentence} << QList<int>{420, 420} << true;
    QTest::addRow("a word of one part after a prompt in its pause")
        << kWeather << QStringList{u"heard"_s, u"word"_s, u"pause"_s, u"heard"_s}
        << QStringList{word, u"silence"_s, u"word owl"_s} << QList<int>{420} << false;
    QTest::addRow("a word alone is handed over and left alone")
        << PromptParts{{PromptPart::Kind::Word, u"owl"_s}} << QStringList{u"heard"_s, u"stop"_s, u"word"_s}
        << QStringList{u"word owl"_s, u"word owl"_s} << QList<int>{} << false;
}

void tst_SpokenPrompt::playsPartAfterPart()
{
    QFETCH(PromptParts, prompt);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, log);
    QFETCH(QList<int>, pauses);
    QFETCH(bool, playing);
    LoggingPlayer player;
    ManualPauses clock;
    SpokenPrompt spoken(player, clock);

    spoken.play(prompt);
    for (const QString &step : steps) {
        if (step == u"heard")
            player.finish();
        else if (step == u"pause")
            clock.elapse();
        else if (step == u"stop")
            spoken.stop();
        else if (step == u"again")
            spoken.play(prompt);
        else if (step == u"word")
            spoken.play(promptParts(u"owl"_s, QString(), true));
    }

    QCOMPARE(player.log, log);
    QCOMPARE(clock.started, pauses);
    QCOMPARE(spoken.playing(), playing);
}

QTEST_GUILESS_MAIN(tst_SpokenPrompt)
#include "tst_spokenprompt.moc"
