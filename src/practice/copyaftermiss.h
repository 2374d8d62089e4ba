// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// "Copy it right after a miss": after a wrong answer the learner looks at the
// correct spelling, it is covered once they start typing, and they write the
// word again until the copy is right. The first try alone is judged for the
// score; copies are only checked.
class CopyAfterMiss
{
public:
    enum class Stage {
        None, // no copy is asked for
        Shown, // the correct spelling is shown
        Covered, // the learner is typing the copy from memory
    };

    Stage stage() const { return m_stage; }
    bool active() const { return m_stage != Stage::None; }
    // The word being copied; empty while no copy is asked for.
    const QString &word() const { return m_word; }

    // A first try at the word was wrong: it is shown until the learner types.
    void missed(const QString &word);
    // The answer box now holds this text. True when that covers the word:
    // it was shown and the learner has started typing.
    bool typed(const QString &text);
    // A copy was entered. True when it is right (compared as answers are,
    // AnswerCheck::same): the copy ends. A wrong copy shows the word again.
    bool entered(const QString &copy);
    // The game ended or moved on: no copy is asked for any more.
    void clear();

private:
    Stage m_stage = Stage::None;
    QString m_word;
};
