// SPDX-License-Identifier: MIT
// Main-thread cost of the row editor on a row that is one very long line:
// opening it (the editor painted), one key typed there, and closing it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

#include "BenchWindow.h"
#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"

namespace {

using namespace tarnwick;
using bench::threadSeconds;

// Words and spaces, no line break, size characters.
QString oneLine(qsizetype size) {
    const QString words = QStringLiteral("a long line of copied words, ");
    QString text;
    text.reserve(size + words.size());
    while (text.size() < size) text += words;
    text.truncate(size);
    return text;
}

void editorOnOneLine(benchmark::State& state) {
    bench::Window window;
    window.add(oneLine(state.range(0)));
    QCoreApplication::processEvents();
    HistoryView& view = *window.ui.historyView;
    double typing = 0;
    double closing = 0;
    for (auto _ : state) {
        double start = threadSeconds();
        view.editText(1);
        QCoreApplication::processEvents();
        state.SetIterationTime(threadSeconds() - start);

        start = threadSeconds();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(view.editor(), &key);
        QCoreApplication::processEvents();
        typing += threadSeconds() - start;

        start = threadSeconds();
        view.endEditing();
        QCoreApplication::processEvents();
        closing += threadSeconds() - start;
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["keystroke_ms"] = benchmark::Counter(typing * 1e3, perIteration);
    state.counters["close_ms"] = benchmark::Counter(closing * 1e3, perIteration);
}
BENCHMARK(editorOnOneLine)
    ->Arg(1 << 20)
    ->Arg(12 << 20)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return tarnwick::bench::runOffscreen(argc, argv);
}
