// scoutmark-preview-bench [--runs N]
//
// The preview of a 4 MB header in Scoutmark's real window, offscreen: a
// search lists two such headers, and each run selects the other one, the
// way a user clicks a row. It measures what the user would feel: the time
// from the click until the header is drawn with its first hit in view, and
// the longest time the main thread went without turning its event loop from
// the click until a few hits later. Beside it, for scale, the longest
// main-thread stall of putting the same text into a QPlainTextEdit.
//
// Cases: a hit on one line in a hundred; the same with comments and letter
// case ignored; hits on most lines; the whole header on one line.

#include "app_delegate.h"
#include "header_text_view.h"
#include "my_table_view.h"
#include "my_window.h"
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
#include <cstring>
#include <vector>

namespace {

constexpr int headerBytes = 4 * 1000 * 1000;

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
    std::vector<double> firstHit, longestFrame;
    double plainTextStall = 0;
    int hits = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

Figures measure(const Case &c, int runs)
{
    QTemporaryDir root;
    const QString sdks = root.filePath("SDKs");
    const QString folder = sdks + "/MacOSX10.14.sdk/usr/include";
    QDir().mkpath(folder);
    const std::string text = makeHeader(c.hitsEvery, c.oneLine);
    for (const char *name : {"a.h", "b.h"}) {
        QFile file(folder + "/" + name);
        file.open(QIODevice::WriteOnly);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    MyWindow window;
    AppDelegate delegate(&window, sdks);
    window.show();
    delegate.loadPrefs();
    delegate.loadSkipFrameworksArray();
    window.ignoreCommentsCheck->setChecked(c.ignoreComments);
    window.caseSensitiveCheck->setChecked(c.caseSensitive);
    window.searchField->setText(c.word);
    QTest::keyClick(window.searchField, Qt::Key_Return);
    while (delegate.searchThread)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    // A tick every millisecond: the largest gap between ticks is the
    // longest frame.
    QElapsedTimer sinceTick;
    double longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });

    Figures figures;
    PreviewPane *pane = window.previewPane;
    for (int run = 0; run < runs; ++run) {
        const int row = run % 2;
        const QByteArray path = QFile::encodeName(delegate.tableData.rows().at(row).path);
        QCoreApplication::processEvents();
        longestGap = 0;
        sinceTick.start();
        ticker.start();
        QElapsedTimer clock;
        clock.start();
        window.tableView->selectionModel()->setCurrentIndex(delegate.tableData.index(row, 0),
                                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        while (pane->shownPath() != path || pane->isLoading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        pane->textView->viewport()->repaint();
        figures.firstHit.push_back(clock.nsecsElapsed() / 1e6);
        // A few hits on, as a user goes through them.
        for (int i = 0; i < 20; ++i) {
            pane->nextHit();
            QTest::qWait(5);
        }
        ticker.stop();
        figures.longestFrame.push_back(longestGap);
        figures.hits = static_cast<int>(pane->textView->content().hits.size());
    }

    // The same text in the widget Qt has for plain text, on the main thread.
    QPlainTextEdit plain;
    plain.setReadOnly(true);
    plain.show();
    QElapsedTimer stall;
    stall.start();
    plain.setPlainText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
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
            runs = std::max(1, std::atoi(argv[++i]));
    }
    const Case cases[] = {
        {"a hit on 1 line in 100", "NSNeedle", false, true, 100, false},
        {"the same, comments and case ignored", "nsneedle", true, false, 100, false},
        {"hits on most lines", "Widget", false, true, 0, false},
        {"all on one line", "NSNeedle", false, true, 100, true},
    };
    std::printf("4 MB header, %d runs each; medians (worst)\n", runs);
    std::printf("%-38s %8s %18s %20s %14s\n", "case", "hits", "first hit ms", "longest frame ms", "QPlainTextEdit");
    for (const Case &c : cases) {
        const Figures f = measure(c, runs);
        std::printf("%-38s %8d %8.1f (%6.1f) %10.1f (%6.1f) %11.0f ms\n", c.title, f.hits, median(f.firstHit),
                    *std::max_element(f.firstHit.begin(), f.firstHit.end()), median(f.longestFrame),
                    *std::max_element(f.longestFrame.begin(), f.longestFrame.end()), f.plainTextStall);
    }
    return 0;
}
