#include "fix_plan.h"

#include "plan_row.h"
#include "sdk_catalogue.h"

void addFixActions(QStringList &actions, const QString &sdk, const FrameworkLayout &layout)
{
    const QString &T = sdk;
    const QString S = SdkCatalogue::sdkFromOSNumString(QStringLiteral("10.6"));
    const qint64 m = SdkCatalogue::osMinorNumFromSDK(T);
    if (layout.doesQDHeaderOrigExistInSDK(T))
        return;

    const auto qdDir = [&](const char *x, const QString &s) { return layout.qdFrameworkPathToHeaderDirectory(x, s); };
    const auto qdHeader = [&](const char *x, const QString &s) { return layout.qdFrameworkPathToHeader(x, s); };
    const auto colorSyncHeader = [&](const char *x, const QString &s) { return layout.colorSyncFrameworkPathToHeader(x, s); };
    const auto printCoreHeader = [&](const char *x, const QString &s) { return layout.printCoreFrameworkPathToHeader(x, s); };
    const auto printCoreFile = [&](const char *x, const QString &s) { return layout.printCoreFrameworkPathToFile(x, s); };
    const auto printHeader = [&](const char *x, const QString &s) { return layout.printFrameworkPathToHeader(x, s); };
    const auto printFile = [&](const char *x, const QString &s) { return layout.printFrameworkPathToFile(x, s); };
    const auto quickTime = [&](const QString &s) { return layout.quickTimeFrameworkPath(s); };
    const auto origQuickTime = [&](const QString &s) { return layout.origQuickTimeFrameworkPath(s); };

    // The four headers that a fix adds may already stand in the SDK as its
    // own: those are set aside too, so that the restore, which removes what
    // the fix added, brings them back instead of losing them. A link counts,
    // dangling or not, since the copy would not write over it either.
    const auto own = [&](const QString &path) { return FrameworkLayout::anythingAt(path); };
    const QString colorSync = colorSyncHeader("ColorSyncDeprecated.h", T);
    const QString pmCore = printCoreHeader("PMCoreDeprecated.h", T);
    const QString pmDefinitions = printCoreHeader("PMDefinitionsDeprecated.h", T);
    const QString pmApplication = printHeader("PMApplicationDeprecated.h", T);
    const bool ownColorSync = m > 8 && own(colorSync);
    const bool ownPMCore = m > 9 && own(pmCore);
    const bool ownPMDefinitions = m > 9 && own(pmDefinitions);
    const bool ownPMApplication = m > 9 && own(pmApplication);

    // Each "Move" sets an item aside right before the "Copy" that takes its name.
    // clang-format off
    appendRows(actions, {
        /* 1a */ {ownColorSync,     "Move", colorSync,                                      colorSyncHeader("ColorSyncDeprecated_orig.h", T)},
        /*  1 */ {m > 8,            "Copy", qdHeader("ColorSyncDeprecated.h", T),           colorSync},
        /*  2 */ {true,             "Move", qdDir("Headers", T),                            qdDir("Headers_orig", T)},
        /*  3 */ {true,             "Copy", qdDir("Headers", S),                            qdDir("Headers", T)},
        /* 4a */ {ownPMCore,        "Move", pmCore,                                         printCoreHeader("PMCoreDeprecated_orig.h", T)},
        /*  4 */ {m > 9,            "Copy", printCoreHeader("PMCoreDeprecated.h", S),        pmCore},
        /* 5a */ {ownPMDefinitions, "Move", pmDefinitions,                                  printCoreHeader("PMDefinitionsDeprecated_orig.h", T)},
        /*  5 */ {m > 9,            "Copy", printCoreHeader("PMDefinitionsDeprecated.h", S), pmDefinitions},
        /*  6 */ {m > 9,            "Move", printCoreHeader("PrintCore.h", T),               printCoreHeader("PrintCore_orig.h", T)},
        /*  7 */ {m > 9,            "Copy", printCoreHeader("PrintCore.h", S),               printCoreHeader("PrintCore.h", T)},
        /* 8a */ {ownPMApplication, "Move", pmApplication,                                  printHeader("PMApplicationDeprecated_orig.h", T)},
        /*  8 */ {m > 9,            "Copy", printHeader("PMApplicationDeprecated.h", S),     pmApplication},
        /*  9 */ {m > 9,            "Move", printHeader("Print.h", T),                       printHeader("Print_orig.h", T)},
        /* 10 */ {m > 9,            "Copy", printHeader("Print.h", S),                       printHeader("Print.h", T)},
        /* 11 */ {m == 10,          "Move", printCoreFile("PrintCore", T),                   printCoreFile("PrintCore_orig", T)},
        /* 12 */ {m == 10,          "Copy", printCoreFile("PrintCore", S),                   printCoreFile("PrintCore", T)},
        /* 13 */ {m == 10,          "Move", printFile("Print", T),                           printFile("Print_orig", T)},
        /* 14 */ {m == 10,          "Copy", printFile("Print", S),                           printFile("Print", T)},
        /* 15 */ {m > 10,           "Move", printCoreFile("PrintCore.tbd", T),               printCoreFile("PrintCore_orig.tbd", T)},
        /* 16 */ {m > 10,           "Copy", printCoreFile("PrintCore", S),                   printCoreFile("PrintCore", T)},
        /* 17 */ {m > 10,           "Move", printFile("Print.tbd", T),                       printFile("Print_orig.tbd", T)},
        /* 18 */ {m > 10,           "Copy", printFile("Print", S),                           printFile("Print", T)},
        /* 19 */ {m > 11,           "Move", quickTime(T),                                    origQuickTime(T)},
        /* 20 */ {m > 11,           "Copy", quickTime(S),                                    quickTime(T)},
    });
    // clang-format on
}
