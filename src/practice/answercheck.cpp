// SPDX-License-Identifier: GPL-3.0-or-later
#include "answercheck.h"

QString AnswerCheck::shown(const QString &text)
{
    // Most words hold none: they are given back without a copy.
    QString result;
    bool dropped = false;
    qsizetype kept = 0; // where the text not yet copied begins
    for (qsizetype at = 0; at < text.size();) {
        const char16_t unit = text.at(at).unicode();
        if (unit < 0x80) {
            ++at;
            continue;
        }
        char32_t code = unit;
        qsizetype length = 1;
        if (QChar::isHighSurrogate(unit) && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(unit, text.at(at + 1).unicode());
            length = 2;
        }
        if (QChar::category(code) == QChar::Other_Format) {
            if (!dropped)
                result.reserve(text.size());
            dropped = true;
            result.append(QStringView(text).sliced(kept, at - kept));
            kept = at + length;
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
