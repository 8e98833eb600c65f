// scoutmark-window-bench SDK_DIRECTORY SEARCH_STRING [--sdk TITLE]
//
// Runs a search through Scoutmark's real window, offscreen, the way a user
// starts one (Return in the search field), and measures what the user would
// feel: the longest time the main thread went without turning its event
// loop while results streamed in, and the time until the controls came back.

#include "app_delegate.h"
#include "my_window.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: scoutmark-window-bench SDK_DIRECTORY SEARCH_STRING [--sdk TITLE]\n");
        return 2;
    }
    const QString title = argc >= 5 && !std::strcmp(argv[3], "--sdk") ? argv[4] : "All";

    MyWindow window;
    AppDelegate delegate(&window, QString::fromLocal8Bit(argv[1]));
    window.show();
    delegate.loadPrefs();
    delegate.loadSkipFrameworksArray();
    window.sdkPopUp->setCurrentText(title);
    window.searchField->setText(QString::fromLocal8Bit(argv[2]));

    // A tick every 5 ms: the largest gap between ticks is the longest frame.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    QTest::keyClick(window.searchField, Qt::Key_Return);
    // The event loop sleeps between events, as the application's does; a
    // loop of processEvents() would spin a core the search needs.
    QEventLoop loop;
    QTimer ended;
    QObject::connect(&ended, &QTimer::timeout, [&] {
        if (!delegate.searchThread())
            loop.quit();
    });
    ended.start(5);
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    ticker.stop();

    std::printf("rows %lld seconds %.4f longest-frame-ms %lld\n",
                static_cast<long long>(delegate.tableData().rows().size()), seconds,
                static_cast<long long>(longestGap));
    return 0;
}
