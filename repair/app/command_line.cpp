#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this help and exit."));
const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Show the version and exit."));

void setUp(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(APPLICATION_SUMMARY "."));
    parser.addOptions({helpOption, versionOption});
}

void print(const QString &text, FILE *stream)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

bool asksForAnswer(const QCommandLineParser &parser)
{
    return parser.isSet(helpOption) || parser.isSet(versionOption);
}

int answer(const QCommandLineParser &parser)
{
    if (parser.isSet(helpOption))
        print(parser.helpText(), stdout);
    else
        print(QStringLiteral("Tarnwick " APPLICATION_VERSION "\n"), stdout);
    return 0;
}

int refuse(const QString &program, const QString &error)
{
    print(QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, error), stderr);
    return 1;
}

} // namespace

std::optional<int> answerCommandLineEarly(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    setUp(parser);
    // An unknown option or a stray word may belong to one of Qt's options.
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() || !asksForAnswer(parser))
        return std::nullopt;
    const QCoreApplication app(argc, argv); // the help names the program as it was started
    return answer(parser);
}

std::optional<int> answerCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    setUp(parser);
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("tarnwick"))).fileName();
    if (!parser.parse(arguments))
        return refuse(program, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse(program, QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (asksForAnswer(parser))
        return answer(parser);
    return std::nullopt;
}
