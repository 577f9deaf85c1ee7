// The progress as lines for a log: what a sequence of progress states writes.
#include "app/no_ui.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

using namespace zarvo;

namespace {

struct tLineStep {
    const char* Text; // UTF-8, "\r" between lines as the progress holds it
    double Fraction;
    bool Closing;
    const char* Lines; // UTF-8, "\n" after each line
};

std::string Readable(const std::string& oem) {
    std::string text = Cp866ToUtf8(oem);
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

} // namespace

// Catches a phase change left unwritten, a stale 100 % of the last pass written under the
// next status, a line for every value, and the final counts never reaching the log.
TEST(ProgressLines, OnePassAfterAnother) {
    const tLineStep steps[] = {
        {"Время 1\rЗапись", 0, false, "Тестирование сети\nВремя 1\nЗапись\n"},
        {"Время 1\rЗапись", 0.05, false, ""},
        {"Время 1\rЗапись", 0.1, false, "Запись - 10%\n"},
        {"Время 1\rЗапись", 0.11, false, ""},
        {"Время 1\rЗапись", 0.35, false, "Запись - 30%\n"},
        {"Время 1\rЗапись", 1, false, "Запись - 100%\n"},
        {"Время 2\rЧтение", 1, false, "Время 2\nЧтение\n"},
        {"Время 2\rЧтение", 0.01, false, ""},
        {"Время 2\rЧтение", 0.2, false, "Чтение - 20%\n"},
        {"Время 2, ошибок 4\rЧтение", 0.2, false, ""},
        {"Итог", 0.2, true, "Итог\n"},
    };
    tStandardProgressParams params;
    DefaultProgressParams(params);
    params.Title = Utf8ToCp866("Тестирование сети");
    tProgress progress(params);
    tProgressLines lines;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Text);
        progress.Text = Utf8ToCp866(step.Text);
        progress.Fraction = step.Fraction;
        EXPECT_EQ(Readable(lines.Lines(progress, step.Closing)), step.Lines);
    }
}

// Catches counts that changed after the last status line being lost at the close, and a
// close that repeats what was already written.
TEST(ProgressLines, ClosingWritesOnlyWhatChanged) {
    tStandardProgressParams params;
    DefaultProgressParams(params);
    tProgress progress(params);
    tProgressLines lines;
    progress.Text = Utf8ToCp866("Ошибок 0\rЧтение");
    lines.Lines(progress, false);
    EXPECT_EQ(Readable(lines.Lines(progress, true)), "") << "nothing new at the close";

    tProgressLines changed;
    changed.Lines(progress, false);
    progress.Text = Utf8ToCp866("Ошибок 3\rЧтение");
    EXPECT_EQ(Readable(changed.Lines(progress, false)), "") << "same status: no line yet";
    EXPECT_EQ(Readable(changed.Lines(progress, true)), "Ошибок 3\nЧтение\n")
        << "the close writes the last counts";
}

struct tStampCase {
    const char* Lines;
    const char* Stamped;
};

// Catches a line of a multi-line text left without its time, a stamp on nothing, and a last
// line without its end lost.
TEST(ProgressLines, EveryLineLeadsWithItsTime) {
    const tStampCase cases[] = {
        {"", ""},
        {"Запись\r", "T Запись\r"},
        {"Время 1\rЗапись\r", "T Время 1\rT Запись\r"},
        {"Итог", "T Итог"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lines);
        EXPECT_EQ(Cp866ToUtf8(StampedLines(Utf8ToCp866(c.Lines), "T")), c.Stamped);
    }
}
