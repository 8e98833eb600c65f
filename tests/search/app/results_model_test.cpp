#include "results_model.h"

#include <gtest/gtest.h>

TEST(ResultsModel, LaterDescriptorsBreakTheTiesOfEarlierOnes)
{
    ResultsModel model;
    model.replaceRows({{"b.h", "/s/MacOSX10.9.sdk/b.h"},
                       {"a.h", "/s/MacOSX10.9.sdk/a.h"},
                       {"b.h", "/s/MacOSX10.10.sdk/b.h"},
                       {"a.h", "/s/MacOSX10.10.sdk/a.h"}});
    model.sortUsingDescriptors({{"Name", true}, {"Path", false}});
    QStringList paths;
    for (const ResultRow &row : model.rows())
        paths << row.displayPath();
    EXPECT_EQ(paths, (QStringList{"/s/MacOSX10.10.sdk/a.h", "/s/MacOSX10.9.sdk/a.h", "/s/MacOSX10.10.sdk/b.h",
                                  "/s/MacOSX10.9.sdk/b.h"}));
}
