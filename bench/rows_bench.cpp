// Main-thread cost of a new history entry as the window grows, resident memory
// per row, and the paint of a row holding a megabyte of text.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <ctime>
#include <numeric>

#include "history/BufferChecker.h"
#include "support/Fakes.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/RowModel.h"
#include "ui/UserInterface.h"

namespace {

using namespace tarnwick;

// One window on fakes, shown, as the engine drives it.
struct Window {
    Window() : engine(pasteboard, mainThread), ui({engine, keySender, alert}) { ui.help(); }

    void add(const QString& text) { engine.bufferArray = ui.addTextField(text); }

    // Takes the newest row off again, outside the measured time.
    void dropNewest() {
        DocumentView& doc = *ui.documentView;
        rows::SlotOrder order(doc.count() / 2 - 1);
        std::iota(order.begin(), order.end(), 0);
        doc.applySlotOrder(order);
        doc.setFrameHeight(doc.frameHeight() - 21);
        engine.bufferArray.removeFirst();
    }

    test::FakePasteboard pasteboard;
    test::FakeMainThread mainThread;
    test::FakeKeySender keySender;
    test::FakeAlert alert;
    BufferChecker engine;
    UserInterface ui;
};

// Heap bytes in use: unlike the resident set, not hidden by memory that
// earlier benchmarks freed and the allocator kept.
long heapInUse() {
    return static_cast<long>(mallinfo2().uordblks);
}

// CPU time of the calling (main) thread: the cost the target is about, and
// less disturbed than wall time by other work on the machine.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
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
    auto* field = static_cast<UserInterface::CopiedTextField*>(window.ui.documentView->at(0));
    DocumentView& doc = *window.ui.documentView;
    QImage target(doc.width(), 30, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        field->setStringValue(window.engine.bufferArray.front());  // a cold cache each time
        doc.render(&target, QPoint(), QRegion(0, 0, doc.width(), 30));
    }
}
BENCHMARK(paintMegabyteRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
