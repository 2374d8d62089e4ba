// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyaftermiss.h"

#include "answercheck.h"

void CopyAfterMiss::missed(const QString &word)
{
    m_word = word;
    m_stage = Stage::Shown;
}

bool CopyAfterMiss::typed(const QString &text)
{
    if (m_stage != Stage::Shown || text.isEmpty())
        return false;
    m_stage = Stage::Covered;
    return true;
}

bool CopyAfterMiss::entered(const QString &copy)
{
    if (!active())
        return false;
    if (AnswerCheck::same(copy, m_word)) {
        clear();
        return true;
    }
    m_stage = Stage::Shown;
    return false;
}

void CopyAfterMiss::clear()
{
    m_stage = Stage::None;
    m_word.clear();
}
