// SPDX-License-Identifier: GPL-3.0-or-later
#include "answercheck.h"

QString AnswerCheck::comparable(const QString &text)
{
    return text.toUpper();
}
