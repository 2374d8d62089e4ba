// SPDX-License-Identifier: GPL-3.0-or-later
#include "answercheck.h"

QString AnswerCheck::shown(const QString &text, qsizetype longest)
{
    // Most words hold none and are short: they are given back without a copy.
    QString result;
    bool dropped = false;
    qsizetype kept = 0; // where the text not yet copied begins
    qsizetype visible = 0;
    for (qsizetype at = 0; at < text.size();) {
        const char16_t unit = text.at(at).unicode();
        char32_t code = unit;
        qsizetype length = 1;
        if (QChar::isHighSurrogate(unit) && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(unit, text.at(at + 1).unicode());
            length = 2;
        }
        if (unit >= 0x80 && QChar::category(code) == QChar::Other_Format) {
            if (!dropped)
                result.reserve(longest >= 0 ? std::min(text.size(), longest + 1) : text.size());
            dropped = true;
            result.append(QStringView(text).sliced(kept, at - kept));
            kept = at + length;
        } else if (longest >= 0 && visible + length > longest) {
            // A character that is seen does not fit.
            result.append(QStringView(text).sliced(kept, at - kept));
            result.append(u'\u2026');
            return result;
        } else {
            visible += length;
        }
        at += length;
    }
    if (!dropped)
        return text;
    result.append(QStringView(text).sliced(kept));
    return result;
}

QString AnswerCheck::comparable(const QString &text)
{
    // Upper-casing may decompose ("ǰ" becomes "J" and a caron), so the
    // normal form comes after it.
    return shown(text).toUpper().normalized(QString::NormalizationForm_C);
}

bool AnswerCheck::same(const QString &a, const QString &b)
{
    const QString &shorter = a.size() <= b.size() ? a : b;
    const QString &longer = a.size() <= b.size() ? b : a;
    if (QtPrivate::isAscii(shorter)) {
        // ASCII is its own comparable form but for letter case, one letter
        // for one, and no character that is seen gives none in a comparable
        // form: a text with more such characters is another word, told at
        // once however long it is.
        qsizetype seen = 0;
        for (qsizetype at = 0; at < longer.size(); ++at) {
            const QChar unit = longer.at(at);
            if (unit.isLowSurrogate() && at > 0 && longer.at(at - 1).isHighSurrogate())
                continue;
            const char32_t code = unit.isHighSurrogate() && at + 1 < longer.size() && longer.at(at + 1).isLowSurrogate()
                ? QChar::surrogateToUcs4(unit, longer.at(at + 1))
                : unit.unicode();
            if ((code < 0x80 || QChar::category(code) != QChar::Other_Format) && ++seen > shorter.size())
                return false;
        }
        if (longer.size() == shorter.size() && QtPrivate::isAscii(longer))
            return a.compare(b, Qt::CaseInsensitive) == 0;
    }
    return comparable(a) == comparable(b);
}
