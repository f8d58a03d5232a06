// SPDX-License-Identifier: MIT
// Main-thread cost of a new history entry as the window grows, resident memory
// per row, and the paint of a row holding a megabyte of text.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <numeric>

#include "BenchWindow.h"
#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"

namespace {

using namespace tarnwick;
using bench::threadSeconds;
using bench::Window;

// Heap bytes in use: unlike the resident set, not hidden by memory that
// earlier benchmarks freed and the allocator kept.
long heapInUse() {
    return static_cast<long>(mallinfo2().uordblks);
}

// One new entry on top of rows entries; with paint, also the repaint of the
// visible rows that it causes.
void addOneEntry(benchmark::State& state, bool paint) {
    Window window;
    const int rows = static_cast<int>(state.range(0));
    for (int i = 0; i < rows; ++i) window.add(QStringLiteral("entry number %1").arg(i));
    QCoreApplication::processEvents();
    const QString text = QStringLiteral("a freshly copied text");
    for (auto _ : state) {
        const double start = threadSeconds();
        window.add(text);
        if (paint) QCoreApplication::processEvents();
        state.SetIterationTime(threadSeconds() - start);
        window.dropNewest();
        QCoreApplication::processEvents();
    }
}
void addOneEntry(benchmark::State& state) {
    addOneEntry(state, false);
}
void addAndPaintOneEntry(benchmark::State& state) {
    addOneEntry(state, true);
}
BENCHMARK(addOneEntry)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(addAndPaintOneEntry)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void memoryPerRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    QStringList texts;
    for (int i = 0; i < rows; ++i) texts << QStringLiteral("entry number %1").arg(i);
    for (auto _ : state) {
        Window window;
        QCoreApplication::processEvents();
        const long before = heapInUse();
        for (const QString& text : texts) window.add(text);
        QCoreApplication::processEvents();
        const long after = heapInUse();
        state.counters["bytes_per_row"] = static_cast<double>(after - before) / rows;
    }
}
BENCHMARK(memoryPerRow)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

void paintMegabyteRow(benchmark::State& state) {
    Window window;
    QString big(1 << 20, QLatin1Char('x'));
    for (int i = 0; i < big.size(); i += 80) big[i] = QLatin1Char('\n');
    window.add(big);
    QWidget& rows = *window.ui.historyView->viewport();
    QImage target(rows.width(), 30, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) rows.render(&target, QPoint(), QRegion(0, 0, rows.width(), 30));
}
BENCHMARK(paintMegabyteRow)->Unit(benchmark::kMicrosecond);

// A text of lines lines, each a few characters long.
QString manyLines(int lines) {
    QString text;
    text.reserve(static_cast<qsizetype>(lines) * 9);
    for (int i = 0; i < lines; ++i) text += QStringLiteral("line %1\n").arg(i % 1000);
    return text;
}

// One character typed into row 1, expanded to 1,000 lines, on top of 9,999
// other rows: the model, the row's height and the layout, without the repaint.
void keystrokeInExpandedRow(benchmark::State& state) {
    Window window;
    for (int i = 0; i < 9999; ++i) window.add(QStringLiteral("entry number %1").arg(i));
    window.add(manyLines(1000));
    HistoryView& view = *window.ui.historyView;
    view.toggleExpanded(1);
    view.editText(1);
    QPlainTextEdit* editor = view.editor();
    editor->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        const double start = threadSeconds();
        editor->insertPlainText(QStringLiteral("x"));
        state.SetIterationTime(threadSeconds() - start);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(keystrokeInExpandedRow)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Expanding a row of 1,000,000 lines, with the repaint that follows.
void expandMillionLineRow(benchmark::State& state) {
    Window window;
    window.add(manyLines(1000000));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        const double start = threadSeconds();
        window.ui.historyView->toggleExpanded(1);
        QCoreApplication::processEvents();
        state.SetIterationTime(threadSeconds() - start);
        window.ui.historyView->toggleExpanded(1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(expandMillionLineRow)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// One page further down, repaint included: the main thread's time per scroll
// step, in an expanded row of 1,000,000 lines (0) or through 100,000 rows (1).
void scrollOnePage(benchmark::State& state) {
    Window window;
    if (state.range(0) == 0) {
        window.add(manyLines(1000000));
        window.ui.historyView->toggleExpanded(1);
    } else {
        for (int i = 0; i < 100000; ++i) window.add(QStringLiteral("entry number %1").arg(i));
    }
    QCoreApplication::processEvents();
    QScrollBar* bar = window.ui.historyView->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        const double start = threadSeconds();
        bar->setValue(next > bar->maximum() ? 0 : next);
        QCoreApplication::processEvents();
        state.SetIterationTime(threadSeconds() - start);
    }
    state.counters["document_px"] = window.ui.historyView->documentHeight();
}
BENCHMARK(scrollOnePage)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return tarnwick::bench::runOffscreen(argc, argv);
}
