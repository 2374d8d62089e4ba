// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/speechengine.h"
#include "core/prompts.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

// Counts the boxes a benchmarked action shows instead of showing them; a
// benchmark whose action shows one reports that as an error.
class CountingPrompts : public Prompts
{
public:
    void message(const QString &) override { ++boxes; }
    bool question(const QString &) override { return false; }
    std::optional<bool> questionOrCancel(const QString &) override { return false; }
    std::optional<QString> askText(const QString &) override { return std::nullopt; }
    void error(const QString &) override { ++boxes; }
    int boxes = 0;
};

// A speech engine that says nothing, for benchmarks of what is not speech.
class SilentVoice : public SpeechVoice
{
public:
    explicit SilentVoice(QStringList voices) : m_voices(std::move(voices)) { }
    QStringList voices() const override { return m_voices; }
    void setVoice(int) override { }
    void setVolume(int) override { }
    void setRate(int) override { }
    void speak(const QString &) override { }
    void speakAndWait(const QString &) override { }

private:
    QStringList m_voices;
};

class SilentEngine : public SpeechEngine
{
public:
    explicit SilentEngine(QStringList voices = {}) : m_voices(std::move(voices)) { }
    std::unique_ptr<SpeechVoice> createVoice() override { return std::make_unique<SilentVoice>(m_voices); }
    void whenStarted(QObject *, std::function<void()> then) override { then(); }
    QStringList voicesAnew() override { return m_voices; }

private:
    QStringList m_voices;
};

// Runs the benchmarks of a program that builds windows, offscreen unless a
// platform is named; `prepare` runs first, once the application is made, and
// `finish` last, while the application is still there.
inline int runWindowBenchmarks(int argc, char **argv, const std::function<void()> &prepare = {},
                               const std::function<void()> &finish = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (prepare)
        prepare();
    benchmark::RunSpecifiedBenchmarks();
    if (finish)
        finish();
    benchmark::Shutdown();
    return 0;
}
