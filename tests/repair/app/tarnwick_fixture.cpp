#include "tarnwick_fixture.h"

#include "fix_plan.h"
#include "framework_layout.h"
#include "restore_plan.h"
#include "sdk_catalogue.h"

#include <QFile>

void TarnwickTest::SetUp()
{
    QDir().mkpath(sdks);
    QDir().mkpath(elsewhere);
    // The SDK directory of the test build's tools.
    qputenv("TARNWICK_TEST_SDK_DIRECTORY", sdks.toUtf8());
    acceptDisclaimer(true);
}

void TarnwickTest::TearDown()
{
    for (const char *hold : {"first", "second", "answer"})
        release(hold);
    delegate.reset();
    window.reset();
    qunsetenv("STAND_IN_HOLD");
    acceptDisclaimer(false);
}

void TarnwickTest::makeSdks(const QStringList &names, const QStringList &fixed)
{
    const FrameworkLayout layout(sdks);
    for (const QString &name : names)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers", name));
    for (const QString &name : fixed)
        QDir().mkpath(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", name));
    // Stand-ins for every item their fixes and restores take, in the SDKs
    // made here, so that the plans pass the checks made before a run.
    for (const QString &name : names) {
        if (!SdkCatalogue::isSdkName(name) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(name)))
            continue;
        QStringList plan;
        (fixed.contains(name) ? addRestoreActions : addFixActions)(plan, name, layout);
        for (qsizetype i = 0; i + 2 < plan.size(); i += 3) {
            const QString &taken = plan[i + 1];
            const QString sdk = taken.mid(sdks.size() + 1).section(u'/', 0, 0);
            if (plan[i] == "Remove" || !names.contains(sdk) || FrameworkLayout::anythingAt(taken))
                continue;
            const QString item = taken.section(u'/', -1);
            if (item == "Headers" || item.endsWith(".framework")) {
                QDir().mkpath(taken);
            } else {
                QDir().mkpath(QFileInfo(taken).path());
                QFile(taken).open(QIODevice::WriteOnly);
            }
        }
    }
}

void TarnwickTest::launchWith(ActionRunner &actionRunner)
{
    delegate.reset();
    window.reset();
    window = std::make_unique<Window>();
    const Desktop recorders{[this] { ++beeps; }, [this](const QUrl &url) { opened.append(url); },
                            [this] { ++terminations; },
                            [this](const OpenPanel &panel, OpenPanelCompletion completion) {
                                panels.append(panel);
                                pendingPanel = std::move(completion);
                            }};
    delegate = std::make_unique<AppDelegate>(window.get(), sdks, &actionRunner, recorders);
    window->show();
    delegate->applicationDidFinishLaunching();
    // Activation comes late offscreen and reloads the table; let it pass.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
}

