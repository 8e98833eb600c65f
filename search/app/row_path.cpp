#include "row_path.h"

#include "results_model.h"

#include <QFile>

QByteArray rowFilePath(const ResultRow &row)
{
    return QFile::encodeName(row.path);
}

QString rowDisplayPath(const ResultRow &row)
{
    return row.path;
}

QUrl fileUrl(const QByteArray &path)
{
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}
