#include "restore_plan.h"

#include "plan_row.h"
#include "sdk_catalogue.h"

void addRestoreActions(QStringList &actions, const QString &sdk, const FrameworkLayout &layout)
{
    const QString &T = sdk;
    const qint64 m = SdkCatalogue::osMinorNumFromSDK(T);
    const QString none;

    const auto qdDir = [&](const char *x) { return layout.qdFrameworkPathToHeaderDirectory(x, T); };
    const auto colorSyncHeader = [&](const char *x) { return layout.colorSyncFrameworkPathToHeader(x, T); };
    const auto printCoreHeader = [&](const char *x) { return layout.printCoreFrameworkPathToHeader(x, T); };
    const auto printCoreFile = [&](const char *x) { return layout.printCoreFrameworkPathToFile(x, T); };
    const auto printHeader = [&](const char *x) { return layout.printFrameworkPathToHeader(x, T); };
    const auto printFile = [&](const char *x) { return layout.printFrameworkPathToFile(x, T); };
    const QString quickTime = layout.quickTimeFrameworkPath(T);
    const QString origQuickTime = layout.origQuickTimeFrameworkPath(T);
    const auto exists = FrameworkLayout::exists;

    // Each guard covers the "Remove" and "Move" of its pair.
    const bool qdSetAside = exists(qdDir("Headers_orig"));
    const bool printCoreHeaderSetAside = m > 9 && exists(printCoreHeader("PrintCore_orig.h"));
    const bool printHeaderSetAside = m > 9 && exists(printHeader("Print_orig.h"));
    const bool printCoreBinarySetAside = m == 10 && layout.doesPrintCoreOrigFileExistInSDK(T);
    const bool printBinarySetAside = m == 10 && layout.doesPrintOrigFileExistInSDK(T);
    const bool quickTimeSetAside = m > 11 && exists(origQuickTime);
    // The SDK's own copies of the headers that the fix adds, which the fix
    // set aside: they come back after the added ones are removed.
    const auto ownSetAside = [&](const QString &path) { return FrameworkLayout::anythingAt(path); };
    const QString colorSyncOrig = colorSyncHeader("ColorSyncDeprecated_orig.h");
    const QString pmCoreOrig = printCoreHeader("PMCoreDeprecated_orig.h");
    const QString pmDefinitionsOrig = printCoreHeader("PMDefinitionsDeprecated_orig.h");
    const QString pmApplicationOrig = printHeader("PMApplicationDeprecated_orig.h");
    const bool ownColorSync = m > 8 && ownSetAside(colorSyncOrig);
    const bool ownPMCore = m > 9 && ownSetAside(pmCoreOrig);
    const bool ownPMDefinitions = m > 9 && ownSetAside(pmDefinitionsOrig);
    const bool ownPMApplication = m > 9 && ownSetAside(pmApplicationOrig);

    // clang-format off
    appendRows(actions, {
        /*  1 */ {qdSetAside,              "Remove", qdDir("Headers"),                              none},
        /*  2 */ {qdSetAside,              "Move",   qdDir("Headers_orig"),                         qdDir("Headers")},
        /*  3 */ {m > 8,                   "Remove", colorSyncHeader("ColorSyncDeprecated.h"),      none},
        /* 3a */ {ownColorSync,            "Move",   colorSyncOrig,                                 colorSyncHeader("ColorSyncDeprecated.h")},
        /*  4 */ {m > 9,                   "Remove", printCoreHeader("PMCoreDeprecated.h"),         none},
        /* 4a */ {ownPMCore,               "Move",   pmCoreOrig,                                    printCoreHeader("PMCoreDeprecated.h")},
        /*  5 */ {m > 9,                   "Remove", printCoreHeader("PMDefinitionsDeprecated.h"),  none},
        /* 5a */ {ownPMDefinitions,        "Move",   pmDefinitionsOrig,                             printCoreHeader("PMDefinitionsDeprecated.h")},
        /*  6 */ {printCoreHeaderSetAside, "Remove", printCoreHeader("PrintCore.h"),                none},
        /*  7 */ {printCoreHeaderSetAside, "Move",   printCoreHeader("PrintCore_orig.h"),           printCoreHeader("PrintCore.h")},
        /*  8 */ {m > 9,                   "Remove", printHeader("PMApplicationDeprecated.h"),      none},
        /* 8a */ {ownPMApplication,        "Move",   pmApplicationOrig,                             printHeader("PMApplicationDeprecated.h")},
        /*  9 */ {printHeaderSetAside,     "Remove", printHeader("Print.h"),                        none},
        /* 10 */ {printHeaderSetAside,     "Move",   printHeader("Print_orig.h"),                   printHeader("Print.h")},
        /* 11 */ {printCoreBinarySetAside, "Remove", printCoreFile("PrintCore"),                    none},
        /* 12 */ {printCoreBinarySetAside, "Move",   printCoreFile("PrintCore_orig"),               printCoreFile("PrintCore")},
        /* 13 */ {printBinarySetAside,     "Remove", printFile("Print"),                            none},
        /* 14 */ {printBinarySetAside,     "Move",   printFile("Print_orig"),                       printFile("Print")},
        /* 15 */ {m > 10,                  "Remove", printCoreFile("PrintCore"),                    none},
        /* 16 */ {m > 10,                  "Move",   printCoreFile("PrintCore_orig.tbd"),           printCoreFile("PrintCore.tbd")},
        /* 17 */ {m > 10,                  "Remove", printFile("Print"),                            none},
        /* 18 */ {m > 10,                  "Move",   printFile("Print_orig.tbd"),                   printFile("Print.tbd")},
        /* 19 */ {quickTimeSetAside,       "Remove", quickTime,                                     none},
        /* 20 */ {quickTimeSetAside,       "Move",   origQuickTime,                                 quickTime},
    });
    // clang-format on
}
