#pragma once

#include "localhttpserver.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

namespace veltrik::testing {

// A stand-in for the search engines on 127.0.0.1, for tests and demonstrations. It answers the web
// search path "/s?wd=…" and the document-library path "/search?word=…" with a result page built from the
// query: plenty of Chinese text, highlights of the query in <em>, and result items in the engine's markup.
// Scripted failures make chosen queries go unanswered, answer late, or come back empty or short. It keeps
// a log of every request.
class SearchEngine : public QObject {
    Q_OBJECT

public:
    enum class Failure {
        NoAnswer,  // the connection closes without an answer
        Slow,      // the answer comes after slowDelayMs
        EmptyBody, // a page with an empty body
        ShortPage, // a page with far fewer than 500 Chinese characters
    };

    struct Request {
        qint64 receivedMs;  // since the engine started
        QByteArray target;  // path and query as sent
        QString path;       // "/s" or "/search", or another path
        QString query;      // the decoded query
    };

    struct Options {
        int itemsPerPage = 3;
        int slowDelayMs = 3000;
        // The first item of every page is this site, so that it comes up for every piece.
        QString commonTitle = QStringLiteral("公共论文资料库：毕业论文范文大全");
        QString commonUrl = QStringLiteral("http://lib.example.test/common");
    };

    explicit SearchEngine(QObject *parent = nullptr);
    SearchEngine(Options options, QObject *parent = nullptr);

    // Listens on 127.0.0.1, on `port` or a free one when 0; false when that fails.
    bool listen(quint16 port = 0);
    QString base() const;

    // The next `times` requests whose query contains `queryPart` (any query when empty) fail so.
    void failQuery(const QString &queryPart, Failure failure, int times = 1);

    const QList<Request> &requests() const { return m_requests; }
    // The page that a query is answered with, as served.
    QByteArray resultPage(const QString &query) const;

private:
    LocalHttpServer::Response answer(const QByteArray &target);
    LocalHttpServer::Response failedAnswer(Failure failure, const QString &query) const;

    struct ScriptedFailure {
        QString queryPart;
        Failure failure;
        int remaining;
    };

    Options m_options;
    LocalHttpServer m_http;
    QElapsedTimer m_clock;
    QList<Request> m_requests;
    QList<ScriptedFailure> m_failures;
};

} // namespace veltrik::testing
