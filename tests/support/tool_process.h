#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ToolResult {
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
};

// The test build's Tool, whose SDK directory is taken from the environment.
QString toolForTestsPath();

// A tool that writes every line of Tool's output protocol.
QString standInToolPath();

// Runs that Tool to its end with the given SDK directory and arguments.
ToolResult runTool(const QString &sdkDirectory, const QStringList &arguments);
