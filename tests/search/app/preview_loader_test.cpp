#include "../engine/case_file.h"
#include "preview_loader.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Any search will do where what matters is the file.
const SearchRequest searchForX{"x", "All", false, false};

} // namespace

TEST(PreviewLoading, TextLinesAndHitsAsTheSearchSawThem)
{
    QTemporaryDir folder;
    // One preparer, as the loader's thread has, each content given back
    // before the next: nothing of one header or search may stay.
    PreviewPreparer preparer;
    for (const CaseFields &c : readCases("preview_contents")) {
        SCOPED_TRACE(testing::PrintToString(c.at(0)));
        const SearchRequest search{c.at(1), "All", yes(c.at(2)), yes(c.at(3))};
        const QString path = folder.filePath("h.h");
        writeFile(path.toStdString(), c.at(0));
        std::shared_ptr<PreviewContent> content = preparer.prepare(QFile::encodeName(path), "h.h", search);
        ASSERT_TRUE(content);
        EXPECT_TRUE(content->note.isEmpty());
        EXPECT_EQ(content->text, QString::fromStdString(c.at(4)));
        std::vector<std::uint32_t> lineStarts;
        for (const QString &start : QString::fromStdString(c.at(5)).split(','))
            lineStarts.push_back(start.toUInt());
        EXPECT_EQ(content->lineStarts, lineStarts);
        EXPECT_EQ(content->widestLine, std::stoi(c.at(6)));
        EXPECT_EQ(piecesOf(content->hits), hitsOf(c, 7));
        EXPECT_EQ(content->marks.size(), content->hits.size());
        preparer.recycle(std::move(content));
        std::shared_ptr<PreviewContent> gone = preparer.prepare(QFile::encodeName(folder.filePath("gone.h")), "gone.h", search);
        EXPECT_TRUE(gone->text.isEmpty() && gone->hits.empty() && gone->marks.empty() && gone->lineStarts.size() == 1);
        preparer.recycle(std::move(gone));
    }
    writeFile(folder.filePath("h.h").toStdString(), "a\r\nbc\rd\n");
    const PreviewContent breaks = *preparePreview(QFile::encodeName(folder.filePath("h.h")), "h.h", searchForX);
    EXPECT_EQ(breaks.lineEnd(0), 1);
    EXPECT_EQ(breaks.lineEnd(1), 5);
    EXPECT_EQ(breaks.lineEnd(2), 7);
    EXPECT_EQ(breaks.lineOf(3), 1);
    EXPECT_EQ(breaks.lineOf(6), 2);
}

TEST(PreviewLoading, WhatCannotBePreviewedSaysWhy)
{
    QTemporaryDir folder;
    // One byte over the limit; sparse, so it costs no disk.
    const QString huge = folder.filePath("huge.h");
    writeFile(huge.toStdString(), "x");
    ASSERT_EQ(truncate(QFile::encodeName(huge).constData(), previewLimit + 1), 0);
    const QString fifo = folder.filePath("pipe.h");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        QString note;
    } cases[] = {
        {huge, "huge.h is " + QLocale().formattedDataSize(previewLimit + 1) + ", too large to preview. Open it to read it."},
        {folder.filePath("gone.h"), "gone.h cannot be read."},
        {folder.path(), QFileInfo(folder.path()).fileName() + " cannot be read."},
        // A pipe without a writer must not stall the preview.
        {fifo, "pipe.h cannot be read."},
    };
    for (const auto &c : cases) {
        const std::shared_ptr<PreviewContent> content =
            preparePreview(QFile::encodeName(c.path), QFileInfo(c.path).fileName(), searchForX);
        ASSERT_TRUE(content);
        EXPECT_EQ(content->note, c.note);
        EXPECT_TRUE(content->text.isEmpty());
        EXPECT_TRUE(content->hits.empty());
    }

    // At the limit exactly, it is previewed.
    ASSERT_EQ(truncate(QFile::encodeName(huge).constData(), previewLimit), 0);
    const std::shared_ptr<PreviewContent> content = preparePreview(QFile::encodeName(huge), "huge.h", searchForX);
    EXPECT_TRUE(content->note.isEmpty());
    EXPECT_EQ(content->text.size(), previewLimit);
    EXPECT_EQ(content->hits.size(), 1u);
}

TEST(PreviewLoading, OnlyTheLastRequestArrives)
{
    QTemporaryDir folder;
    for (const char *name : {"a.h", "b.h", "c.h"})
        writeFile(folder.filePath(name).toStdString(), std::string(200000, 'x') + name);
    PreviewLoader loader;
    QSignalSpy loaded(&loader, &PreviewLoader::loaded);
    for (const char *name : {"a.h", "b.h", "c.h"})
        loader.load(QFile::encodeName(folder.filePath(name)), name, searchForX);
    ASSERT_TRUE(loaded.wait(10000));
    QTest::qWait(200); // time for a superseded one to come in, were it sent
    ASSERT_EQ(loaded.size(), 1);
    const auto content = loaded.at(0).at(0).value<std::shared_ptr<const PreviewContent>>();
    EXPECT_TRUE(content->text.endsWith("c.h"));

    loader.load(QFile::encodeName(folder.filePath("a.h")), "a.h", searchForX);
    loader.cancel();
    QTest::qWait(300);
    EXPECT_EQ(loaded.size(), 1) << "a cancelled request delivers nothing";
}
