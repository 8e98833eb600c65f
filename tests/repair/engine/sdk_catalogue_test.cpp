#include "qt_printers.h"
#include "sdk_catalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QStringList rowNames(const TableViewData &data)
{
    QStringList names;
    for (const SdkRow &row : data.tableContents) {
        EXPECT_EQ(row.keys(), QStringList{"sdk"});
        names << sdkOfRow(row);
    }
    return names;
}

void makeEntries(const QString &folder, const QStringList &names)
{
    for (const QString &name : names)
        ASSERT_TRUE(QDir(folder).mkpath(name));
}

} // namespace

// The second component reads as an integer value: leading white space, a
// sign, digits up to the first other character, saturating at the limits.
TEST(SdkCatalogue, MinorNumbersReadLikeTheIntegerValueOfTheSecondComponent)
{
    const struct {
        const char *name;
        qint64 minor;
    } cases[] = {
        {"MacOSX10.6.sdk", 6},     {"MacOSX10.14.sdk", 14},  {"MacOSX10.14.4.sdk", 14},
        {"MacOSX11.1.sdk", 1},     {"MacOSX11.sdk", 0},      {"MacOSX.sdk", 0},
        {"MacOSX10.x.sdk", 0},     {"MacOSX10.09.sdk", 9},   {"MacOSX10. 7beta.sdk", 7},
        {"MacOSX10.-3.sdk", -3},   {"MacOSX10.+12.sdk", 12}, {"Backup1.zip", 0},
        {"abc.de1", 0},            {"MacOSX10.", 0},         {"", 0},
        {"MacOSX10.\t\n 42x.sdk", 42},     {"MacOSX10.- 4.sdk", 0},
        {"MacOSX10.9223372036854775807.sdk", std::numeric_limits<qint64>::max()},
        {"MacOSX10.9223372036854775808.sdk", std::numeric_limits<qint64>::max()},
        {"MacOSX10.99999999999999999999.sdk", std::numeric_limits<qint64>::max()},
        {"MacOSX10.-9223372036854775808.sdk", std::numeric_limits<qint64>::min()},
        {"MacOSX10.-9223372036854775809.sdk", std::numeric_limits<qint64>::min()},
        {"MacOSX10.-99999999999999999999.sdk", std::numeric_limits<qint64>::min()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SdkCatalogue::osMinorNumFromSDK(QString::fromUtf8(c.name)), c.minor) << c.name;
}

// Not every name the table lists has an SDK's form.
TEST(SdkCatalogue, SdkNamesBeginWithMacOSXAndADigitAndEndInSdk)
{
    for (const char *name : {"MacOSX10.9.sdk", "MacOSX11.1.sdk", "MacOSX1.sdk", "MacOSX10.9 copy.sdk"})
        EXPECT_TRUE(SdkCatalogue::isSdkName(QString::fromUtf8(name))) << name;
    for (const char *name : {"Backup1.9.zip", "MacOSX.sdk", "MacOSX0.9.sdk", "MacOSX1sdk", "MacOSX10.9.SDK",
                             "macOSX10.9.sdk", ".MacOSX10.9.sdk", "XMacOSX10.9.sdk", "MacOSX10.9.sdk.zip"})
        EXPECT_FALSE(SdkCatalogue::isSdkName(QString::fromUtf8(name))) << name;
}

TEST(SdkCatalogue, TableListsSdkLikeEntriesByMinorNumber)
{
    QTemporaryDir sdks;
    makeEntries(sdks.path(), {"MacOSX.sdk", "MacOSX10.6.sdk", "MacOSX10.14.sdk", "MacOSX10.9.sdk",
                              "MacOSX11.1.sdk", "MacOSX11.0.sdk", "Backup1.zip", "Short1"});
    QFile(sdks.filePath(".DS_Store")).open(QIODevice::WriteOnly);
    QFile(sdks.filePath("MacOSX10.8.sdk")).open(QIODevice::WriteOnly); // a plain file
    ASSERT_EQ(symlink("MacOSX.sdk", QFile::encodeName(sdks.filePath("MacOSX10.15.sdk"))), 0);
    ASSERT_EQ(symlink("/nowhere", QFile::encodeName(sdks.filePath("MacOSX10.13.sdk"))), 0);

    const SdkCatalogue catalogue(sdks.path());
    const TableViewData data = catalogue.buildTableViewData();
    const QStringList names = rowNames(data);
    EXPECT_EQ(data.sdks, names);
    ASSERT_EQ(names.size(), 9);
    // Equal minor numbers may come in either order.
    EXPECT_EQ(QSet<QString>(names.begin(), names.begin() + 2),
              (QSet<QString>{"MacOSX11.0.sdk", "Backup1.zip"}));
    EXPECT_EQ(names.mid(2), (QStringList{"MacOSX11.1.sdk", "MacOSX10.6.sdk", "MacOSX10.8.sdk",
                                         "MacOSX10.9.sdk", "MacOSX10.13.sdk", "MacOSX10.14.sdk",
                                         "MacOSX10.15.sdk"}));
    EXPECT_EQ(rowNames(catalogue.buildTableViewData()), names) << "a rebuild keeps the order";
}

TEST(SdkCatalogue, MissingOrUnusableSdkDirectoryGivesNoRows)
{
    QTemporaryDir scratch;
    EXPECT_TRUE(SdkCatalogue(scratch.filePath("missing")).buildTableViewData().tableContents.isEmpty());
    QFile(scratch.filePath("file")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(SdkCatalogue(scratch.filePath("file")).buildTableViewData().tableContents.isEmpty());
    ASSERT_EQ(symlink("/nowhere", QFile::encodeName(scratch.filePath("dangling")).constData()), 0);
    EXPECT_TRUE(SdkCatalogue(scratch.filePath("dangling")).buildTableViewData().sdks.isEmpty());

    makeEntries(scratch.filePath("locked"), {"MacOSX10.9.sdk"});
    QFile::setPermissions(scratch.filePath("locked"), QFile::Permissions());
    if (geteuid() != 0) { // root reads it all the same
        EXPECT_TRUE(SdkCatalogue(scratch.filePath("locked")).buildTableViewData().sdks.isEmpty());
    }
    QFile::setPermissions(scratch.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(SdkCatalogue, Sdk10_6ExistsFollowsLinks)
{
    QTemporaryDir sdks;
    const SdkCatalogue catalogue(sdks.path());
    EXPECT_FALSE(catalogue.sdk10_6Exists());
    ASSERT_EQ(symlink("Elsewhere.sdk", QFile::encodeName(sdks.filePath("MacOSX10.6.sdk"))), 0);
    EXPECT_FALSE(catalogue.sdk10_6Exists()) << "a dangling link is no SDK";
    makeEntries(sdks.path(), {"Elsewhere.sdk"});
    EXPECT_TRUE(catalogue.sdk10_6Exists());
}

TEST(SdkCatalogue, OddNamesAreListedOnlyWhenTheyCanBeActedOn)
{
    QTemporaryDir sdks;
    const std::string root = sdks.path().toStdString();
    const std::string longName = "MacOSX10.9" + std::string(241, 'x') + ".sdk"; // 255 bytes
    for (const std::string &name : {std::string("MacOSX10.9 copy.sdk"), std::string("MacOSX10.8\nnew.sdk"),
                                    std::string("MacOSX10.7\xff.sdk"), longName, std::string("MacOSX0.9.sdk"),
                                    std::string("MacOSX:0.9.sdk")})
        ASSERT_EQ(mkdir((root + "/" + name).c_str(), 0755), 0) << name;
    const QStringList names = rowNames(SdkCatalogue(sdks.path()).buildTableViewData());
    ASSERT_EQ(names.size(), 3) << "the name that is not UTF-8 is left out: " << names.join(", ").toStdString();
    EXPECT_EQ(names.first(), "MacOSX10.8\nnew.sdk");
    EXPECT_EQ(QSet<QString>(names.begin() + 1, names.end()),
              (QSet<QString>{"MacOSX10.9 copy.sdk", QString::fromStdString(longName)}));
}
