#include "tool_process.h"

#include <QProcess>
#include <QProcessEnvironment>

QString toolForTestsPath()
{
    return QStringLiteral(TOOL_FOR_TESTS_PATH);
}

QString standInToolPath()
{
    return QStringLiteral(STAND_IN_TOOL_PATH);
}

ToolResult runTool(const QString &sdkDirectory, const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_TEST_SDK_DIRECTORY"), sdkDirectory);
    tool.setProcessEnvironment(environment);
    tool.start(toolForTestsPath(), arguments);
    tool.waitForFinished(60000);
    ToolResult result;
    result.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    result.standardOutput = tool.readAllStandardOutput();
    result.standardError = tool.readAllStandardError();
    return result;
}
