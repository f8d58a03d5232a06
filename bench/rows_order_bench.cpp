// SPDX-License-Identifier: MIT
// Main-thread cost of the row operations that rewrite the row order and the
// history as the window grows: a typed move across every row, a delete, and an
// expand followed by a collapse.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchWindow.h"
#include "ui/HistoryView.h"
#include "ui/UserInterface.h"

namespace {

using namespace tarnwick;
using bench::threadSeconds;

// One shown window on fakes with rows entries, every tenth row pinned where the
// pin is offered, as a user with a few pinned rows has it.
struct Window : bench::Window {
    explicit Window(int rows) {
        for (int i = 0; i < rows; ++i) add(QStringLiteral("entry number %1").arg(i));
        for (int row = 3; row <= std::min(rows, 10); row += 4)
            engine.history().setPinned(row, true);
        QCoreApplication::processEvents();
    }
    HistoryView& view() { return *ui.historyView; }
    // A number typed into the row's number editor and committed with Return.
    void typeRowNumber(int row, const QString& number) {
        view().editNumber(row);
        view().editor()->setPlainText(number);
        view().commitEditedNumber();
    }
};

// The oldest row typed to row 1 (the clipboard is rewritten), then back.
void moveAcrossAllRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Window window(rows);
    for (auto _ : state) {
        const double start = threadSeconds();
        window.typeRowNumber(rows, QStringLiteral("1"));
        window.typeRowNumber(1, QString::number(rows));
        state.SetIterationTime((threadSeconds() - start) / 2);
    }
}
BENCHMARK(moveAcrossAllRows)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Deleting row 2 (the older rows close the gap around the pinned ones); a new
// entry takes its place outside the measured time.
void deleteOneRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Window window(rows);
    for (auto _ : state) {
        const double start = threadSeconds();
        window.engine.history().remove(2);
        state.SetIterationTime(threadSeconds() - start);
        window.add(QStringLiteral("refill"));
    }
}
BENCHMARK(deleteOneRow)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

void expandAndCollapse(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Window window(rows);
    window.add(QStringLiteral("three\nline\ntext"));
    for (auto _ : state) {
        const double start = threadSeconds();
        window.view().toggleExpanded(1);
        window.view().toggleExpanded(1);
        state.SetIterationTime((threadSeconds() - start) / 2);
    }
}
BENCHMARK(expandAndCollapse)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return tarnwick::bench::runOffscreen(argc, argv);
}
