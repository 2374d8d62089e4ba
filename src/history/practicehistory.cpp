// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicehistory.h"

WordsHasher::WordsHasher() : m_hash(QCryptographicHash::Sha256) { }

void WordsHasher::add(QStringView word)
{
    m_hash.addData(word.toUtf8());
    m_hash.addData(QByteArrayView("\n"));
}

QString WordsHasher::result() const
{
    return QString::fromLatin1(m_hash.resultView().toByteArray().toHex());
}

QString wordsHash(const QStringList &words)
{
    WordsHasher hasher;
    for (const QString &word : words)
        hasher.add(word);
    return hasher.result();
}

QString recordedPart(const QString &text)
{
    if (text.size() <= kLongestRecorded)
        return text;
    return text.first(kLongestRecorded - (text.at(kLongestRecorded - 1).isHighSurrogate() ? 1 : 0));
}
