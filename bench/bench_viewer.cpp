// The viewer opening a day list of 10, 10,000 and 100,000 entries, up to
// the first paint of its list area: once with the window made afresh (as
// Show List does), once as a day button press on an open window.

#include "bench/EntryFolder.h"
#include "viewer/Form2.h"
#include "viewer/ListArea.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>

namespace {

class PaintSeen : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
    bool seen = false;
};

// Presses Monday and waits for the list area's next paint.
bool showMondayAndPaint(Form2 &form, PaintSeen &paint)
{
    paint.seen = false;
    form.Command1_Click();
    QDeadlineTimer deadline(30'000);
    while (!paint.seen && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return paint.seen;
}

void BM_ViewerOpen(benchmark::State &state)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(bench::dayListFolder(int(state.range(0))));
    for (auto _ : state) {
        Form2 form;
        PaintSeen paint;
        form.listArea()->installEventFilter(&paint);
        form.show();
        if (!showMondayAndPaint(form, paint) || form.listArea()->lineCount() != 3 * state.range(0)) {
            state.SkipWithError("the viewer did not show the day list");
            break;
        }
    }
    QDir::setCurrent(old);
}

void BM_ViewerDayButton(benchmark::State &state)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(bench::dayListFolder(int(state.range(0))));
    {
        Form2 form;
        PaintSeen paint;
        form.listArea()->installEventFilter(&paint);
        form.show();
        for (auto _ : state) {
            if (!showMondayAndPaint(form, paint)) {
                state.SkipWithError("the viewer did not paint");
                break;
            }
        }
    }
    QDir::setCurrent(old);
}

// Both viewer benchmarks run over day lists of 10, 10,000 and 100,000 entries.
void overListSizes(benchmark::internal::Benchmark *b)
{
    b->ArgName("entries")->Arg(10)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(BM_ViewerOpen)->Apply(overListSizes);
BENCHMARK(BM_ViewerDayButton)->Apply(overListSizes);
