#include "preview_loader.h"

#include "header_decoding.h"

#include <unicode/unistr.h>

#include <QCoreApplication>
#include <QLocale>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Read { Whole, TooLarge, Unreadable };

// The whole file, through a link, if it is a regular file within the limit.
// Non-blocking, as the search reads: a link to a pipe must not stall us.
Read readWhole(const QByteArray &path, std::string &bytes, qint64 &size)
{
    const int file = open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file < 0)
        return Read::Unreadable;
    struct stat status;
    Read outcome = Read::Whole;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        outcome = Read::Unreadable;
    } else if (status.st_size > previewLimit) {
        size = status.st_size;
        outcome = Read::TooLarge;
    } else {
        // One more byte than allowed tells a file that grew past the limit.
        bytes.resize(static_cast<std::size_t>(status.st_size) + 1);
        std::size_t done = 0;
        for (;;) {
            if (done == bytes.size()) {
                if (bytes.size() > static_cast<std::size_t>(previewLimit)) {
                    size = static_cast<qint64>(done);
                    outcome = Read::TooLarge;
                    break;
                }
                bytes.resize(std::min<std::size_t>(bytes.size() * 2, previewLimit + 1));
            }
            const ssize_t n = read(file, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                outcome = Read::Unreadable;
                break;
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
    }
    close(file);
    return outcome;
}

} // namespace

std::shared_ptr<PreviewContent> PreviewPreparer::prepare(const QByteArray &path, const QString &name,
                                                        const SearchRequest &search,
                                                        const std::function<bool()> &superseded)
{
    const auto stop = [&] { return superseded && superseded(); };
    std::shared_ptr<PreviewContent> content = std::exchange(m_spare, nullptr);
    if (!content)
        content = std::make_shared<PreviewContent>();
    content->lineStarts.assign(1, 0);
    content->widestLine = 0;
    content->marks.clear();
    content->note.clear();
    const auto noted = [&](const QString &note) {
        content->text.clear();
        content->hits.clear();
        content->note = note;
        return content;
    };
    qint64 size = 0;
    switch (readWhole(path, m_bytes, size)) {
    case Read::TooLarge:
        return noted(QCoreApplication::translate("PreviewLoader", "%1 is %2, too large to preview. Open it to read it.").arg(name, QLocale().formattedDataSize(size)));
    case Read::Unreadable:
        return noted(QCoreApplication::translate("PreviewLoader", "%1 cannot be read.").arg(name));
    case Read::Whole:
        break;
    }
    if (stop())
        return nullptr;

    const bool sameSearch = m_finder && m_search.searchString == search.searchString
                            && m_search.ignoreComments == search.ignoreComments
                            && m_search.caseSensitive == search.caseSensitive;
    if (!sameSearch) {
        const icu::UnicodeString text = icu::UnicodeString::fromUTF8(search.searchString);
        auto finder = std::make_unique<HitFinder>(std::u16string_view(text.getBuffer(), static_cast<std::size_t>(text.length())),
                                                  search.ignoreComments, search.caseSensitive);
        if (m_finder)
            finder->reuseBuffersOf(*m_finder);
        m_finder = std::move(finder);
        m_search = search;
    }
    const Decoding decoding = headerDecoding(m_bytes);
    content->hits = m_finder->findHits(m_bytes, decoding);
    if (stop())
        return nullptr;
    for (std::size_t hit = 0; hit < content->hits.size(); ++hit) {
        for (const TextRange &piece : content->hits[hit].pieces)
            content->marks.push_back({static_cast<qsizetype>(piece.begin), static_cast<qsizetype>(piece.end), static_cast<int>(hit)});
    }

    // The search's decoding: no more units than bytes.
    QString &text = content->text;
    text.resize(static_cast<qsizetype>(m_bytes.size()));
    text.resize(static_cast<qsizetype>(decodeHeader(m_bytes, decoding, reinterpret_cast<char16_t *>(text.data()))));
    const std::size_t length = static_cast<std::size_t>(text.size());
    const char16_t *characters = reinterpret_cast<const char16_t *>(text.constData());

    int column = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t c = characters[i];
        if (c == u'\t') {
            column += PreviewContent::widthAt(u'\t', column);
        } else if (c == u'\n' || (c == u'\r' && (i + 1 == length || characters[i + 1] != u'\n'))) {
            content->widestLine = std::max(content->widestLine, column);
            column = 0;
            if (i + 1 < length)
                content->lineStarts.push_back(static_cast<std::uint32_t>(i + 1));
        } else if (c != u'\r') {
            ++column;
        }
    }
    content->widestLine = std::max(content->widestLine, column);
    // The buffers of a header of ordinary size serve the next one; those
    // of a big one go.
    if (m_bytes.size() > keptBufferSize) {
        m_finder.reset();
        m_bytes = std::string();
    }
    return content;
}

void PreviewPreparer::recycle(std::shared_ptr<const PreviewContent> content)
{
    // Content is made here, not const; the last holder may take it apart.
    if (content && content.use_count() == 1 && static_cast<std::size_t>(content->text.size()) <= keptBufferSize)
        m_spare = std::const_pointer_cast<PreviewContent>(std::move(content));
}

std::shared_ptr<PreviewContent> preparePreview(const QByteArray &path, const QString &name,
                                               const SearchRequest &search)
{
    return PreviewPreparer().prepare(path, name, search);
}

// What the loader and its thread share. The thread holds it too, so that a
// thread stuck in reading a file may outlive the loader.
struct PreviewLoader::Shared {
    struct Request {
        std::uint64_t id = 0;
        QByteArray path;
        QString name;
        SearchRequest search;
    };

    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable finished;
    QObject *receiver; // the loader, until it goes
    std::uint64_t lastId = 0;
    std::uint64_t wanted = 0; // the request that counts; 0: none
    std::optional<Request> next;
    std::shared_ptr<const PreviewContent> ready;
    std::uint64_t readyId = 0;
    std::vector<std::shared_ptr<const PreviewContent>> disposals;
    bool stopping = false;
    bool done = false;
};

PreviewLoader::PreviewLoader(QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->receiver = this;
    m_worker = std::thread(work, m_shared);
}

// Waits a moment for the thread to end; one that does not, held up by a
// file system that does not answer, is left to end by itself.
PreviewLoader::~PreviewLoader()
{
    std::unique_lock guard(m_shared->lock);
    m_shared->stopping = true;
    m_shared->receiver = nullptr;
    m_shared->wanted = 0;
    m_shared->wake.notify_one();
    const bool ended = m_shared->finished.wait_for(guard, std::chrono::seconds(1), [&] { return m_shared->done; });
    guard.unlock();
    if (ended)
        m_worker.join();
    else
        m_worker.detach();
}

void PreviewLoader::load(const QByteArray &path, const QString &name, const SearchRequest &search)
{
    {
        const std::lock_guard guard(m_shared->lock);
        m_shared->next = Shared::Request{++m_shared->lastId, path, name, search};
        m_shared->wanted = m_shared->next->id;
    }
    m_shared->wake.notify_one();
}

void PreviewLoader::dispose(std::shared_ptr<const PreviewContent> content)
{
    if (!content)
        return;
    {
        const std::lock_guard guard(m_shared->lock);
        m_shared->disposals.push_back(std::move(content));
    }
    m_shared->wake.notify_one();
}

void PreviewLoader::cancel()
{
    const std::lock_guard guard(m_shared->lock);
    m_shared->next.reset();
    m_shared->wanted = 0;
}

void PreviewLoader::work(std::shared_ptr<Shared> shared)
{
    PreviewPreparer preparer;
    for (;;) {
        Shared::Request request;
        std::vector<std::shared_ptr<const PreviewContent>> disposals;
        {
            std::unique_lock guard(shared->lock);
            shared->wake.wait(guard, [&] { return shared->stopping || shared->next || !shared->disposals.empty(); });
            if (shared->stopping)
                break;
            disposals.swap(shared->disposals);
            if (!shared->next) {
                for (std::shared_ptr<const PreviewContent> &content : disposals)
                    preparer.recycle(std::move(content));
                continue;
            }
            request = std::move(*shared->next);
            shared->next.reset();
        }
        for (std::shared_ptr<const PreviewContent> &content : disposals)
            preparer.recycle(std::move(content));
        disposals.clear();
        const auto superseded = [&] {
            const std::lock_guard guard(shared->lock);
            return shared->wanted != request.id;
        };
        std::shared_ptr<PreviewContent> content = preparer.prepare(request.path, request.name, request.search, superseded);
        // Under the lock the receiver cannot go away while it is asked.
        const std::lock_guard guard(shared->lock);
        if (!content || shared->wanted != request.id || !shared->receiver)
            continue;
        shared->ready = std::move(content);
        shared->readyId = request.id;
        QMetaObject::invokeMethod(shared->receiver, "deliver", Qt::QueuedConnection);
    }
    const std::lock_guard guard(shared->lock);
    shared->done = true;
    shared->finished.notify_one();
}

void PreviewLoader::deliver()
{
    std::shared_ptr<const PreviewContent> content;
    {
        const std::lock_guard guard(m_shared->lock);
        if (m_shared->readyId != m_shared->wanted || !m_shared->ready)
            return;
        content = std::move(m_shared->ready);
    }
    emit loaded(std::move(content));
}
