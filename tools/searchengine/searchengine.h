#pragma once

#include "localhttpserver.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QUrlQuery>

#include <optional>

namespace veltrik::testing {

// A stand-in for the search engines on 127.0.0.1, for tests and demonstrations. It answers the web
// search path "/s?wd=…" and the document-library path "/search?word=…" with a result page built from the
// query: plenty of Chinese text, highlights of the query in <em>, result items in the engine's markup and,
// as the engine mixes them in, cards without data-tools (a music card with an inline script, an
// encyclopedia card).
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
        qint64 receivedMs; // since the engine started
        QByteArray target; // path and query as sent
        QString path;      // "/s" or "/search", or another path
        QString query;     // the decoded query
    };

    struct Options {
        int itemsPerPage = 3;
        int slowDelayMs = 3000;
        // The first item of every page is this site, so that it comes up for every piece.
        QString commonTitle = QStringLiteral("公共论文资料库：毕业论文范文大全");
        QString commonUrl = QStringLiteral("http://lib.example.test/common");
        // Items as the engine writes them today: titles with \uXXXX escapes, an extra "abs" member, an id
        // attribute between data-tools and the anchor, and one item without the anchor.
        bool realisticItems = false;
        // Cards among the items: after the first item a music card whose inline script holds the query
        // in "<em>…<\/em>" (no text the engine shows), and at the end an encyclopedia card, the same
        // site for every piece. Their titles are in their title links, their addresses in mu attributes.
        bool cards = true;
    };

    static inline const QString kEncyclopediaTitle = QStringLiteral("学术论文_百科");
    static inline const QString kEncyclopediaUrl = QStringLiteral("http://baike.example.test/item/academic-paper");

    explicit SearchEngine(QObject *parent = nullptr);
    SearchEngine(Options options, QObject *parent = nullptr);

    void setOptions(Options options) { m_options = std::move(options); }

    // Listens on 127.0.0.1, on `port` or a free one when 0; false when that fails.
    bool listen(quint16 port = 0);
    QString base() const;

    // The next `times` requests whose query contains `queryPart` (any query when empty) fail so.
    void failQuery(const QString &queryPart, Failure failure, int times = 1);
    // Requests whose query contains `queryPart` are answered with a security check page until it is passed
    // by requesting its continue link (the anchor with id "continue"), or, with `times` > 0, that many
    // times before results come.
    void requireSecurityCheck(const QString &queryPart, int times = -1);

    const QList<Request> &requests() const { return m_requests; }
    // The page that a query is answered with, as served.
    QByteArray resultPage(const QString &query) const;

private:
    LocalHttpServer::Response answer(const QByteArray &target);
    LocalHttpServer::Response failedAnswer(Failure failure, const QString &query) const;
    std::optional<LocalHttpServer::Response> securityCheckAnswer(const QByteArray &target, const QString &query);
    LocalHttpServer::Response passCheck(const QUrlQuery &parameters);
    QString itemsMarkup(const QString &query) const;

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
    struct ScriptedCheck {
        QString queryPart;
        int remaining; // -1: until passed
    };
    QList<ScriptedCheck> m_checks;
};

} // namespace veltrik::testing
