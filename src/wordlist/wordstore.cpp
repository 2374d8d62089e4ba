#include "wordstore.h"

#include <QRandomGenerator>
#include <QSet>

WordStore WordStore::fromText(QStringView text)
{
    WordStore store;
    qsizetype start = 0;
    QString line;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n') {
            if (!line.isEmpty())
                store.append(line);
            line.clear();
            start = i + 1;
        } else if (text[i] != u'\r') {
            line.append(text[i]);
        }
    }
    Q_UNUSED(start);
    return store;
}

void WordStore::append(const QString &word)
{
    m_words.append(word);
    m_distinct.insert(word, 0);
}

namespace {
class ClockSeededRandom : public RandomSource
{
public:
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator{QRandomGenerator::securelySeeded()};
};
} // namespace

RandomSource &systemRandom()
{
    static ClockSeededRandom random;
    return random;
}

QString drawWord(const WordStore &store, PassRecord &pass, RandomSource &random)
{
    if (store.count() == 0)
        return QString();
    for (;;) {
        if (pass.count() >= store.distinctCount()) {
            pass.clear();
            continue;
        }
        const auto position = qsizetype(random.next() * double(store.count()) + 1);
        const QString &word = store.word(std::min(position, store.count()));
        if (pass.contains(word))
            continue;
        pass.append(word);
        return word;
    }
}
