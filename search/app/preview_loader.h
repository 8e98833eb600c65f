#pragma once

#include "preview_content.h"
#include "search_types.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// Headers above this size are not previewed: their text, the search's
// compared forms and the hit maps would take several times as much memory.
constexpr qint64 previewLimit = 16 * 1024 * 1024;

// Buffers up to this size are kept for the next header; bigger ones go.
constexpr std::size_t keptBufferSize = 8 * 1024 * 1024;

// Reads headers and finds the hits of a search in them, as the search did,
// on one thread. Its working memory serves one header after the other, and
// content given back is made over into the next: for a header of megabytes,
// fresh memory costs more than the work.
class PreviewPreparer
{
public:
    // superseded is asked between the steps; when it answers yes the work
    // ends early with nothing.
    std::shared_ptr<PreviewContent> prepare(const QByteArray &path, const QString &name, const SearchRequest &search,
                                            const std::function<bool()> &superseded = {});
    void recycle(std::shared_ptr<const PreviewContent> content);

private:
    std::string m_bytes;
    std::unique_ptr<HitFinder> m_finder;
    SearchRequest m_search; // the one m_finder finds
    std::shared_ptr<PreviewContent> m_spare;
};

// Once, with buffers of its own.
std::shared_ptr<PreviewContent> preparePreview(const QByteArray &path, const QString &name,
                                               const SearchRequest &search);

// Prepares previews on a thread of its own, so that the main thread never
// waits for a header. Only the last request counts: one asked for while
// another is being prepared supersedes it, and superseded work is dropped.
class PreviewLoader : public QObject
{
    Q_OBJECT

public:
    explicit PreviewLoader(QObject *parent = nullptr);
    ~PreviewLoader() override;

    void load(const QByteArray &path, const QString &name, const SearchRequest &search);
    void cancel();
    // Lets go of content on the thread: freeing a header's text and hits
    // is work the main thread need not do.
    void dispose(std::shared_ptr<const PreviewContent> content);

signals:
    void loaded(std::shared_ptr<const PreviewContent> content);

private:
    struct Shared;
    static void work(std::shared_ptr<Shared> shared);
    Q_INVOKABLE void deliver();

    std::shared_ptr<Shared> m_shared;
    std::thread m_worker;
};
