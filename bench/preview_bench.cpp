// scoutmark-preview-bench [--runs N]
//
// The preview of a 4 MB header in Scoutmark's real window, offscreen: a
// search lists two such headers, and each run selects the other one, the
// way a user clicks a row. It measures what the user would feel: the time
// from the click until the header is drawn with its first hit in view, and
// the longest time the main thread went without turning its event loop from
// the click until a few hits later, with the processor time the main thread
// spent in that frame (on a busy machine a frame also holds the time the
// thread waited for a processor). Beside it, for scale, the main-thread stall
// of putting the same text into a QPlainTextEdit. And the processor time of
// preparing the preview, which is the first hit's wait when a processor is
// free for it. The first preview after a search is given on its own: its
// working memory is fresh, and the cost of fresh memory (printed first, per
// page) differs widely between machines.
//
// Cases: a hit on one line in a hundred; the same with comments and letter
// case ignored; hits on most lines; the whole header on one line.

#include "app_delegate.h"
#include "header_text_view.h"
#include "my_table_view.h"
#include "my_window.h"
#include "preview_loader.h"
#include "preview_pane.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/mman.h>
#include <cstring>
#include <vector>

namespace {

constexpr int headerBytes = 4 * 1000 * 1000;

// Microseconds to bring a fresh page of memory into use.
double pageFaultMicroseconds()
{
    constexpr std::size_t size = 64 << 20;
    QElapsedTimer clock;
    clock.start();
    void *memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return 0;
    for (std::size_t at = 0; at < size; at += 4096)
        static_cast<volatile char *>(memory)[at] = 1;
    const double microseconds = clock.nsecsElapsed() / 1e3 / (size / 4096);
    munmap(memory, size);
    return microseconds;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// A header-like text: declarations, comments, a define now and then; the
// needle on one line in hitsEvery (0: in none of the filler).
std::string makeHeader(int hitsEvery, bool oneLine)
{
    std::string text;
    text.reserve(headerBytes + 200);
    for (int i = 0; text.size() < headerBytes; ++i) {
        char line[200];
        switch (i % 4) {
        case 0:
            std::snprintf(line, sizeof line, "/* Part %d of the widget interface. */\n", i);
            break;
        case 1:
            std::snprintf(line, sizeof line, "typedef struct __Widget%d *Widget%dRef;\n", i, i);
            break;
        case 2:
            std::snprintf(line, sizeof line, "extern void WidgetSet%d(Widget%dRef widget, int value); // sets it\n", i, i);
            break;
        default:
            std::snprintf(line, sizeof line, "#define WIDGET_%d_FLAG 0x%04x\n", i, i & 0xffff);
        }
        text += line;
        if (hitsEvery > 0 && i % hitsEvery == hitsEvery / 2)
            text += "extern int NSNeedle; /* NSNeedle */\n";
    }
    if (oneLine)
        std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

struct Case {
    const char *title;
    const char *word;
    bool ignoreComments, caseSensitive;
    int hitsEvery;
    bool oneLine;
};

struct Figures {
    double coldFirstHit = 0;
    std::vector<double> firstHit, longestFrame, longestFrameCpu, preparationCpu;
    double plainTextStall = 0;
    int hits = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Headers a.h and b.h of one case, in an SDK of their own.
void writeCase(const QString &sdks, const QString &osNum, const Case &c)
{
    const QString folder = sdks + "/MacOSX" + osNum + ".sdk/usr/include";
    QDir().mkpath(folder);
    const std::string text = makeHeader(c.hitsEvery, c.oneLine);
    for (const char *name : {"a.h", "b.h"}) {
        QFile file(folder + "/" + name);
        file.open(QIODevice::WriteOnly);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
}

// One case in the window that ran the cases before it, as a user searches
// again in a running application.
Figures measure(MyWindow &window, AppDelegate &delegate, const QString &folder, const QString &osNum,
                const Case &c, int runs)
{
    window.sdkPopUp->setCurrentText(osNum);
    window.ignoreCommentsCheck->setChecked(c.ignoreComments);
    window.caseSensitiveCheck->setChecked(c.caseSensitive);
    window.searchField->setText(c.word);
    QTest::keyClick(window.searchField, Qt::Key_Return);
    while (delegate.searchThread())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    // A tick every millisecond: the largest gap between ticks is the
    // longest frame.
    QElapsedTimer sinceTick;
    double longestGap = 0, longestGapCpu = 0, cpuAtTick = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double gap = sinceTick.nsecsElapsed() / 1e6, cpu = threadCpuMs();
        if (gap > longestGap) {
            longestGap = gap;
            longestGapCpu = cpu - cpuAtTick;
        }
        cpuAtTick = cpu;
        sinceTick.restart();
    });

    Figures figures;
    PreviewPane *pane = window.previewPane;
    for (int run = 0; run < runs; ++run) {
        const int row = run % 2;
        const QByteArray path = delegate.tableData().rows().at(row).path();
        QCoreApplication::processEvents();
        longestGap = longestGapCpu = 0;
        cpuAtTick = threadCpuMs();
        sinceTick.start();
        ticker.start();
        QElapsedTimer clock;
        clock.start();
        window.tableView->selectionModel()->setCurrentIndex(delegate.tableData().index(row, 0),
                                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        while (pane->shownPath() != path || pane->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        pane->textView->viewport()->repaint();
        if (run == 0)
            figures.coldFirstHit = clock.nsecsElapsed() / 1e6;
        else
            figures.firstHit.push_back(clock.nsecsElapsed() / 1e6);
        // A few hits on, as a user goes through them.
        for (int i = 0; i < 20; ++i) {
            pane->nextHit();
            QTest::qWait(5);
        }
        ticker.stop();
        figures.longestFrame.push_back(longestGap);
        figures.longestFrameCpu.push_back(longestGapCpu);
        figures.hits = static_cast<int>(pane->textView->content().hits.size());
    }

    // The preparation alone, in processor time: the first hit's wait on a
    // machine with a processor free for it.
    const SearchRequest request{c.word, "All", c.ignoreComments, c.caseSensitive};
    PreviewPreparer preparer; // as the loader's thread keeps it
    for (int run = 0; run < runs; ++run) {
        const double before = threadCpuMs();
        std::shared_ptr<PreviewContent> content = preparer.prepare(QFile::encodeName(folder + "/a.h"), "a.h", request);
        figures.preparationCpu.push_back(threadCpuMs() - before);
        preparer.recycle(std::move(content));
    }

    // The same text in the widget Qt has for plain text, on the main thread.
    QFile file(folder + "/a.h");
    file.open(QIODevice::ReadOnly);
    const QByteArray text = file.readAll();
    QPlainTextEdit plain;
    plain.setReadOnly(true);
    plain.show();
    QElapsedTimer stall;
    stall.start();
    plain.setPlainText(QString::fromLatin1(text));
    plain.repaint();
    figures.plainTextStall = stall.nsecsElapsed() / 1e6;
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 9;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(2, std::atoi(argv[++i]));
    }
    const Case cases[] = {
        {"a hit on 1 line in 100", "NSNeedle", false, true, 100, false},
        {"the same, comments and case ignored", "nsneedle", true, false, 100, false},
        {"hits on most lines", "Widget", false, true, 0, false},
        {"all on one line", "NSNeedle", false, true, 100, true},
    };
    std::printf("fresh memory: %.2f us per page\n", pageFaultMicroseconds());
    QTemporaryDir root;
    const QString sdks = root.filePath("SDKs");
    for (std::size_t i = 0; i < std::size(cases); ++i)
        writeCase(sdks, QString("10.%1").arg(10 + i), cases[i]);
    MyWindow window;
    AppDelegate delegate(&window, sdks);
    window.show();
    delegate.loadPrefs();
    delegate.loadSkipFrameworksArray();

    std::printf("4 MB header, %d runs each, the first one after the search (cold); medians (worst)\n", runs);
    std::printf("%-36s %6s %8s %16s %10s %18s %14s %15s\n", "case", "hits", "cold ms", "first hit ms", "prep CPU",
                "longest frame ms", "its CPU ms", "QPlainTextEdit");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        const QString osNum = QString("10.%1").arg(10 + i);
        const Figures f = measure(window, delegate, sdks + "/MacOSX" + osNum + ".sdk/usr/include", osNum, c, runs);
        std::printf("%-36s %6d %8.1f %6.1f (%6.1f) %7.1f ms %8.1f (%6.1f) %5.1f (%5.1f) %12.0f ms\n", c.title, f.hits,
                    f.coldFirstHit, median(f.firstHit), *std::max_element(f.firstHit.begin(), f.firstHit.end()),
                    median(f.preparationCpu), median(f.longestFrame),
                    *std::max_element(f.longestFrame.begin(), f.longestFrame.end()), median(f.longestFrameCpu),
                    *std::max_element(f.longestFrameCpu.begin(), f.longestFrameCpu.end()), f.plainTextStall);
    }
    return 0;
}
